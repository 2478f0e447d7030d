// Vistacraft end to end: the built program run in a temporary folder on small
// tours, every output compared byte for byte with files written from the
// templates, and checked with xmllint and node.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "settings.h"
#include "testsupport/support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::readFile;
using testsupport::TempDir;
using testsupport::writeFile;

std::string fixture(const std::string& relative) {
    return readFile(testsupport::sourcePath("scene/tests/fixtures/" + relative));
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The expected scene XML of a fixture, with this build's web server.
std::string expectedXml(const std::string& fixtureName) {
    return replaceAll(fixture(fixtureName + "/expected/Tour.xml"), "@WEB_SERVER@", settings::webServer);
}

// Lays out the folder Tour below dir: the scene script as Tour/Tour.lst and
// the pano.xml of each scene folder of the fixture.
void layTour(const TempDir& dir, const std::string& fixtureName, const std::string& listFile,
             const std::vector<std::string>& scenes) {
    fs::create_directories(dir / "Tour");
    writeFile(dir / "Tour/Tour.lst", fixture(fixtureName + "/" + listFile));
    for (const auto& scene : scenes) {
        fs::create_directories(dir / ("Tour/" + scene));
        writeFile(dir / ("Tour/" + scene + "/pano.xml"), fixture(fixtureName + "/" + scene + "/pano.xml"));
    }
}

testsupport::Result vistacraft(const TempDir& dir, const std::vector<std::string>& args) {
    return testsupport::run(testsupport::programPath("vistacraft"), args, dir.path());
}

const std::string usage = "\nUsage: Vistacraft <Halvane Scene Script> \n";

std::string bannerAndPaths(const std::string& dir) {
    return "\nHalvane Scene Script Converter 3.4 (2017/09/23)\n" + std::string(settings::credit) +
           "\n\n"
           "List file: " + dir + "/Tour.lst\n"
           "XML  file: " + dir + "/Tour.xml\n"
           "HTML File: " + dir + "/Tour.htm\n\n";
}

std::string encodingLines(int encoding, const std::string& dir) {
    std::string lines;
    if (encoding == 0) {
        lines = "Input Text Ecoding: ANSI or UTF-8 without BOM.\n"
                "System regards " + dir + "/Tour.lst as ANSI encoding.\n";
    }
    return lines + "Text Encoding of LST file: " + std::to_string(encoding) +
           " [0:ANSI 1:UTF-8 2:UTF-16(BE) 3:UTF-16(LE)]\n";
}

std::string createdLines(const std::string& dir) {
    return dir + "/Tour.htm has been Created.\n" +
           dir + "/Tourscene.htm has been Created.\n"
           "Creating " + dir + "/Tour.xml .... Encoding: KSX -> UTF-8\n"
           "\n" + dir + "/Tour.xml has been Created.\n";
}

// The two pages and the loader, the same for every run with the base name Tour.
void expectPagesAndLoader(const TempDir& dir) {
    EXPECT_EQ(readFile(dir / "Tour/Tour.htm"), fixture("pages/Tour.htm"));
    EXPECT_EQ(readFile(dir / "Tour/Tourscene.htm"), fixture("pages/Tourscene.htm"));
    EXPECT_EQ(readFile(dir / "Tour/loadPanoScene.xml"), fixture("pages/loadPanoScene.xml"));
    std::string message;
    EXPECT_TRUE(testsupport::scriptsParse(dir / "Tour/Tour.htm", &message)) << message;
    EXPECT_TRUE(testsupport::scriptsParse(dir / "Tour/Tourscene.htm", &message)) << message;
    EXPECT_TRUE(testsupport::xmlWellFormed(dir / "Tour/loadPanoScene.xml", &message)) << message;
}

void expectWellFormed(const std::string& path) {
    std::string message;
    EXPECT_TRUE(testsupport::xmlWellFormed(path, &message)) << message;
}

const std::vector<std::string> allOutputs = {"Tour.htm",  "Tour.lst",      "Tour.xml",
                                             "Tourscene.htm", "loadPanoScene.xml"};

std::vector<std::string> withScenes(std::vector<std::string> names, const std::vector<std::string>& scenes) {
    names.insert(names.end(), scenes.begin(), scenes.end());
    std::sort(names.begin(), names.end());
    return names;
}

// ---- whole runs -------------------------------------------------------------

// One tour with Korean titles and every kind of hotspot, in each encoding a
// scene script may have: the outputs are the same, and only the encoding
// lines of the console differ.
TEST(Vistacraft, ConvertsTheKoreanTourInEveryEncoding) {
    struct Case {
        const char* file;
        int encoding;
    };
    for (const Case c : {Case{"Tour-ansi.lst", 0}, Case{"Tour-utf8.lst", 1}, Case{"Tour-utf16be.lst", 2},
                         Case{"Tour-utf16le.lst", 3}}) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        layTour(dir, "korean", c.file, {"hall", "court"});
        const auto result = vistacraft(dir, {"Tour"});
        EXPECT_EQ(result.status, 0);
        EXPECT_EQ(result.out, bannerAndPaths("Tour") + encodingLines(c.encoding, "Tour") +
                                  fixture("korean/expected/listing.txt") + createdLines("Tour"));
        EXPECT_EQ(result.err, "");
        EXPECT_EQ(readFile(dir / "Tour/Tour.xml"), expectedXml("korean"));
        expectWellFormed(dir / "Tour/Tour.xml");
        expectPagesAndLoader(dir);
        // no scratch list and no XML scratch file are left behind
        EXPECT_EQ(testsupport::listDir(dir / "Tour"), withScenes(allOutputs, {"court", "hall"}));
    }
}

