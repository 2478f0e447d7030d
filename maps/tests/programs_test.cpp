// End-to-end runs of Markwell and Globewell in a temporary folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "settings.h"
#include "testsupport/support.h"

namespace {

using testsupport::bom;
using testsupport::crlf;
using testsupport::listDir;
using testsupport::readFile;
using testsupport::Result;
using testsupport::sourcePath;
using testsupport::TempDir;
using testsupport::writeFile;

const char* const markwellBanner = "\nNaver Map API Script Generator 2.0 (2020/06/01)";
const char* const globewellBanner = "\nGoogle Earth KML Script Generator 2.0 (2020/06/01)";
const char* const utf8Line = "Text Encoding of LST file: 1 [0:ANSI 1:UTF-8 2:UTF-16(BE) 3:UTF-16(LE)]\n";

std::string fixture(const std::string& name) { return readFile(sourcePath("maps/tests/fixtures/" + name)); }

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t pos = 0; (pos = text.find(from, pos)) != std::string::npos; pos += to.size())
        text.replace(pos, from.size(), to);
}

// The expected files carry the default installation settings.
std::string expectedFile(const std::string& name) {
    std::string text = fixture(name);
    replaceAll(text, "https://vr.arcavia.example", settings::webServer);
    replaceAll(text, "https://icons.arcavia.example", settings::iconServer);
    replaceAll(text, "https://oapi.map.naver.com", settings::naverMapsServer);
    replaceAll(text, "wq7hzk2rvd", settings::naverClientId);
    return text;
}

std::string header(const char* banner) { return std::string(banner) + "\n" + settings::credit + "\n\n"; }

Result markwell(const TempDir& dir, std::vector<std::string> args) {
    return testsupport::run(testsupport::programPath("markwell"), args, dir.path());
}
Result globewell(const TempDir& dir, std::vector<std::string> args) {
    return testsupport::run(testsupport::programPath("globewell"), args, dir.path());
}

// A menu script (UTF-8 with byte-order mark, CR LF) from LF text.
std::string menuScript(const std::string& lf) { return bom + crlf(lf); }

// Runs the page's script in node with a stand-in for the Naver Maps API and
// returns what it prints for the expression given.
std::string evaluatePage(const std::string& pagePath, const std::string& expression) {
    std::string page = readFile(pagePath);
    const std::size_t begin = page.find("\t<script>\r\n");
    const std::size_t end = page.find("\t</script>", begin);
    if (begin == std::string::npos || end == std::string::npos) return "(no script)";
    TempDir work;
    writeFile(work / "page.js",
              "var naver = {maps: {Map: function() {}, InfoWindow: function() {},\n"
              "  Size: function() {}, Point: function() {},\n"
              "  LatLng: function(lat, lng) { this.lat = lat; this.lng = lng; },\n"
              "  Marker: function(o) { this.position = o.position; },\n"
              "  Event: {addListener: function() {}}}};\n" +
                  page.substr(begin + 11, end - begin - 11) + "\nprocess.stdout.write(JSON.stringify(" +
                  expression + "));\n");
    Result r = testsupport::run("/usr/bin/env", {"node", "page.js"}, work.path());
    return r.status == 0 ? r.out : "(node failed) " + r.err;
}

TEST(Markwell, WritesThePageForEveryLinkForm) {
    // The argument with and without its extension names the same files.
    for (const char* argument : {"hall.lst", "hall"}) {
        SCOPED_TRACE(argument);
        TempDir dir;
        writeFile(dir / "hall.lst", fixture("hall.lst"));
        Result r = markwell(dir, {argument});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, header(markwellBanner) +
                             "List File: hall.lst\n"
                             "Nmap File: hallNmap.htm\n" +
                             utf8Line +
                             "Creating hallNmap.htm .... Encoding: KSX -> UTF-8\n"
                             "Naver Map API Script File hallNmap.htm has been Created.\n");
        EXPECT_EQ(readFile(dir / "hallNmap.htm"), expectedFile("hallNmap.htm"));
        EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"hall.lst", "hallNmap.htm"}));
        std::string message;
        EXPECT_TRUE(testsupport::scriptsParse(dir / "hallNmap.htm", &message)) << message;
    }
}

