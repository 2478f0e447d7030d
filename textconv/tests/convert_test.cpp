#include <gtest/gtest.h>

#include "testsupport/support.h"
#include "textconv/markup.h"
#include "textconv/textconv.h"

using namespace textconv;
using testsupport::bom;

namespace {

TEST(Conversion, TextCases) {
    struct Case {
        std::string ansi;
        std::string utf8;
    } cases[] = {
        {"\xB0\xA1\xB3\xAA\n", "\xEA\xB0\x80\xEB\x82\x98\n"},
        {"&#00233;", "\xC3\xA9"},
        {"&#00233x", "\xC3\xA9x"},       // without ';' the byte after the digits stays
        {"&#233;;", "\xC3\xA9;"},         // only one ';' belongs to the reference
        {"&#65279;", "\xEF\xBB\xBF"},
        {"&#38;", "&"},
        {"&#128512;", "\xF0\x9F\x98\x80"},  // beyond the BMP: four bytes
        {"&#0;", "\xEF\xBF\xBD"},           // not characters: U+FFFD
        {"&#55357;", "\xEF\xBF\xBD"},
        {"&#1114112;", "\xEF\xBF\xBD"},
        {"&#99999999999999999999;", "\xEF\xBF\xBD"},
        {"&#", "&#"},                       // no digit: copied
        {"&#x41;", "&#x41;"},
        {"&amp;", "&amp;"},
        {"U+AC00", "\xEA\xB0\x80"},
        {"u+AC00", "u+AC00"},
        {"U+12G4", "U+12G4"},
        {"U+AC0", "U+AC0"},
        {"U+U+0041", "U+A"},
        {"U+D800", "\xEF\xBF\xBD"},
        {"\xCB\xD0", "\xE2\x96\xA3"},
        {"\xA1\xA4", "\xC2\xB7"},
        {"\xA2\xE6", "?"},
        {std::string("ab\0cd\nef", 8), "abef"},     // a NUL ends its line, line feed included
        {"\xB0", "\xE2\x96\xA3"},                      // a lead byte at the very end
        {"\xB0\nx", "\xE2\x96\xA3\nx"},               // a lead byte before a line feed keeps the line feed
        {"\xA1\x23x", "\xE5\x92\x96x"},               // an extended code whose trail byte is '#'
    };
    for (const auto& c : cases) EXPECT_EQ(ansiToUtf8(c.ansi), c.utf8) << c.ansi;
}

TEST(Conversion, MarkupRecognition) {
    EXPECT_EQ(markupAt("x&#39;", 1).length, 5u);
    EXPECT_EQ(markupAt("x&#39;", 1).value, 39u);
    EXPECT_EQ(markupAt("&#39", 0).length, 4u);
    EXPECT_EQ(markupAt("&#;", 0).length, 0u);
    EXPECT_EQ(markupAt("U+0027", 0).value, 0x27u);
    EXPECT_EQ(markupAt("U+002", 0).length, 0u);
    EXPECT_EQ(markupCharacter(0x110000), 0xFFFDu);
    EXPECT_EQ(markupCharacter(0x41), 0x41u);
}

TEST(ConvertOutputFile, WritesByteOrderMarkAndCrLf) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "a.tmp", "\xB0\xA1\xB3\xAA\nline\r\nlast");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(convertOutputFile((dir / "a.tmp").c_str(), (dir / "a.xml").c_str()), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Creating " + (dir / "a.xml") + " .... Encoding: KSX -> UTF-8\n");
    EXPECT_EQ(testsupport::readFile(dir / "a.xml"), bom + "\xEA\xB0\x80\xEB\x82\x98\r\nline\r\nlast");
    EXPECT_EQ(testsupport::listDir(dir.path()), (std::vector<std::string>{"a.tmp", "a.xml"}));

    // A line feed named by a markup is a line feed like any other, also at
    // the end of the text (it once came out bare).
    testsupport::writeFile(dir / "b.tmp", "a&#10;b U+000Ac&#10");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(convertOutputFile((dir / "b.tmp").c_str(), (dir / "b.xml").c_str()), 0);
    ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(testsupport::readFile(dir / "b.xml"), bom + "a\r\nb \r\nc\r\n");
}

TEST(ConvertOutputFile, CodesAndMarkupAcrossBlockBoundariesOfLongLines) {
    // Place a two-byte code, a reference and hex markup across every offset
    // around the 64 KiB read block, in one line without a line feed.
    for (std::size_t pad = 65530; pad < 65540; ++pad) {
        testsupport::TempDir dir;
        std::string text = std::string(pad, 'a') + "\xB0\xA1&#00233;U+AC00" + std::string(pad % 7, 'b');
        testsupport::writeFile(dir / "a.tmp", text);
        ::testing::internal::CaptureStdout();
        ASSERT_EQ(convertOutputFile((dir / "a.tmp").c_str(), (dir / "a.xml").c_str()), 0);
        ::testing::internal::GetCapturedStdout();
        EXPECT_EQ(testsupport::readFile(dir / "a.xml"),
                  bom + std::string(pad, 'a') + "\xEA\xB0\x80\xC3\xA9\xEA\xB0\x80" + std::string(pad % 7, 'b'))
            << pad;
    }
}

TEST(ConvertOutputFile, MissingScratchLeavesAnExistingOutputAlone) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "a.xml", "earlier output");
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(convertOutputFile((dir / "none.tmp").c_str(), (dir / "a.xml").c_str()), -1);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "\nInput File " + (dir / "none.tmp") + " Not Found!\n");
    EXPECT_EQ(testsupport::readFile(dir / "a.xml"), "earlier output");
}

TEST(ConvertOutputFile, OutputThatCannotBeWrittenFails) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "a.tmp", "text\n");
    std::string failure;
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(convertOutputFile((dir / "a.tmp").c_str(), dir.path().c_str(), &failure), -1);  // a folder
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Creation Error!"), std::string::npos);
    EXPECT_NE(failure.find(dir.path()), std::string::npos) << failure;

    ::testing::internal::CaptureStdout();
    EXPECT_EQ(convertOutputFile((dir / "a.tmp").c_str(), (dir.path() + "/no/such/dir/a.xml").c_str(), &failure), -1);
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Creation Error!"), std::string::npos);
    EXPECT_EQ(testsupport::listDir(dir.path()), std::vector<std::string>{"a.tmp"});
}

}  // namespace