TEST(Vistacraft, ConvertsTheSmallExample) {
    TempDir dir;
    layTour(dir, "small", "Tour.lst", {"hall", "court"});
    const auto result = vistacraft(dir, {"Tour"});
    const std::string listing =
        "\n#Scene 1: Main Hall hall (90, 0)\n\n"
        "  Cross Link 1: To the court court (120, -5)\n"
        "\n"
        "\n"
        "  Still Image 1: Old map p01[0.5] (30, 10) 0 0 0\n"
        "\n"
        "\n"
        "  Gallery 1: Portraits gal1 (200, 0) 0-2\n"
        "\tGallery Object 1: Portrait one 1 p1 0.6\n"
        "\tGallery Object 2: Interview 2 vid1 0.8\n"
        "\n"
        "\n"
        "\n#Scene 2: Inner Court court (0, 0)\n\n"
        "\n\n\n\n\n\n";
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out, bannerAndPaths("Tour") + encodingLines(0, "Tour") + listing + createdLines("Tour"));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(readFile(dir / "Tour/Tour.xml"), expectedXml("small"));
    expectWellFormed(dir / "Tour/Tour.xml");
    expectPagesAndLoader(dir);
    EXPECT_EQ(testsupport::listDir(dir / "Tour"), withScenes(allOutputs, {"court", "hall"}));
}

