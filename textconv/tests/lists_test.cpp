#include <filesystem>

#include <gtest/gtest.h>

#include "testsupport/support.h"
#include "textconv/textconv.h"

using namespace textconv;

namespace {

struct Normalised {
    int encoding;
    bool scratchWritten;
    std::string scratch;
    std::string console;
};

Normalised normalise(const std::string& listBytes) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "a.lst", listBytes);
    ::testing::internal::CaptureStdout();
    Normalised n;
    n.encoding = normaliseListFile((dir / "a.lst").c_str(), (dir / "a.asc").c_str());
    n.console = ::testing::internal::GetCapturedStdout();
    n.scratchWritten = testsupport::exists(dir / "a.asc");
    if (n.scratchWritten) n.scratch = testsupport::readFile(dir / "a.asc");
    EXPECT_EQ(testsupport::readFile(dir / "a.lst"), listBytes);
    return n;
}

std::string le(const std::u16string& units) {
    std::string out = "\xFF\xFE";
    for (char16_t u : units) out += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    return out;
}
std::string be(const std::u16string& units) {
    std::string out = "\xFE\xFF";
    for (char16_t u : units) out += {static_cast<char>(u >> 8), static_cast<char>(u & 0xFF)};
    return out;
}

TEST(NormaliseListFile, AnsiFilesAreLeftAlone) {
    for (std::string bytes : {std::string(), std::string("x"), std::string("\xEF\xBB" "abc"), std::string("\xB0\xA1\n")}) {
        Normalised n = normalise(bytes);
        EXPECT_EQ(n.encoding, encodingAnsi);
        EXPECT_FALSE(n.scratchWritten);
        EXPECT_NE(n.console.find("Input Text Ecoding: ANSI or UTF-8 without BOM.\nSystem regards "), std::string::npos);
        EXPECT_NE(n.console.find("a.lst as ANSI encoding.\n"), std::string::npos);
    }
}

TEST(NormaliseListFile, ConvertsUnicodeFilesToAnsi) {
    struct Case {
        std::string bytes;
        int encoding;
        std::string scratch;
    } cases[] = {
        {"\xEF\xBB\xBF\xEA\xB0\x80\xC2\xB7\r\n", encodingUtf8, "\xB0\xA1\xA1\xA4\r\n"},
        {"\xEF\xBB\xBF\xC3\xA9\xEB\x98\xA0", encodingUtf8, "&#00233;&#46624;"},
        {"\xEF\xBB\xBF\xA1", encodingUtf8, "\xA2\xAE"},                    // stray byte: U+00A1
        {"\xEF\xBB\xBFok\xEA\xB0", encodingUtf8, "ok"},                    // cut-off last character
        {"\xEF\xBB\xBF\xF0\x9F\x98\x80", encodingUtf8, "&#128512;"},       // four bytes: the whole code point
        {"\xEF\xBB\xBF\xED\xA0\xBDx", encodingUtf8, "&#65533;x"},          // lone surrogate
        {"\xEF\xBB\xBF\xF8\xFFx", encodingUtf8, "&#65533;&#65533;x"},      // no UTF-8 sequence
        {std::string("\xEF\xBB\xBF" "a\0b", 6), encodingUtf8, "ab"},                       // U+0000 writes nothing
        {le(u"\xAC00\x00E9"), encodingUtf16Le, "\xB0\xA1&#00233;"},
        {be(u"\xAC00\x00E9"), encodingUtf16Be, "\xB0\xA1&#00233;"},
        {le(u"\xD83D\xDE00"), encodingUtf16Le, "&#128512;"},               // a surrogate pair
        {le(u"\xD83Dx\xDE00"), encodingUtf16Le, "&#65533;x&#65533;"},     // lone surrogates
        {le(u"\xD83D"), encodingUtf16Le, "&#65533;"},
        {le(u"ab") + "c", encodingUtf16Le, "ab"},                          // odd last byte dropped
        {"\xFF\xFE", encodingUtf16Le, ""},
    };
    for (const auto& c : cases) {
        Normalised n = normalise(c.bytes);
        EXPECT_EQ(n.encoding, c.encoding);
        EXPECT_TRUE(n.scratchWritten);
        EXPECT_EQ(n.scratch, c.scratch);
        EXPECT_EQ(n.console, "");
    }
}

TEST(NormaliseListFile, Failures) {
    testsupport::TempDir dir;
    EXPECT_EQ(normaliseListFile((dir / "none.lst").c_str(), (dir / "none.asc").c_str()), listNotFound);
    testsupport::writeFile(dir / "a.lst", "\xEF\xBB\xBFx");
    std::string failure;
    EXPECT_EQ(normaliseListFile((dir / "a.lst").c_str(), (dir.path() + "/no/dir/a.asc").c_str(), &failure),
              scratchNotCreatable);
    EXPECT_NE(failure.find("no/dir/a.asc"), std::string::npos);

    // A list that cannot be read is no list: nothing is converted from it.
    failure.clear();
    std::filesystem::create_directory(dir / "folder.lst");
    EXPECT_EQ(normaliseListFile((dir / "folder.lst").c_str(), (dir / "folder.asc").c_str(), &failure), listNotFound);
    EXPECT_NE(failure.find("cannot read"), std::string::npos);
    EXPECT_FALSE(testsupport::exists(dir / "folder.asc"));
}

TEST(Texts, RoundTripKeepsCharacters) {
    const std::string text = "\xEA\xB0\x80 caf\xC3\xA9 \xF0\x9F\x98\x80 \xE2\x82\xAC & \xE4\xB8\x80";
    EXPECT_EQ(ansiToUtf8(utf8ToAnsi(text)), text);
    EXPECT_TRUE(isUtf8WithoutBom("/dev/null") == false);
}

}  // namespace
