// End-to-end runs of portalcraft in a temporary folder: every output and the
// console compared byte for byte with expected files written from the
// templates, the failure paths, and the real parsers on texts that would
// break the files around them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "settings.h"
#include "testsupport/support.h"

namespace {

using testsupport::bom;
using testsupport::crlf;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

std::string portalcraft() { return testsupport::programPath("portalcraft"); }

std::string fixture(const std::string& name) {
    return readFile(testsupport::sourcePath("menu/tests/fixtures/" + name));
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// An expected file (LF, no byte-order mark, the default installation
// settings) as this build writes it.
std::string expected(const std::string& name) {
    std::string text = fixture(name);
    replaceAll(text, "https://icons.arcavia.example", settings::iconServer);
    replaceAll(text, "https://vr.arcavia.example", settings::webServer);
    replaceAll(text, "Zq3Wn8TvKd2RbLx7PcMs5HgYf1JeNa9UoVk4XiQt6EwDr0SyGm3BhCz7FuLp2Oj8", settings::bingMapsKey);
    replaceAll(text, "@CREDIT@", settings::credit);
    return text;
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// Compares the five outputs of the stem with the expected files of a case.
void expectOutputs(const TempDir& dir, const std::string& stem, const std::string& expectedDir) {
    EXPECT_EQ(readFile(dir / (stem + "f.xml")), bom + crlf(expected(expectedDir + "/entry.xml")));
    EXPECT_EQ(readFile(dir / (stem + "m.xml")), bom + crlf(expected(expectedDir + "/menu.xml")));
    EXPECT_EQ(readFile(dir / (stem + "g.xml")), bom + crlf(expected(expectedDir + "/gis.xml")));
    EXPECT_EQ(readFile(dir / (stem + ".kml")), bom + crlf(expected(expectedDir + "/kml.kml")));
    EXPECT_EQ(readFile(dir / "index.htm"), crlf(expected(expectedDir + "/index.htm")));
    for (const char* suffix : {"f.xml", "m.xml", "g.xml", ".kml"}) {
        std::string message;
        EXPECT_TRUE(testsupport::xmlWellFormed(dir / (stem + suffix), &message)) << suffix << ": " << message;
    }
    std::string message;
    EXPECT_TRUE(testsupport::scriptsParse(dir / "index.htm", &message)) << message;
}

TEST(Portalcraft, ConvertsTheExampleMenuScript) {
    TempDir dir;
    writeFile(dir / "hall.lst", fixture("example/hall.lst"));
    testsupport::Result r = testsupport::run(portalcraft(), {"hall"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected("example/expected/stdout.txt"));
    EXPECT_EQ(r.err, "");
    expectOutputs(dir, "hall", "example/expected");
    // No scratch file survives the run.
    EXPECT_EQ(testsupport::listDir(dir.path()),
              (std::vector<std::string>{"hall.kml", "hall.lst", "hallf.xml", "hallg.xml", "hallm.xml", "index.htm"}));
}

// UTF-16 with Korean texts and a Korean base name, a character outside KS X
// 1001 (which crosses the scratch list as "&#00233;"), a start scene, two
// project lines only, '&' and '<' in a title, a remark that hides a site.
TEST(Portalcraft, ConvertsAKoreanUtf16MenuScript) {
    TempDir dir;
    writeFile(dir / "전시.lst", fixture("korean/expo.lst"));
    testsupport::Result r = testsupport::run(portalcraft(), {"전시"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, expected("korean/expected/stdout.txt"));
    EXPECT_EQ(countOf(r.err, "portalcraft: warning: 전시.lst:9: line ignored: it belongs to the section \"# 메모: 아래 줄은 읽지 않는다\" of line 8"), 1)
        << r.err;
    EXPECT_EQ(countOf(r.err, "\n"), 1) << r.err;
    expectOutputs(dir, "전시", "korean/expected");
    EXPECT_EQ(testsupport::listDir(dir.path()).size(), 6u);  // no scratch list, no scratch output
}

// No site, no host line, one project line, a line above the first section.
TEST(Portalcraft, ConvertsAMenuScriptWithoutSites) {
    TempDir dir;
    writeFile(dir / "draft.lst", fixture("empty/draft.lst"));
    testsupport::Result r = testsupport::run(portalcraft(), {"draft.lst"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    std::string out = expected("empty/expected/stdout.txt");
    EXPECT_EQ(r.out, out);
    EXPECT_EQ(r.err, "");
    expectOutputs(dir, "draft", "empty/expected");
}

TEST(Portalcraft, NamesFromTheArgument) {
    TempDir dir;
    std::filesystem::create_directory(dir / "a.b");
    writeFile(dir / "a.b/old maps.menu", fixture("example/hall.lst"));

    // A dot in a directory never cuts; another extension names the list
    // file; the arguments are joined with one blank.
    testsupport::Result r = testsupport::run(portalcraft(), {"a.b/old", "maps.menu"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Halvane Name: old maps\n"
                         "List File: a.b/old maps.menu\n"
                         "Menu File: a.b/old mapsm.xml\n"
                         "GIS File: a.b/old mapsg.xml\n"
                         "KML File: a.b/old maps.kml\n"
                         "HTML File: a.b/index.htm\n\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Entry File a.b/old mapsf.xml has been Created.\n"), std::string::npos) << r.out;
    EXPECT_EQ(testsupport::listDir(dir / "a.b"),
              (std::vector<std::string>{"index.htm", "old maps.kml", "old maps.menu", "old mapsf.xml",
                                        "old mapsg.xml", "old mapsm.xml"}));
    EXPECT_NE(readFile(dir / "a.b/index.htm").find("xml: \"old mapsf.xml\""), std::string::npos);
    EXPECT_EQ(testsupport::listDir(dir.path()), std::vector<std::string>{"a.b"});
}

TEST(Portalcraft, RefusesAListFileThatTheRunWouldWriteOrDelete) {
    for (const char* name : {"hall.txt", "hall.asc", "hall.kml", "index.htm"}) {
        SCOPED_TRACE(name);
        TempDir dir;
        const std::string list = bom + fixture("example/hall.lst");  // UTF-8: a scratch list would be written
        writeFile(dir / name, list);
        testsupport::Result r = testsupport::run(portalcraft(), {name}, dir.path());
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("portalcraft: error: the list file " + std::string(name)), std::string::npos) << r.err;
        EXPECT_EQ(r.out.find("Text Encoding"), std::string::npos) << r.out;
        EXPECT_EQ(readFile(dir / name), list);
        EXPECT_EQ(testsupport::listDir(dir.path()), std::vector<std::string>{name});
    }
}

TEST(Portalcraft, UsageAndMissingListFile) {
    TempDir dir;
    testsupport::Result usage = testsupport::run(portalcraft(), {}, dir.path());
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "\nUsage: Portalcraft <Halvane Menu Script>  \n");

    testsupport::Result missing = testsupport::run(portalcraft(), {"nothere"}, dir.path());
    EXPECT_EQ(missing.status, 1);
    const std::string tail = "HTML File: index.htm\n\nLst File \"nothere.lst\" Not Found!\n";
    ASSERT_GE(missing.out.size(), tail.size());
    EXPECT_EQ(missing.out.substr(missing.out.size() - tail.size()), tail);
    EXPECT_TRUE(testsupport::listDir(dir.path()).empty());
}

// A conversion that fails (a folder stands where the menu file goes) does
// not stop the run: the other files and the start page are written, and the
// run ends with status 1.
TEST(Portalcraft, AFailedConversionDoesNotStopTheRun) {
    TempDir dir;
    writeFile(dir / "hall.lst", fixture("example/hall.lst"));
    std::filesystem::create_directory(dir / "hallm.xml");
    testsupport::Result r = testsupport::run(portalcraft(), {"hall"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Entry File hallf.xml has been Created.\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Menu File Code Conversion Error!\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("Menu File hallm.xml has been Created."), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("GIS File hallg.xml has been Created.\n"), std::string::npos) << r.out;
    const std::string tail = "KML File hall.kml has been Created.\nHTML File index.htm has been Created.\n";
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
    EXPECT_EQ(readFile(dir / "hallg.xml"), bom + crlf(expected("example/expected/gis.xml")));
    EXPECT_EQ(readFile(dir / "index.htm"), crlf(expected("example/expected/index.htm")));
    EXPECT_FALSE(testsupport::exists(dir / "hall.txt"));
}

// A start page that cannot be written is not reported as created.
TEST(Portalcraft, AStartPageThatCannotBeWrittenFailsTheRun) {
    TempDir dir;
    writeFile(dir / "hall.lst", fixture("example/hall.lst"));
    std::filesystem::create_directory(dir / "index.htm");
    testsupport::Result r = testsupport::run(portalcraft(), {"hall"}, dir.path());
    EXPECT_EQ(r.status, 1);
    const std::string tail = "KML File hall.kml has been Created.\n";
    ASSERT_GE(r.out.size(), tail.size());
    EXPECT_EQ(r.out.substr(r.out.size() - tail.size()), tail);
    EXPECT_NE(r.err.find("portalcraft: error: "), std::string::npos) << r.err;
    EXPECT_EQ(readFile(dir / "hall.kml"), bom + crlf(expected("example/expected/kml.kml")));
    EXPECT_FALSE(testsupport::exists(dir / "hall.txt"));
}

// Texts that would break the XML around them, and a base name that would
// break the start page's script, still give well-formed files that say
// what the user wrote.
TEST(Portalcraft, TextsNeverBreakTheFilesAroundThem) {
    TempDir dir;
    const std::string name = "x'\"&<b>";
    writeFile(dir / (name + ".lst"),
              "#PROJECT\n"
              "P1 <b>Maps & \"Charts\"</b> ]]> &amp; &#60; U+003C\n"
              "P2 a\x01" "b control\n"
              "#SITE\n"
              "d]]>&<\" s\"<&.st]]>' 3<7 1&2 $A & B <x> ]]> \"q\" 'a' &#00034;\n"
              "#HOST\n"
              "/VR/a&b<\"c\n");
    testsupport::Result r = testsupport::run(portalcraft(), {name}, dir.path());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("portalcraft: warning: " + name + ".lst:5: the latitude \"3<7\" is not a number: "
                         "the map centre counts it as 3\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("lst:5: the longitude \"1&2\" is not a number: the map centre counts it as 1\n"),
              std::string::npos)
        << r.err;
    EXPECT_NE(readFile(dir / (name + "g.xml")).find("lat=\"3\" lng=\"1\""), std::string::npos);
    for (const char* suffix : {"f.xml", "m.xml", "g.xml", ".kml"}) {
        std::string message;
        EXPECT_TRUE(testsupport::xmlWellFormed(dir / (name + suffix), &message)) << suffix << ": " << message;
    }
    std::string message;
    EXPECT_TRUE(testsupport::scriptsParse(dir / "index.htm", &message)) << message;

    const std::string kml = readFile(dir / (name + ".kml"));
    EXPECT_NE(kml.find("<name>x'\"&amp;&lt;b&gt;</name>"), std::string::npos) << kml;
    EXPECT_NE(kml.find("<name>A &amp; B &lt;x&gt; ]]&gt; \"q\" 'a' &quot;</name>"), std::string::npos) << kml;
    EXPECT_NE(kml.find("<![CDATA[<a href=\"/VR/a&amp;b&lt;&quot;c/d]]&gt;&amp;&lt;&quot;/s&quot;&lt;&amp;scene.htm?id=st]]&gt;'\""),
              std::string::npos)
        << kml;
    EXPECT_NE(kml.find("<coordinates>1&amp;2, 3&lt;7, 0</coordinates>"), std::string::npos) << kml;
    const std::string entry = readFile(dir / (name + "f.xml"));
    EXPECT_NE(entry.find("<font size=\"25pt\">&lt;b&gt;Maps &amp; \"Charts\"&lt;/b&gt; ]]&gt; &amp; &lt; &lt;\r\n</font>"),
              std::string::npos)
        << entry;
    EXPECT_NE(entry.find("<font size=\"12pt\">a\xEF\xBF\xBD" "b control\r\n</font>"), std::string::npos) << entry;
    const std::string page = readFile(dir / "index.htm");
    EXPECT_NE(page.find("<title>Arcavia Halvane 3D Scene: x'\"&amp;&lt;b&gt;</title>"), std::string::npos) << page;
    EXPECT_NE(page.find("xml: \"x'\\\"&<b>f.xml\","), std::string::npos) << page;
}

}  // namespace