// The scene script itself, the project folder (with or without a trailing
// separator) and a path with a blank given as two arguments name the same
// files.
TEST(Vistacraft, AcceptsEveryFormOfTheArgument) {
    struct Case {
        std::vector<std::string> args;
        const char* cwd;     // below the temporary folder
        const char* folder;  // where the tour lies, below the temporary folder
        const char* shown;   // the list directory as printed
    };
    const Case cases[] = {
        {{"Tour"}, "", "Tour", "Tour"},
        {{"Tour/"}, "", "Tour", "Tour"},
        {{"Tour/Tour.lst"}, "", "Tour", "Tour"},
        {{"Tour\\Tour.lst"}, "", "Tour", "Tour"},
        {{"My", "Tours/Tour/Tour.lst"}, "", "My Tours/Tour", "My Tours/Tour"},
        {{"../Tour/Tour.lst"}, "Tour", "Tour", "../Tour"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        TempDir dir;
        const std::string folder = dir / c.folder;
        fs::create_directories(folder + "/hall");
        fs::create_directories(folder + "/court");
        writeFile(folder + "/Tour.lst", fixture("small/Tour.lst"));
        writeFile(folder + "/hall/pano.xml", fixture("small/hall/pano.xml"));
        writeFile(folder + "/court/pano.xml", fixture("small/court/pano.xml"));
        const auto result = testsupport::run(testsupport::programPath("vistacraft"), c.args, dir / c.cwd);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out.substr(0, bannerAndPaths(c.shown).size()), bannerAndPaths(c.shown));
        EXPECT_EQ(readFile(folder + "/Tour.xml"), expectedXml("small"));
        EXPECT_EQ(readFile(folder + "/Tourscene.htm"), fixture("pages/Tourscene.htm"));
    }
}

// A scene script given by its bare name lies in the current directory.
TEST(Vistacraft, ReadsABareNameFromTheCurrentDirectory) {
    TempDir dir;
    writeFile(dir / "Tour.lst", fixture("small/Tour.lst"));
    for (const char* scene : {"hall", "court"}) {
        fs::create_directories(dir / scene);
        writeFile(dir / (std::string(scene) + "/pano.xml"), fixture("small/" + std::string(scene) + "/pano.xml"));
    }
    const auto result = vistacraft(dir, {"Tour.lst"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("List file: Tour.lst\nXML  file: Tour.xml\nHTML File: Tour.htm\n\n"),
              std::string::npos);
    EXPECT_EQ(readFile(dir / "Tour.xml"), expectedXml("small"));
    EXPECT_TRUE(testsupport::exists(dir / "loadPanoScene.xml"));
}

// ---- failures ---------------------------------------------------------------

TEST(Vistacraft, PrintsTheUsageWithoutAnArgument) {
    TempDir dir;
    const auto result = vistacraft(dir, {});
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, usage);
    EXPECT_TRUE(testsupport::listDir(dir.path()).empty());
}

