#include <gtest/gtest.h>
#include <unistd.h>

#include "frontend/frontend.h"
#include "testsupport/support.h"

using namespace frontend;

namespace {

struct SplitCase {
    const char* path;
    const char* directory;
    const char* last;
    std::size_t firstDot;
    std::size_t lastDot;
};

constexpr auto npos = std::string_view::npos;

TEST(Paths, SplitsOnBothSeparatorsAndFindsDotsInTheLastComponentOnly) {
    const SplitCase cases[] = {
        {"D:\\VR\\Tour\\Tour.lst", "D:\\VR\\Tour", "Tour.lst", 15, 15},
        {"D:/VR/Tour", "D:/VR", "Tour", npos, npos},
        {"Tour.lst", "", "Tour.lst", 4, 4},
        {"./tour.lst", ".", "tour.lst", 6, 6},
        {"../a.b/tour.lst", "../a.b", "tour.lst", 11, 11},
        {"C:\\my.dir\\onto.lst", "C:\\my.dir", "onto.lst", 14, 14},
        {"C:\\work\\onto.old.lst", "C:\\work", "onto.old.lst", 12, 16},
        {"../a.b/tour", "../a.b", "tour", npos, npos},
        {"dir/.hidden", "dir", ".hidden", npos, npos},
        {"..", "", "..", npos, npos},
        {"/x.lst", "/", "x.lst", 2, 2},
        {"mixed\\dir/x.y", "mixed\\dir", "x.y", 11, 11},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(directoryPart(c.path), c.directory);
        EXPECT_EQ(lastComponent(c.path), c.last);
        EXPECT_EQ(firstExtensionDot(c.path), c.firstDot);
        EXPECT_EQ(lastExtensionDot(c.path), c.lastDot);
    }
}

TEST(Paths, JoinUsesThePlatformSeparatorAndTheCurrentDirectoryForNoDirectory) {
    EXPECT_EQ(joinPath("", "Tour.lst"), "Tour.lst");
    EXPECT_EQ(joinPath("D:\\VR", "Tour.lst"), std::string("D:\\VR") + separator + "Tour.lst");
    EXPECT_EQ(joinPath("/", "x.lst"), "/x.lst");
    EXPECT_EQ(joinPath("a/", "x"), "a/x");
}

TEST(Paths, SameFileSeesLinksAndSpellings) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "hall.txt", "x");
    EXPECT_TRUE(sameFile(dir / "hall.txt", dir.path() + "/./hall.txt"));
    EXPECT_FALSE(sameFile(dir / "hall.txt", dir / "hall.asc"));
    EXPECT_TRUE(sameFile(dir / "new.kml", dir.path() + "/sub/../new.kml"));
    ASSERT_EQ(0, ::link((dir / "hall.txt").c_str(), (dir / "alias.lst").c_str()));
    EXPECT_TRUE(sameFile(dir / "alias.lst", dir / "hall.txt"));
}

}  // namespace
