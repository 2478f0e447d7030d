// Splitting the command-line argument into the list directory and base name.

#include <gtest/gtest.h>

#include "frontend/frontend.h"
#include "scene/run_paths.h"

namespace scene {
namespace {

TEST(RunPaths, SplitsTheArgument) {
    struct Case {
        const char* argument;
        const char* directory;
        const char* base;
    };
    const Case cases[] = {
        {"D:\\VR\\Tour\\Tour.lst", "D:\\VR\\Tour", "Tour"},
        {"D:\\VR\\Tour", "D:\\VR\\Tour", "Tour"},
        {"D:\\VR\\Tour\\", "D:\\VR\\Tour", "Tour"},
        {"D:\\My Tours\\Tour.lst", "D:\\My Tours", "Tour"},
        {"Tour.lst", "", "Tour"},
        {"Tour", "Tour", "Tour"},
        {"examples/tour", "examples/tour", "tour"},
        {"examples/tour/", "examples/tour", "tour"},
        {"examples/tour/tour.lst", "examples/tour", "tour"},
        {"./tour.lst", ".", "tour"},
        {"../a.b/tour.lst", "../a.b", "tour"},
        {"D:\\Tours.2020\\Tour", "D:\\Tours.2020\\Tour", "Tour"},
        {"C:\\my.dir\\tour.v2.lst", "C:\\my.dir", "tour.v2"},
        {"/Tour.lst", "/", "Tour"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.argument);
        RunPaths paths;
        ASSERT_TRUE(runPaths(c.argument, paths));
        EXPECT_EQ(paths.listDirectory, c.directory);
        EXPECT_EQ(paths.baseName, c.base);
        const std::string& dir = paths.listDirectory;
        const std::string base = c.base;
        EXPECT_EQ(paths.listPath, frontend::joinPath(dir, base + ".lst"));
        EXPECT_EQ(paths.scratchListPath, frontend::joinPath(dir, base + ".asc"));
        EXPECT_EQ(paths.mainPagePath, frontend::joinPath(dir, base + ".htm"));
        EXPECT_EQ(paths.startScenePath, frontend::joinPath(dir, base + "scene.htm"));
        EXPECT_EQ(paths.xmlScratchPath, frontend::joinPath(dir, base + ".tmp"));
        EXPECT_EQ(paths.sceneXmlPath, frontend::joinPath(dir, base + ".xml"));
        EXPECT_EQ(paths.loaderPath, frontend::joinPath(dir, "loadPanoScene.xml"));
    }
}

TEST(RunPaths, JoinsWithThePlatformSeparator) {
    RunPaths paths;
    ASSERT_TRUE(runPaths("Tour", paths));
    EXPECT_EQ(paths.listPath, std::string("Tour") + frontend::separator + "Tour.lst");
    ASSERT_TRUE(runPaths("Tour.lst", paths));
    EXPECT_EQ(paths.listPath, "Tour.lst");  // the current directory
    EXPECT_EQ(paths.loaderPath, "loadPanoScene.xml");
}

TEST(RunPaths, RefusesAnArgumentWithoutABaseName) {
    for (const char* argument : {".", "..", "/", "tours/.."}) {
        RunPaths paths;
        EXPECT_FALSE(runPaths(argument, paths)) << argument;
    }
}

}  // namespace
}  // namespace scene