TEST(Vistacraft, ReportsAMissingSceneScript) {
    TempDir dir;
    const auto result = vistacraft(dir, {"Tour"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, bannerAndPaths("Tour") + "Lst File \"Tour/Tour.lst\" Not Found!\n");
    EXPECT_TRUE(testsupport::listDir(dir.path()).empty());
}

// A scene without its pano.xml ends the run after the listing: the XML
// scratch file stays as far as it was written, and nothing else is written.
TEST(Vistacraft, EndsTheRunWhenAPanoXmlIsMissing) {
    {
        SCOPED_TRACE("first scene");
        TempDir dir;
        layTour(dir, "korean", "Tour-utf8.lst", {"court"});
        const auto result = vistacraft(dir, {"Tour"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out, bannerAndPaths("Tour") + encodingLines(1, "Tour") +
                                  fixture("korean/expected/listing.txt") +
                                  "\nXml Source File Open Error: Tour/hall/pano.xml\n");
        EXPECT_EQ(testsupport::listDir(dir / "Tour"), (std::vector<std::string>{"Tour.lst", "Tour.tmp", "court"}));
    }
    {
        SCOPED_TRACE("second scene");
        TempDir dir;
        layTour(dir, "small", "Tour.lst", {"hall"});
        const auto result = vistacraft(dir, {"Tour"});
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.out.find("\nXml Source File Open Error: Tour/court/pano.xml\n"), std::string::npos);
        EXPECT_EQ(testsupport::listDir(dir / "Tour"), (std::vector<std::string>{"Tour.lst", "Tour.tmp", "hall"}));
        // the scratch text is the scene XML up to the second scene, in ANSI
        const std::string expected = expectedXml("small").substr(3);
        EXPECT_EQ(readFile(dir / "Tour/Tour.tmp"), expected.substr(0, expected.find("\t<!-- Scene: 1 -->")));
    }
}

// An output that cannot be written (here a folder stands in its place) is
// reported; the run goes on with the others and ends with status 1.
TEST(Vistacraft, GoesOnAfterAnOutputThatCannotBeWritten) {
    {
        SCOPED_TRACE("main page");
        TempDir dir;
        layTour(dir, "small", "Tour.lst", {"hall", "court"});
        fs::create_directories(dir / "Tour/Tour.htm");
        const auto result = vistacraft(dir, {"Tour"});
        EXPECT_EQ(result.status, 1);
        EXPECT_EQ(result.out.find("Tour/Tour.htm has been Created."), std::string::npos);
        EXPECT_NE(result.out.find("Tour/Tourscene.htm has been Created.\n"), std::string::npos);
        EXPECT_NE(result.err.find("vistacraft: error: "), std::string::npos);
        EXPECT_EQ(readFile(dir / "Tour/Tour.xml"), expectedXml("small"));
        EXPECT_EQ(readFile(dir / "Tour/loadPanoScene.xml"), fixture("pages/loadPanoScene.xml"));
        EXPECT_FALSE(testsupport::exists(dir / "Tour/Tour.tmp"));
    }
    {
        SCOPED_TRACE("scene XML");
        TempDir dir;
        layTour(dir, "small", "Tour.lst", {"hall", "court"});
        fs::create_directories(dir / "Tour/Tour.xml");
        const auto result = vistacraft(dir, {"Tour"});
        EXPECT_EQ(result.status, 1);
        const std::string tail = "Tour/Tourscene.htm has been Created.\n";
        ASSERT_NE(result.out.find(tail), std::string::npos);
        EXPECT_NE(result.out.find("\nXml Script Code Conversion Error!\n", result.out.find(tail)), std::string::npos);
        expectPagesAndLoader(dir);
        EXPECT_FALSE(testsupport::exists(dir / "Tour/Tour.tmp"));
    }
    {
        SCOPED_TRACE("XML scratch file");
        TempDir dir;
        layTour(dir, "small", "Tour.lst", {"hall", "court"});
        fs::create_directories(dir / "Tour/Tour.tmp");
        const auto result = vistacraft(dir, {"Tour"});
        EXPECT_EQ(result.status, 1);
        EXPECT_NE(result.err.find("vistacraft: error: "), std::string::npos);
        EXPECT_EQ(result.out.find("has been Created"), std::string::npos);
        EXPECT_EQ(testsupport::listDir(dir / "Tour"),
                  (std::vector<std::string>{"Tour.lst", "Tour.tmp", "court", "hall"}));
    }
}

// A list file that is also one of the run's outputs is refused before
// anything is touched.
TEST(Vistacraft, RefusesAListFileThatIsAlsoAnOutput) {
    for (const char* output : {"Tour.xml", "Tour.htm", "Tour.asc", "loadPanoScene.xml"}) {
        SCOPED_TRACE(output);
        TempDir dir;
        layTour(dir, "small", "Tour.lst", {"hall", "court"});
        fs::create_symlink("Tour.lst", dir / ("Tour/" + std::string(output)));
        const auto result = vistacraft(dir, {"Tour"});
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("vistacraft: error: "), std::string::npos);
        EXPECT_EQ(readFile(dir / "Tour/Tour.lst"), fixture("small/Tour.lst"));
        EXPECT_EQ(testsupport::listDir(dir / "Tour"),
                  withScenes({"Tour.lst", output}, {"court", "hall"}));
    }
}

// ---- texts that could break the outputs -------------------------------------

