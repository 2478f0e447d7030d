// A pano.xml whose image block is not well-formed XML (found by fuzzing):
// the scene gets an empty image element and a warning, and the scene XML
// stays well-formed.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "testsupport/support.h"

namespace {

TEST(Pano, MalformedImageBlockKeepsSceneXmlWellFormed) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "Tour.lst", "#SCENE\nhall 90 0 $Hall\n");
    std::filesystem::create_directory(dir / "hall");
    testsupport::writeFile(dir / "hall/pano.xml",
                           "<krpano>\n\t<image 10 0.5 1 0 0 0 $x\n\t\t<level>\n</krpano>\n");
    testsupport::Result r = testsupport::run(testsupport::programPath("vistacraft"), {"Tour.lst"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("is not well-formed XML"), std::string::npos) << r.err;
    std::string message;
    EXPECT_TRUE(testsupport::xmlWellFormed(dir / "Tour.xml", &message)) << message;
}

}  // namespace
