// The menu script reader: sections, project, site and host lines, the '#'
// rules, capacities, and the two ways of splitting the scene field.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frontend/frontend.h"
#include "menu/menu_script.h"
#include "testsupport/support.h"

namespace {

using menu::LinkForm;
using menu::MenuScript;
using menu::SceneSplit;

const frontend::ProgramInfo testInfo = {"portalcraft", "usage\n", "banner"};

struct Read {
    MenuScript menu;
    std::string warnings;  // standard error
};

// Reads the bytes of an ANSI menu script through the real list file.
Read readScript(const std::string& bytes, int capacity = menu::portalSiteCapacity,
                SceneSplit split = SceneSplit::startScene) {
    testsupport::TempDir dir;
    const std::string path = dir / "m.lst";
    testsupport::writeFile(path, bytes);
    std::string program = "portalcraft";
    std::string argument = path;
    char* argv[] = {program.data(), argument.data(), nullptr};
    frontend::Run run(testInfo, 2, argv);

    Read read;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    {
        frontend::ListFile list(run, path, dir / "m.asc");
        if (list.open("Lst File \"%s\" Not Found!\n")) {
            menu::readMenuScript(list, read.menu, capacity);
            list.close();
        }
    }
    testing::internal::GetCapturedStdout();
    read.warnings = testing::internal::GetCapturedStderr();
    menu::splitSceneFields(read.menu, split);
    return read;
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

std::string siteLines(int n) {
    std::string lines;
    for (int k = 1; k <= n; ++k)
        lines += "d" + std::to_string(k) + " s 37.5 127.0 $Site " + std::to_string(k) + "\n";
    return lines;
}

// A header line opens the project, site or host section, or an ignored one;
// the record line after it shows which.
TEST(MenuReader, SectionNamesMatchOnTheirFirstCharactersInAnyCase) {
    enum Kind { project, site, host, ignored };
    struct Case {
        const char* header;
        Kind kind;
    } cases[] = {
        {"#PROJECT", project}, {"#Proj", project},   {"#project lines", project}, {"#PROgram", ignored},
        {"#SITE", site},       {"#site", site},      {"#Sites", site},            {"#SIT", site},
        {"#SI ", ignored},     {"#HOST", host},      {"#HOSTNAME", host},         {"#HOSPITAL", host},
        {"#HO ST", ignored},   {"# SITE", ignored},  {"  #SITE", site},           {"x#SITE", site},
        {"#REMARKS", ignored},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Read r = readScript(std::string(c.header) + "\nhall1 gallery 37.5 127.0 $Main Hall\n");
        EXPECT_EQ(r.menu.siteCount, c.kind == site ? 1 : 0);
        EXPECT_EQ(r.menu.projectValues[0], c.kind == project ? "gallery 37.5 127.0 $Main Hall\n" : "");
        EXPECT_EQ(r.menu.hostValue, c.kind == host ? "hall1" : "");
        EXPECT_EQ(countOf(r.warnings, "line ignored"), c.kind == ignored ? 1 : 0) << r.warnings;
    }
}

TEST(MenuReader, HostValueLosesOneTrailingSeparatorAndTheLastLineCounts) {
    struct Case {
        const char* lines;
        const char* host;
    } cases[] = {
        {"/VR/halls/\n", "/VR/halls"},
        {"/VR\\\n", "/VR"},
        {"/VR//\n", "/VR/"},
        {"/VR/halls\n", "/VR/halls"},
        {"  /VR/halls/   trailing words\n", "/VR/halls"},
        {"/VR/one/\n/VR/two/\n", "/VR/two"},
        {"/VR/one/\n      \n", "/VR/one"},   // a line of blanks is a blank line
        {"", ""},                              // no host line: empty
        {"/VR/\x81\x5C\n", "/VR/\x81\x5C"},   // the '\' is the trail byte of a two-byte code
        {"/VR/\xB0\xA1/\n", "/VR/\xB0\xA1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        Read r = readScript(std::string("#HOST\n") + c.lines);
        EXPECT_EQ(r.menu.hostValue, c.host);
        EXPECT_EQ(r.warnings, "");
    }
}

TEST(MenuReader, ProjectValuesKeepTheirLineEnd) {
    Read r = readScript(
        "#PROJECT\n"
        "P1 Old Maps Exhibition\n"
        "P2\t  A virtual hall  \n"
        "Label\n"
        "P4    \n"
        "P5 fifth\n"
        "P6 sixth\n");
    EXPECT_EQ(r.menu.projectLabels[0], "P1");
    EXPECT_EQ(r.menu.projectValues[0], "Old Maps Exhibition\n");
    EXPECT_EQ(r.menu.projectValues[1], "A virtual hall  \n");
    EXPECT_EQ(r.menu.projectLabels[2], "Label");
    EXPECT_EQ(r.menu.projectValues[2], "");
    EXPECT_EQ(r.menu.projectValues[3], "");
    EXPECT_EQ(r.menu.projectValues[4], "fifth\n");
    EXPECT_EQ(countOf(r.warnings, "m.lst:7: more than 5 project lines"), 1) << r.warnings;

    // The last line without a line end keeps none; fewer than three lines leave empty slots.
    Read last = readScript("#PROJECT\nP1 Title");
    EXPECT_EQ(last.menu.projectValues[0], "Title");
    EXPECT_EQ(last.menu.projectValues[1], "");
    EXPECT_EQ(last.menu.projectValues[2], "");
}

TEST(MenuReader, SiteLines) {
    Read r = readScript(
        "hall0 above 1 2 $Above the first section\n"
        "#SITE\n"
        "hall1 gallery 37.50 127.0 $Main Hall  with  blanks \n"
        "\n"
        "abc\n"
        "hall2 court.scene_03 37.5512 126.9882 Inner Court without dollar\n"
        "hall3 court 37.1 $Three words\n"
        "hall4\tx\t37.2\t127.2\t$ $second dollar$\n"
        "no dollar at the end");
    ASSERT_EQ(r.menu.siteCount, 3);
    ASSERT_EQ(r.menu.sites.size(), 3u);
    const menu::SiteRecord& s1 = r.menu.sites[0];
    EXPECT_EQ(s1.directory, "hall1");
    EXPECT_EQ(s1.sceneField, "gallery");
    EXPECT_EQ(s1.latitude, "37.50");
    EXPECT_EQ(s1.longitude, "127.0");
    EXPECT_EQ(s1.siteName, "Main Hall  with  blanks ");
    EXPECT_EQ(s1.lineNumber, 3);
    const menu::SiteRecord& s2 = r.menu.sites[1];
    EXPECT_EQ(s2.directory, "hall3");
    EXPECT_EQ(s2.latitude, "37.1");
    EXPECT_EQ(s2.longitude, "");
    EXPECT_EQ(s2.siteName, "Three words");
    EXPECT_EQ(r.menu.sites[2].siteName, " $second dollar$");
    EXPECT_EQ(r.menu.sites[2].longitude, "127.2");

    EXPECT_EQ(countOf(r.warnings, "m.lst:6: site line without '$'"), 1) << r.warnings;
    EXPECT_EQ(countOf(r.warnings, "m.lst:7: site line with fewer than four words"), 1) << r.warnings;
    EXPECT_EQ(countOf(r.warnings, "m.lst:9: site line without '$'"), 1) << r.warnings;
    EXPECT_EQ(countOf(r.warnings, "warning"), 3) << r.warnings;
}

// A '#' makes a section line, unless it belongs to a numeric character
// reference or is the trail byte of a two-byte code.
TEST(MenuReader, SharpRules) {
    struct Case {
        const char* siteName;
        bool kept;
    } cases[] = {
        {"Caf&#00233;", true},               // as the list normalisation writes U+00E9
        {"&#55357;&#56832; smile", true},
        {"&#9 tab", true},
        {"Room #3", false},
        {"&#x41;", false},                   // no digit after "&#"
        {"& #1", false},
        {"&&#1;", true},
        {"\xB0\xA1\x81\x23 hanja", true},    // '#' as the trail byte of an extended Hanja code
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.siteName);
        Read r = readScript(std::string("#SITE\n") + "hall1 gallery 37.5 127.0 $" + c.siteName + "\n" +
                            "hall2 court 37.6 127.1 $Second\n");
        if (c.kept) {
            ASSERT_EQ(r.menu.siteCount, 2);
            EXPECT_EQ(r.menu.sites[0].siteName, c.siteName);
            EXPECT_EQ(r.warnings, "");
        } else {
            // The line opens an ignored section; the site after it is lost, with a warning.
            EXPECT_EQ(r.menu.siteCount, 0);
            EXPECT_EQ(countOf(r.warnings, "m.lst:3: line ignored"), 1) << r.warnings;
        }
    }
}

TEST(MenuReader, IgnoredSectionWarnsForEachLineUntilTheNextKnownSection) {
    Read r = readScript(
        "#SITE\n"
        "hall1 gallery 37.5 127.0 $One\n"
        "# remarks about the halls\n"
        "hall2 court 37.6 127.1 $Two\n"
        "     \n"
        "hall3 court 37.6 127.1 $Three\n"
        "#HOST\n"
        "/VR/halls/\n");
    EXPECT_EQ(r.menu.siteCount, 1);
    EXPECT_EQ(r.menu.hostValue, "/VR/halls");
    EXPECT_EQ(countOf(r.warnings, "line ignored"), 2) << r.warnings;
    EXPECT_EQ(countOf(r.warnings, "m.lst:4: line ignored: it belongs to the section \"# remarks about the halls\" of line 3"), 1)
        << r.warnings;
}

TEST(MenuReader, SiteCapacityIsAParameter) {
    struct Case {
        int lines;
        int capacity;
        int kept;
    } cases[] = {{30, 30, 30}, {31, 30, 30}, {31, 100, 31}, {100, 100, 100}, {101, 100, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lines) + " lines, capacity " + std::to_string(c.capacity));
        Read r = readScript("#SITE\n" + siteLines(c.lines), c.capacity);
        ASSERT_EQ(r.menu.siteCount, c.kept);
        EXPECT_EQ(r.menu.sites.back().siteName, "Site " + std::to_string(c.kept));
        EXPECT_EQ(countOf(r.warnings, "more than " + std::to_string(c.capacity) + " sites"), c.lines - c.kept);
    }
}

TEST(MenuReader, ARepeatedSiteSectionFillsTheSlotsAgain) {
    Read r = readScript("#SITE\n" + siteLines(3) + "#HOST\n/VR/x\n#SITE\nnew s 1 2 $New\n");
    ASSERT_EQ(r.menu.siteCount, 1);
    ASSERT_EQ(r.menu.sites.size(), 1u);
    EXPECT_EQ(r.menu.sites[0].siteName, "New");

    // A second site section closed without sites leaves none.
    Read closed = readScript("#SITE\n" + siteLines(3) + "#SITE\n#HOST\n/VR\n");
    EXPECT_EQ(closed.menu.siteCount, 0);
    EXPECT_TRUE(closed.menu.sites.empty());

    // One that is never closed and accepts nothing keeps the count of the first.
    Read open = readScript("#SITE\n" + siteLines(3) + "#HOST\n/VR/x\n#SITE\n");
    EXPECT_EQ(open.menu.siteCount, 3);
}

TEST(MenuReader, SplitsTheSceneFieldByItsVariant) {
    struct Case {
        const char* field;
        const char* scene;
        const char* startScene;
        LinkForm form;
    };
    const Case startSceneCases[] = {
        {"gallery", "gallery", "", LinkForm::mainPage},
        {"court.scene_03", "court", "scene_03", LinkForm::startScene},
        {"a.b.c", "a", "b.c", LinkForm::startScene},
        {"tour.htm", "tour", "htm", LinkForm::startScene},
        {"old.xml", "old", "xml", LinkForm::startScene},
        {"tour.*", "tour", "*", LinkForm::startScene},
        {"\x81\x2E.s", "\x81\x2E", "s", LinkForm::startScene},  // '.' as a trail byte
    };
    const Case pageFileCases[] = {
        {"gallery", "gallery", "", LinkForm::mainPage},
        {"court.scene_03", "court", "scene_03", LinkForm::startScene},
        {"a.b.c", "a", "b.c", LinkForm::startScene},
        {"tour.htm", "tour.htm", "*", LinkForm::pageFile},
        {"tour.html", "tour.html", "*", LinkForm::pageFile},
        {"old.xml", "old.xml", "*", LinkForm::pageFile},
        {"old.xmlx", "old.xmlx", "*", LinkForm::pageFile},
        {"tour.HTM", "tour", "HTM", LinkForm::startScene},
        {"tour.ht", "tour", "ht", LinkForm::startScene},
        {"a.b.htm", "a", "b.htm", LinkForm::startScene},
    };
    auto check = [](const Case* cases, std::size_t n, int capacity, SceneSplit split) {
        std::string script = "#SITE\n";
        for (std::size_t i = 0; i < n; ++i) script += std::string("dir ") + cases[i].field + " 1 2 $N\n";
        Read r = readScript(script, capacity, split);
        ASSERT_EQ(r.menu.siteCount, static_cast<int>(n));
        for (std::size_t i = 0; i < n; ++i) {
            SCOPED_TRACE(cases[i].field);
            const menu::SiteRecord& site = r.menu.sites[i];
            EXPECT_EQ(site.sceneField, cases[i].field);
            EXPECT_EQ(site.scene, cases[i].scene);
            EXPECT_EQ(site.startScene, cases[i].startScene);
            EXPECT_EQ(menu::linkForm(site), cases[i].form);
        }
    };
    check(startSceneCases, std::size(startSceneCases), menu::portalSiteCapacity, SceneSplit::startScene);
    check(pageFileCases, std::size(pageFileCases), menu::mapSiteCapacity, SceneSplit::pageFiles);
}

TEST(MenuReader, LongLinesAreReadInPieces) {
    // A 1200-byte site name: the first piece is the site line, the rest a
    // line of its own without '$', which is skipped with a warning.
    Read r = readScript("#SITE\nhall1 gallery 1 2 $" + std::string(1200, 'n') + "\n");
    ASSERT_EQ(r.menu.siteCount, 1);
    EXPECT_EQ(r.menu.sites[0].siteName.size(), 999u - 19u);
    EXPECT_EQ(countOf(r.warnings, "site line without '$'"), 1) << r.warnings;
}

}  // namespace