TEST(Globewell, WritesTheKmlForEveryLinkForm) {
    for (const char* argument : {"hall.lst", "hall"}) {
        SCOPED_TRACE(argument);
        TempDir dir;
        writeFile(dir / "hall.lst", fixture("hall.lst"));
        Result r = globewell(dir, {argument});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, header(globewellBanner) +
                             "List File: hall.lst\n"
                             "KML File: hall.kml\n" +
                             utf8Line +
                             "Creating hall.kml .... Encoding: KSX -> UTF-8\n"
                             "KML File hall.kml has been Created.\n");
        EXPECT_EQ(readFile(dir / "hall.kml"), expectedFile("hall.kml"));
        EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"hall.kml", "hall.lst"}));
        std::string message;
        EXPECT_TRUE(testsupport::xmlWellFormed(dir / "hall.kml", &message)) << message;
    }

    // A list in another folder, whose name has a dot: the outputs go beside
    // the list, and the folder of placemarks is named by the last component.
    TempDir dir;
    std::filesystem::create_directory(dir / "old.maps");
    writeFile(dir / "old.maps/hall.lst", fixture("hall.lst"));
    Result r = globewell(dir, {"old.maps/hall"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("List File: old.maps/hall.lst\nKML File: old.maps/hall.kml\n"), std::string::npos);
    EXPECT_EQ(readFile(dir / "old.maps/hall.kml"), expectedFile("hall.kml"));
    EXPECT_EQ(listDir(dir / "old.maps"), (std::vector<std::string>{"hall.kml", "hall.lst"}));
}

TEST(MapPrograms, MenuScriptWithoutSites) {
    // The base name comes from the command line (UTF-8) and names the KML folder.
    TempDir dir;
    writeFile(dir / "전시관.lst", fixture("nosites.lst"));
    Result page = markwell(dir, {"전시관"});
    EXPECT_EQ(page.status, 0);
    EXPECT_EQ(readFile(dir / "전시관Nmap.htm"), expectedFile("nositesNmap.htm"));
    Result kml = globewell(dir, {"전시관"});
    EXPECT_EQ(kml.status, 0);
    EXPECT_EQ(readFile(dir / "전시관.kml"), expectedFile("nosites.kml"));
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"전시관.kml", "전시관.lst", "전시관Nmap.htm"}));
    EXPECT_TRUE(testsupport::scriptsParse(dir / "전시관Nmap.htm"));
    EXPECT_TRUE(testsupport::xmlWellFormed(dir / "전시관.kml"));
}

TEST(MapPrograms, KeepsTheHundredthSiteAndIgnoresTheHundredAndFirst) {
    TempDir dir;
    std::string lf = "#SITE\n";
    for (int i = 1; i <= 101; ++i)
        lf += "s" + std::to_string(i) + " gallery 37." + std::to_string(i) + " 127." + std::to_string(i) +
              " $Site " + std::to_string(i) + "\n";
    lf += "#HOST\n/VR/many\n";
    // Plain ASCII: read as ANSI, from the list file itself.
    writeFile(dir / "many.lst", crlf(lf));

    Result r = markwell(dir, {"many"});
    ASSERT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("Text Encoding of LST file: 0 "), std::string::npos);
    EXPECT_NE(r.err.find("many.lst:102: "), std::string::npos) << r.err;
    const std::string page = readFile(dir / "manyNmap.htm");
    EXPECT_NE(page.find(crlf("\t\tvar marker99 = new naver.maps.Marker({\n"
                             "\t\t\tposition: new naver.maps.LatLng(37.100, 127.100),\n")),
                        std::string::npos);
    EXPECT_NE(page.find("\t\t\t'<a href=\"/VR/many/s100/gallery.htm\" target=\"_self\">Site 100<br/>"),
              std::string::npos);
    EXPECT_NE(page.find("naver.maps.Event.addListener(marker99, "), std::string::npos);
    EXPECT_EQ(page.find("marker100"), std::string::npos);
    EXPECT_EQ(page.find("s101"), std::string::npos);
    EXPECT_TRUE(testsupport::scriptsParse(dir / "manyNmap.htm"));

    ASSERT_EQ(globewell(dir, {"many"}).status, 0);
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"many.kml", "many.lst", "manyNmap.htm"}));
    const std::string kml = readFile(dir / "many.kml");
    std::size_t placemarks = 0;
    for (std::size_t pos = 0; (pos = kml.find("<Placemark>", pos)) != std::string::npos; ++pos) ++placemarks;
    EXPECT_EQ(placemarks, 100u);
    EXPECT_NE(kml.find(crlf("\t\t\t<name>Site 100</name>\n"
                            "\t\t\t<description><![CDATA[<a href=\"/VR/many/s100/gallery.htm\"")),
              std::string::npos);
    EXPECT_EQ(kml.find("s101"), std::string::npos);
    EXPECT_TRUE(testsupport::xmlWellFormed(dir / "many.kml"));
}

