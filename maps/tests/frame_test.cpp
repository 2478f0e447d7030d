// Names that Markwell and Globewell derive from their argument.
#include <gtest/gtest.h>

#include "maps/frame.h"

namespace {

struct NamesCase {
    const char* argument;
    const char* stem;
    const char* listPath;
    const char* baseName;
};

TEST(FormNames, CutsAtTheFirstDotOfTheLastComponent) {
    const NamesCase cases[] = {
        {"hall.lst", "hall", "hall.lst", "hall"},
        {"hall", "hall", "hall.lst", "hall"},
        {"hall.v2.lst", "hall", "hall.v2.lst", "hall"},
        {"D:\\tours\\hall.lst", "D:\\tours\\hall", "D:\\tours\\hall.lst", "hall"},
        {"D:\\tours\\hall", "D:\\tours\\hall", "D:\\tours\\hall.lst", "hall"},
        {"../a.b/hall", "../a.b/hall", "../a.b/hall.lst", "hall"},
        {"./hall.lst", "./hall", "./hall.lst", "hall"},
        {"C:\\my.dir\\old maps.lst", "C:\\my.dir\\old maps", "C:\\my.dir\\old maps.lst", "old maps"},
        {"tours/전시관.lst", "tours/전시관", "tours/전시관.lst", "전시관"},
    };
    for (const NamesCase& c : cases) {
        SCOPED_TRACE(c.argument);
        const maps::Names names = maps::formNames(c.argument, "Nmap.htm");
        EXPECT_EQ(names.argument, c.argument);
        EXPECT_EQ(names.stem, c.stem);
        EXPECT_EQ(names.listPath, c.listPath);
        EXPECT_EQ(names.baseName, c.baseName);
        EXPECT_EQ(names.outputPath, std::string(c.stem) + "Nmap.htm");
        EXPECT_EQ(names.scratchPath, std::string(c.stem) + ".txt");
        EXPECT_EQ(names.scratchListPath, std::string(c.stem) + ".asc");
    }
    EXPECT_EQ(maps::formNames("D:\\tours\\hall.lst", ".kml").outputPath, "D:\\tours\\hall.kml");
}

}  // namespace
