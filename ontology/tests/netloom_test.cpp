// Netloom end to end: the built program on small ontology files in a
// temporary folder, its pages compared byte for byte with pages written
// from the templates, its console lines, exit status and leftovers.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
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

const std::string banner = "\nVisualization Script Converter 3.0 (2017/06/12)";
const std::string encodingLine0 = "Text Encoding of LST file: 0 [0:ANSI 1:UTF-8 2:UTF-16(BE) 3:UTF-16(LE)]\n";
const std::string encodingLine1 = "Text Encoding of LST file: 1 [0:ANSI 1:UTF-8 2:UTF-16(BE) 3:UTF-16(LE)]\n";

testsupport::Result netloom(const std::vector<std::string>& args, const TempDir& dir) {
    return testsupport::run(testsupport::programPath("netloom"), args, dir.path());
}

std::string fixture(const std::string& name) { return readFile(testsupport::sourcePath("ontology/tests/fixtures/" + name)); }

// An expected page with the installation settings of this build filled in.
std::string expectedPage(const std::string& name) {
    std::string page = fixture(name);
    for (auto [mark, value] : {std::pair<std::string, std::string>{"@WEB@", settings::webServer},
                               std::pair<std::string, std::string>{"@ORG@", settings::organisation}}) {
        for (std::size_t at; (at = page.find(mark)) != std::string::npos;) page.replace(at, mark.size(), value);
    }
    return page;
}

// What the program printed from the line that begins with first on.
std::string outputFrom(const std::string& out, const std::string& first) {
    std::size_t at = out.find(first);
    return at == std::string::npos ? "(no line \"" + first + "\" in:)\n" + out : out.substr(at);
}