TEST(MapPrograms, RefusesAListPathTheRunWritesOrDeletes) {
    struct Case {
        const char* program;
        const char* list;
        bool renameAdvice;
    };
    const Case cases[] = {
        {"markwell", "hall.txt", true},  {"markwell", "hall.asc", false}, {"globewell", "hall.txt", true},
        {"globewell", "hall.asc", false}, {"globewell", "hall.kml", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.program) + " " + c.list);
        TempDir dir;
        const std::string list = fixture("hall.lst");
        writeFile(dir / c.list, list);
        Result r = testsupport::run(testsupport::programPath(c.program), {c.list}, dir.path());
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(readFile(dir / c.list), list);
        EXPECT_EQ(listDir(dir.path()), std::vector<std::string>{c.list});
        EXPECT_NE(r.err.find(std::string(c.program) + ": error: "), std::string::npos) << r.err;
        if (c.renameAdvice) {
            EXPECT_NE(r.err.find("hall.lst"), std::string::npos) << r.err;
        }
        EXPECT_EQ(r.out.find("Text Encoding"), std::string::npos);
    }
}

TEST(MapPrograms, MissingListAndUsage) {
    TempDir dir;
    Result page = markwell(dir, {"none"});
    EXPECT_EQ(page.status, 1);
    EXPECT_EQ(page.out, header(markwellBanner) +
                            "List File: none.lst\n"
                            "Nmap File: noneNmap.htm\n"
                            "Lst File \"none.lst\" Not Found!\n");
    Result kml = globewell(dir, {"none.lst"});
    EXPECT_EQ(kml.status, 1);
    EXPECT_EQ(kml.out, header(globewellBanner) +
                           "List File: none.lst\n"
                           "KML File: none.kml\n"
                           "Lst File \"none.lst\" Not Found!\n");
    EXPECT_TRUE(listDir(dir.path()).empty());

    Result usage = markwell(dir, {});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "\nUsage: Markwell <Halvane Menu Script>  \n");
    usage = globewell(dir, {});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.out, "\nUsage: Globewell <Halvane Menu Script>  \n");
}