// Quotes, ampersands and angle brackets in the texts of a scene script, and
// a character outside KS X 1001, reach the viewer as written and leave the
// scene XML well-formed.
TEST(Vistacraft, KeepsTheSceneXmlWellFormedForAnyText) {
    TempDir dir;
    const std::string script =
        "#SCENE\n"
        "hall 0 0 $Caf\xC3\xA9 & <Bar> \"D\" 'E'\n"
        "#CROSSLINK\n"
        "court 1 2 a\"rrow $To \"court\" & <back>\n"
        "#OUTLINK\n"
        "x.xml?a=1&b=2(s\"c) 1 2 door $Out & about\n"
        "#STILL\n"
        "p<1> 1 2 0.5 1 0 0 0 $Still & \"quoted\"\n"
        "#VIDEO\n"
        "v&1 1 2 2 $Film <new>\n"
        "#GALLERY\n"
        "*g&1 1 2 $Gallery \"one\"\n"
        "p&1 1 0.5 exp.htm?a=1&b=<2> $Object & co\n"
        "#REFERENCE\n"
        "r.htm?a=1&b=2 1 2 /VR/network.png 1 $Ref <x>\n"
        "#SCENE\n"
        "court 0 0 $&#38; &#60;done&#62; &amp;\n";
    fs::create_directories(dir / "Tour/hall");
    fs::create_directories(dir / "Tour/court");
    writeFile(dir / "Tour/Tour.lst", testsupport::bom + script);
    writeFile(dir / "Tour/hall/pano.xml", fixture("small/hall/pano.xml"));
    writeFile(dir / "Tour/court/pano.xml", fixture("small/court/pano.xml"));
    const auto result = vistacraft(dir, {"Tour"});
    EXPECT_EQ(result.status, 0) << result.err;
    const std::string xml = readFile(dir / "Tour/Tour.xml");
    expectWellFormed(dir / "Tour/Tour.xml");
    EXPECT_NE(xml.find("title=\"Caf\xC3\xA9 &amp; &lt;Bar&gt; &quot;D&quot; 'E'\""), std::string::npos);
    EXPECT_NE(xml.find("<hotspot name=\"CrossLink-1-1\" style=\"a&quot;rrow\""), std::string::npos);
    EXPECT_NE(xml.find("onhover=\"showtext('To &quot;court&quot; &amp; &lt;back&gt;', hoverstyle);\"/>"),
              std::string::npos);
    EXPECT_NE(xml.find("loadpanoscene(x.xml?a=1&amp;b=2, s&quot;c, null"), std::string::npos);
    EXPECT_NE(xml.find("url=\"photo/p&lt;1&gt;.jpg\""), std::string::npos);
    EXPECT_NE(xml.find("forma_pct(0.8,0.9, exp.htm?a=1&amp;b=&lt;2&gt;, Object &amp; co);"), std::string::npos);
    // references that name a special character become its entity
    EXPECT_NE(xml.find("title=\"&amp; &lt;done&gt; &amp;\""), std::string::npos);
    // the listing shows the texts as written
    EXPECT_NE(result.out.find("#Scene 1: Caf\xC3\xA9 & <Bar> \"D\" 'E' hall (0, 0)\n"), std::string::npos);
}