TEST(Netloom, ReadingCircleGivesThePageOfTheTemplates) {
    TempDir dir;
    writeFile(dir / "circle.lst", fixture("reading_circle.lst"));
    auto r = netloom({"circle.lst"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind(banner + "\n", 0), 0u);
    EXPECT_EQ(outputFrom(r.out, "Input Text"),
              "Input Text Ecoding: ANSI or UTF-8 without BOM.\n"
              "System regards circle.lst as ANSI encoding.\n" +
                  encodingLine0 +
                  "Creating circle.htm .... Encoding: KSX -> UTF-8\n"
                  "Visualization Script circle.htm has been Created.\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(readFile(dir / "circle.htm"), expectedPage("reading_circle.htm"));
    EXPECT_EQ(testsupport::listDir(dir.path()), (std::vector<std::string>{"circle.htm", "circle.lst"}));
    std::string message;
    EXPECT_TRUE(testsupport::scriptsParse(dir / "circle.htm", &message)) << message;
}

TEST(Netloom, EmptyModelStillWritesTheWholePage) {
    // UTF-8 with a byte-order mark, named by another extension: empty.lst is read.
    TempDir dir;
    writeFile(dir / "empty.lst", bom + fixture("empty.lst"));
    auto r = netloom({"empty.txt"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(outputFrom(r.out, "Text Encoding"), encodingLine1 +
                                                      "Creating empty.htm .... Encoding: KSX -> UTF-8\n"
                                                      "Visualization Script empty.htm has been Created.\n");
    EXPECT_EQ(readFile(dir / "empty.htm"), expectedPage("empty.htm"));
    EXPECT_EQ(testsupport::listDir(dir.path()), (std::vector<std::string>{"empty.htm", "empty.lst"}));
}

// ---- validation ----------------------------------------------------------------

struct FailureCase {
    const char* name;
    const char* list;      // LF line ends; written with CR LF; UTF-8 when not ASCII
    const char* messages;  // the lines after the encoding line
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class Validation : public testing::TestWithParam<FailureCase> {};

TEST_P(Validation, ReportsEveryNameAndWritesNothing) {
    const FailureCase& c = GetParam();
    const std::string list = c.list;
    const bool ascii = std::all_of(list.begin(), list.end(), [](char b) { return (unsigned char)b < 0x80; });
    for (bool utf8 : {false, true}) {
        if (!utf8 && !ascii) continue;
        TempDir dir;
        writeFile(dir / "onto.lst", (utf8 ? bom : "") + crlf(c.list));
        auto r = netloom({"onto.lst"}, dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(outputFrom(r.out, "Text Encoding"), (utf8 ? encodingLine1 : encodingLine0) + c.messages);
        // No scratch list, no output scratch file, no page.
        EXPECT_EQ(testsupport::listDir(dir.path()), std::vector<std::string>{"onto.lst"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Netloom, Validation,
    testing::Values(
        FailureCase{"classes",
                    "#CLASS\nperson\n#RELATION\nrel lab\n#NODES\na Person\nb person\nc thing\n#LINKS\nx y nope\n",
                    "Class Name Person in the Node List is Invalid!\n"
                    "Class Name thing in the Node List is Invalid!\n"},
        // A node record of one field needs a class named dummy.
        FailureCase{"dummy", "#CLASS\nperson\n#NODES\nsolo\n", "Class Name dummy in the Node List is Invalid!\n"},
        // A line of three characters is skipped, one of four is read.
        FailureCase{"shortLines", "#CLASS\nxyz\nabcd\n#NODES\nn1 abcd\nn2 xyz\n",
                    "Class Name xyz in the Node List is Invalid!\n"},
        FailureCase{"nodeIds",
                    "#CLASS\ncls red box\n#RELATION\nrel lab\n#NODES\nna cls\nnb cls\n#LINKS\nna nx rel\nny nb nope\nnz nw rel\n",
                    "Node 1 ID ny in the Link List is Invalid!\n"
                    "Node 1 ID nz in the Link List is Invalid!\n"
                    "Node 2 ID nx in the Link List is Invalid!\n"
                    "Node 2 ID nw in the Link List is Invalid!\n"},
        FailureCase{"relations",
                    "#CLASS\ncls red box\n#RELATION\nrel lab\n#NODES\nna cls\n#LINKS\nna na nope\nna na rel\nna na Rel\n",
                    "Relation Name nope in the Link List is Invalid!\n"
                    "Relation Name Rel in the Link List is Invalid!\n"},
        // Names from the file are printed in UTF-8.
        FailureCase{"korean", "#CLASS\ncls red box\n#NODES\nna \xEC\xB1\x85\xEC\x9E\x90\n",
                    "Class Name \xEC\xB1\x85\xEC\x9E\x90 in the Node List is Invalid!\n"}),
    [](const testing::TestParamInfo<FailureCase>& p) { return std::string(p.param.name); });

// ---- command line and files ---------------------------------------------------------

TEST(Netloom, UsageAndRefusedArguments) {
    TempDir dir;
    auto r = netloom({}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "\nUsage: Netloom <Ontology Data File> \n");

    writeFile(dir / "onto.lst", fixture("reading_circle.lst"));
    for (const char* argument : {"onto", ".lst", "my.dir/onto"}) {
        if (std::string(argument) == "my.dir/onto") std::filesystem::create_directory(dir / "my.dir");
        r = netloom({argument}, dir);
        EXPECT_EQ(r.status, 2) << argument;
        EXPECT_EQ(r.out.rfind(banner + "\n", 0), 0u);
        EXPECT_EQ(r.out.find("Text Encoding"), std::string::npos) << argument;
        EXPECT_NE(r.err.find("extension"), std::string::npos) << r.err;
    }
    EXPECT_EQ(testsupport::listDir(dir.path()), (std::vector<std::string>{"my.dir", "onto.lst"}));
}

TEST(Netloom, RefusesAListFileThatIsAlsoAnOutput) {
    TempDir dir;
    const std::string list = fixture("reading_circle.lst");
    writeFile(dir / "onto.lst", list);
    std::filesystem::create_symlink("onto.lst", dir / "onto.htm");
    auto r = netloom({"onto.lst"}, dir);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out.find("Text Encoding"), std::string::npos);
    EXPECT_EQ(readFile(dir / "onto.lst"), list);
    EXPECT_EQ(testsupport::listDir(dir.path()), (std::vector<std::string>{"onto.htm", "onto.lst"}));
}

TEST(Netloom, ListFileNotFound) {
    TempDir dir;
    auto r = netloom({"onto.lst"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(outputFrom(r.out, "Ontology Plan"), "Ontology Plan \"onto.lst\" Not Found!\n");
    EXPECT_TRUE(testsupport::listDir(dir.path()).empty());
}

TEST(Netloom, StemEndsAtTheFirstDotOfTheLastComponent) {
    TempDir dir;
    std::filesystem::create_directory(dir / "my.dir");
    writeFile(dir / "my.dir/onto.lst", fixture("reading_circle.lst"));
    auto r = netloom({"my.dir/onto.old.lst"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Visualization Script my.dir/onto.htm has been Created.\n"), std::string::npos) << r.out;
    EXPECT_NE(readFile(dir / "my.dir/onto.htm").find("<title>Simple Ontology Visualization: onto</title>"),
              std::string::npos);

    // Arguments are joined with one blank: a path with blanks may be given unquoted.
    writeFile(dir / "my onto.lst", fixture("reading_circle.lst"));
    r = netloom({"my", "onto.lst"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(testsupport::exists(dir / "my onto.htm"));
}

TEST(Netloom, ConversionFailureKeepsTheOutputScratchFile) {
    TempDir dir;
    writeFile(dir / "onto.lst", fixture("reading_circle.lst"));
    std::filesystem::create_directory(dir / "onto.htm");  // the page cannot be written
    auto r = netloom({"onto.lst"}, dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Output File Encoding Conversion Error.\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("has been Created"), std::string::npos);
    EXPECT_TRUE(testsupport::exists(dir / "onto.out"));
}

TEST(Netloom, SkippedRecordsAreWarnedWithFileAndLine) {
    TempDir dir;
    std::string list = "#CLASS\ncls red box\n#NODES\nna cls\n#LINKS\nna na\n# remark\nnb nb nope\n#RELATION\nrel x y z\n";
    writeFile(dir / "onto.lst", crlf(list));
    auto r = netloom({"onto.lst"}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("netloom: warning: onto.lst:6: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("netloom: warning: onto.lst:8: "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("netloom: warning: onto.lst:10: \"z\""), std::string::npos) << r.err;
}

// Texts that would break the script or the head: an apostrophe, a closing
// script tag, a backslash and a line-break reference in the file; markup
// characters in the base name.
TEST(Netloom, HostileTextsKeepThePageWhole) {
    TempDir dir;
    std::string list =
        "#CLASS\nc'1 red'x it's\n#RELATION\nr'el it's_a LINE 3\n#NODES\n"
        "n'1 c'1 O'Brien page'1.htm\n"
        "n2 c'1 x</script>y a\\b.htm pic.png 0\n"
        "n3 c'1 line&#10;break\\ NULL\n"
        "#LINKS\nn'1 n2 r'el q'1\n";
    writeFile(dir / "a&b<c.lst", crlf(list));
    auto r = netloom({"a&b<c.lst"}, dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string page = readFile(dir / "a&b<c.htm");
    std::string message;
    EXPECT_TRUE(testsupport::scriptsParse(dir / "a&b<c.htm", &message)) << message;
    EXPECT_NE(page.find("<title>Simple Ontology Visualization: a&amp;b&lt;c</title>"), std::string::npos);
    EXPECT_NE(page.find("content=\"Simple Ontology Visualization: a&amp;b&lt;c\"/>"), std::string::npos);
    EXPECT_NE(page.find("label: 'O\\'Brien',"), std::string::npos);
    EXPECT_NE(page.find("title: '<u>O\\'Brien</u>',"), std::string::npos);
    EXPECT_NE(page.find("x<\\/script>y"), std::string::npos);
    EXPECT_EQ(page.find("</script>y"), std::string::npos);
    EXPECT_NE(page.find("'c\\'1': { shape: 'it\\'s', color: { border: 'red\\'x'} },"), std::string::npos);
    EXPECT_NE(page.find("title:  'it\\'s a (q\\'1)',"), std::string::npos);
}

}  // namespace