TEST(MapPrograms, CoordinateThatIsNotANumber) {
    TempDir dir;
    writeFile(dir / "typo.lst", menuScript("#SITE\n"
                                           "h1 gallery 37.5x abc $본관\n"
                                           "h2 gallery 37.5 127.0 $별관\n"
                                           "#HOST\n/VR/tours\n"));
    Result r = markwell(dir, {"typo"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("markwell: warning: "), std::string::npos);
    EXPECT_NE(r.err.find("본관"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("latitude"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("longitude"), std::string::npos) << r.err;
    const std::string page = readFile(dir / "typoNmap.htm");
    EXPECT_NE(page.find("\t\t\tposition: new naver.maps.LatLng(37.5, 0),\r\n"), std::string::npos);
    EXPECT_NE(page.find("\t\t\tposition: new naver.maps.LatLng(37.5, 127.0),\r\n"), std::string::npos);
    std::string message;
    EXPECT_TRUE(testsupport::scriptsParse(dir / "typoNmap.htm", &message)) << message;
    EXPECT_EQ(evaluatePage(dir / "typoNmap.htm", "[marker0.position, marker1.position]"),
              "[{\"lat\":37.5,\"lng\":0},{\"lat\":37.5,\"lng\":127}]");

    // The KML keeps the coordinates exactly as written.
    r = globewell(dir, {"typo"});
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(readFile(dir / "typo.kml").find("<Point><coordinates>abc, 37.5x, 0</coordinates></Point>"),
              std::string::npos);
}

TEST(MapPrograms, HostileTextsKeepThePageAndTheKmlWhole) {
    TempDir dir;
    // A site name and a folder with quotes, backslashes, markup and the end of a
    // script or CDATA section; the site name stays HTML in the info window, and
    // the folder stays inside its href attribute.
    writeFile(dir / "hostile.lst", menuScript("#SITE\n"
                                              "it's]]>\"q court.a'b 37.5 127.0 $'Tom's' \\x \"hall\" </script></SCRIPT> & <b>x</b> > U+0027 &#39;\\\n"
                                              "#HOST\n/VR/tours\n"));
    Result r = markwell(dir, {"hostile"});
    EXPECT_EQ(r.status, 0);
    const std::string pagePath = dir / "hostileNmap.htm";
    std::string message;
    EXPECT_TRUE(testsupport::scriptsParse(pagePath, &message)) << message;
    EXPECT_EQ(readFile(pagePath).find("</SCRIPT>"), std::string::npos);
    EXPECT_EQ(evaluatePage(pagePath, "htmtxt0"),
              "\"<div class=\\\"iw_inner\\\"><a href=\\\"/VR/tours/it's]]&gt;&quot;q/courtscene.htm?id=a'b\\\" target=\\\"_self\\\">"
              "'Tom's' \\\\x \\\"hall\\\" </script></SCRIPT> & <b>x</b> > ' '\\\\<br/><img border=\\\"0\\\" src=\\\"" +
                  std::string(settings::webServer) + "/VR/style/halvane_b.png\\\"/></a></div>\"");

    r = globewell(dir, {"hostile"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(testsupport::xmlWellFormed(dir / "hostile.kml", &message)) << message;
    EXPECT_NE(readFile(dir / "hostile.kml")
                  .find("\t\t\t<name>'Tom's' \\x \"hall\" &lt;/script&gt;&lt;/SCRIPT&gt; &amp; &lt;b&gt;x&lt;/b&gt; &gt; &apos; &apos;\\</name>"),
              std::string::npos);
}

TEST(MapPrograms, FailedOutputLeavesNoScratchFileBehind) {
    // The output's path is taken by a folder: the conversion fails, and
    // neither the output scratch file nor the scratch list stays.
    struct Case {
        const char* program;
        const char* output;
        const char* errorLine;
    };
    const Case cases[] = {
        {"markwell", "hallNmap.htm", "Script File Code Conversion Error!\n"},
        {"globewell", "hall.kml", "KML File Code Conversion Error!\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.program);
        TempDir dir;
        writeFile(dir / "hall.lst", fixture("hall.lst"));
        std::filesystem::create_directory(dir / c.output);
        std::vector<std::string> before = listDir(dir.path());
        Result r = testsupport::run(testsupport::programPath(c.program), {"hall"}, dir.path());
        EXPECT_EQ(r.status, 1);
        ASSERT_GE(r.out.size(), std::strlen(c.errorLine));
        EXPECT_EQ(r.out.substr(r.out.size() - std::strlen(c.errorLine)), c.errorLine);
        EXPECT_EQ(listDir(dir.path()), before);
    }

    // The output scratch file cannot be created: nothing is converted, and
    // what holds its name stays.
    TempDir dir;
    writeFile(dir / "hall.lst", fixture("hall.lst"));
    std::filesystem::create_directory(dir / "hall.txt");
    Result r = testsupport::run(testsupport::programPath("markwell"), {"hall"}, dir.path());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("markwell: error: "), std::string::npos);
    EXPECT_EQ(r.out.find("Creating"), std::string::npos);
    EXPECT_EQ(listDir(dir.path()), (std::vector<std::string>{"hall.lst", "hall.txt"}));
}

TEST(MapPrograms, ExampleMenuScriptConverts) {
    // The README's demo runs both programs on examples/aerial.lst.
    TempDir dir;
    writeFile(dir / "aerial.lst", readFile(sourcePath("examples/aerial.lst")));
    Result page = markwell(dir, {"aerial.lst"});
    EXPECT_EQ(page.status, 0);
    EXPECT_EQ(page.err, "");
    Result kml = globewell(dir, {"aerial.lst"});
    EXPECT_EQ(kml.status, 0);
    EXPECT_EQ(kml.err, "");
    std::string message;
    EXPECT_TRUE(testsupport::scriptsParse(dir / "aerialNmap.htm", &message)) << message;
    EXPECT_TRUE(testsupport::xmlWellFormed(dir / "aerial.kml", &message)) << message;
    // One site of each link form.
    const std::string text = readFile(dir / "aerialNmap.htm");
    EXPECT_NE(text.find("href=\"/VR/examples/tour/tour.htm\""), std::string::npos);
    EXPECT_NE(text.find("href=\"/VR/examples/tour/tourscene.htm?id=court\""), std::string::npos);
    EXPECT_NE(text.find("href=\"/VR/examples/index.htm\""), std::string::npos);
}

}  // namespace