// A base name with characters that mean something in HTML, in a script
// string or in XML stays text in every output.
TEST(Vistacraft, KeepsThePagesValidForAnyBaseName) {
    TempDir dir;
    const std::string base = "T&\"'<x>\xED\x95\x9C";  // ends in a Hangul syllable
    const std::string folder = dir / base;
    fs::create_directories(folder + "/hall");
    fs::create_directories(folder + "/court");
    writeFile(folder + "/" + base + ".lst", fixture("small/Tour.lst"));
    writeFile(folder + "/hall/pano.xml", fixture("small/hall/pano.xml"));
    writeFile(folder + "/court/pano.xml", fixture("small/court/pano.xml"));
    const auto result = vistacraft(dir, {base});
    EXPECT_EQ(result.status, 0) << result.err;
    std::string message;
    EXPECT_TRUE(testsupport::scriptsParse(folder + "/" + base + ".htm", &message)) << message;
    EXPECT_TRUE(testsupport::scriptsParse(folder + "/" + base + "scene.htm", &message)) << message;
    expectWellFormed(folder + "/" + base + ".xml");
    const std::string page = readFile(folder + "/" + base + ".htm");
    EXPECT_NE(page.find("<title>Arcavia Halvane 3D Scene: T&amp;\"'&lt;x&gt;\xED\x95\x9C</title>"),
              std::string::npos);
    EXPECT_NE(page.find("xml: \"T&\\\"'<x>\xED\x95\x9C.xml\","), std::string::npos);
    const std::string xml = readFile(folder + "/" + base + ".xml");
    EXPECT_NE(xml.find("<xmlscript name=\"T&amp;&quot;'&lt;x&gt;\xED\x95\x9C.xml\"/>"), std::string::npos);
}

// Image blocks that the copy would otherwise leave unbalanced: none at all,
// two blocks, and a block on one line.
TEST(Vistacraft, KeepsTheImageBlockWellFormed) {
    TempDir dir;
    fs::create_directories(dir / "Tour");
    writeFile(dir / "Tour/Tour.lst", "#SCENE\nnone 0 0 $None\n#SCENE\ntwo 0 0 $Two\n#SCENE\none 0 0 $One\n");
    fs::create_directories(dir / "Tour/none");
    writeFile(dir / "Tour/none/pano.xml", "<krpano>\n\t<preview url=\"panos/p.jpg\" />\n</krpano>\n");
    fs::create_directories(dir / "Tour/two");
    writeFile(dir / "Tour/two/pano.xml",
              "<krpano>\n"
              "\t<image if=\"!webvr.isenabled\">\n"
              "\t\t<cube url=\"panos/a_%s.jpg\" />\n"
              "\t</image>\n"
              "\t<image if=\"webvr.isenabled\">\n"
              "\t\t<cube url=\"panos/b_%s.jpg\" /><!-- a url=\"x\" -->\n"
              "\t</image>\n"
              "</krpano>\n");
    fs::create_directories(dir / "Tour/one");
    writeFile(dir / "Tour/one/pano.xml", "<krpano><image><cube url=\"panos/c_%s.jpg\" /></image></krpano>\n");
    const auto result = vistacraft(dir, {"Tour"});
    EXPECT_EQ(result.status, 0);
    EXPECT_NE(result.err.find("vistacraft: warning: Tour/none/pano.xml has no <image> block"), std::string::npos);
    const std::string xml = readFile(dir / "Tour/Tour.xml");
    expectWellFormed(dir / "Tour/Tour.xml");
    auto imageOf = [&](const std::string& scene) {
        const std::size_t from = xml.find("<preview url=\"" + scene + "/");
        const std::size_t start = xml.find("\r\n\r\n", from) + 4;
        return xml.substr(start, xml.find("\t\t<!-- Hotspots for Cross Link", start) - start);
    };
    EXPECT_EQ(imageOf("none"), testsupport::crlf("\t\t<image>\n\t\t</image>\n\n"));
    EXPECT_EQ(imageOf("two"), testsupport::crlf("\t\t<image if=\"!webvr.isenabled\">\n"
                                                "\t\t<cube url=\"two/panos/a_%s.jpg\" />\n"
                                                "\t\t</image>\n"
                                                "\t\t<image if=\"webvr.isenabled\">\n"
                                                "\t\t<cube url=\"two/panos/b_%s.jpg\" /><!-- a url=\"x\" -->\n"
                                                "\t\t</image>\n\n"));
    EXPECT_EQ(imageOf("one"), testsupport::crlf("\t<image><cube url=\"one/panos/c_%s.jpg\" />\n"
                                                "\t\t</image>\n\n"));
}

}  // namespace
