#include <gtest/gtest.h>

#include "textconv/textconv.h"

using namespace textconv;

namespace {

std::string hex(const std::string& bytes) {
    std::string out;
    char b[4];
    for (unsigned char c : bytes) {
        std::snprintf(b, sizeof b, "%02X ", c);
        out += b;
    }
    if (!out.empty()) out.pop_back();
    return out;
}

std::string utf8Of(unsigned char lead, unsigned char trail) {
    KsxChar k = ksxToUtf8(lead, trail);
    return std::string(k.utf8, static_cast<std::size_t>(k.length));
}

TEST(Codec, TwoByteCodesToUtf8) {
    struct Case {
        unsigned char lead, trail;
        const char* utf8;
        char32_t codePoint;
    } cases[] = {
        {0xA1, 0xA4, "C2 B7", 0xB7},        // middle dot
        {0xA1, 0xA1, "E3 80 80", 0x3000},   // ideographic space
        {0xA1, 0xAD, "7E", 0x7E},           // tilde, not U+223C
        {0xA2, 0xA1, "E2 86 92", 0x2192},   // read from A1E6
        {0xA2, 0xA2, "E2 86 94", 0x2194},   // read from A1EA
        {0xA2, 0xE6, "3F", 0x3F},           // unassigned cell: "?"
        {0xA4, 0xD4, "E3 85 A4", 0x3164},   // Hangul filler
        {0xB0, 0xA1, "EA B0 80", 0xAC00},
        {0xC8, 0xFE, "ED 9E 9D", 0xD79D},
        {0xCB, 0xD0, "E2 96 A3", 0},        // duplicate Hanja cell
        {0xCD, 0xE7, "E6 B1 A9", 0x6C69},
        {0xFE, 0xA1, "E4 BB AE", 0x4EEE},   // row 94 converts like A121
        {0xA1, 0x21, "E4 BB AE", 0x4EEE},
        {0xB7, 0x49, "E2 96 A3", 0},        // empty entry, no exception
        {0xB8, 0x93, "E8 B8 81", 0x8E01},   // exception list
        {0x99, 0x61, "E5 B7 99", 0x5DD9},   // beyond the table: exception list only
        {0xFE, 0x6E, "E5 B7 99", 0x5DD9},
        {0xAD, 0xA1, "E2 96 A3", 0},
        {0xC9, 0xA1, "E2 96 A3", 0},
        {0x80, 0xA1, "E2 96 A3", 0},
        {0xB0, 0xFF, "E2 96 A3", 0},        // trail FF is outside every class
        {0xC8, 0xFF, "E2 96 A3", 0},
        {0xFF, 0xA1, "E2 96 A3", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(hex(std::string{static_cast<char>(c.lead), static_cast<char>(c.trail)}));
        EXPECT_EQ(hex(utf8Of(c.lead, c.trail)), c.utf8);
        EXPECT_EQ(ksxToUtf8(c.lead, c.trail).codePoint, c.codePoint);
    }
}

TEST(Codec, ExtendedIndexes) {
    EXPECT_EQ(ksxExtendedIndex(0xCA, 0xA1), 1);
    EXPECT_EQ(ksxExtendedIndex(0xFD, 0xFE), 4888);
    EXPECT_EQ(ksxExtendedIndex(0xA1, 0x21), 4889);
    EXPECT_EQ(ksxExtendedIndex(0xFE, 0xA1), 4889);
    EXPECT_EQ(ksxExtendedIndex(0xFE, 0x2E), 16806);
    EXPECT_EQ(ksxExtendedIndex(0x99, 0x21), 16806);
    EXPECT_EQ(ksxExtendedIndex(0x90, 0xA0), 19877);
    EXPECT_EQ(ksxExtendedIndex(0x88, 0x21), 0);
    EXPECT_EQ(ksxExtendedIndex(0xA1, 0x20), 0);
    EXPECT_EQ(ksxExtendedIndex(0xB0, 0xA1), 0);
}

TEST(Codec, CharactersToAnsi) {
    struct Case {
        char32_t u;
        const char* ansi;
    } cases[] = {
        {0x0000, ""},
        {0x0041, "A"},
        {0x0080, "&#00128;"},
        {0x00B7, "\xA1\xA4"},
        {0x00E9, "&#00233;"},
        {0x3164, "\xA4\xD4"},
        {0x223C, "&#08764;"},
        {0x20AC, "&#08364;"},
        {0x00AE, "&#00174;"},
        {0x21D2, "\xA2\xA1"},
        {0x21D4, "\xA2\xA2"},
        {0xAC00, "\xB0\xA1"},
        {0xB620, "&#46624;"},
        {0xF900, "\xD1\xC2"},  // folds to U+8C48
        {0x6C69, "\xCD\xE7"},
        {0x6C68, "&#27752;"},
        {0xD83D, "&#55357;"},
        {0xFEFF, "&#65279;"},
        {0xFF01, "\xA3\xA1"},
        {0x1F600, "&#128512;"},
    };
    for (const auto& c : cases) {
        char out[maxAnsiChar];
        std::size_t n = unicodeToAnsi(c.u, out);
        EXPECT_EQ(std::string(out, n), c.ansi) << std::hex << static_cast<unsigned>(c.u);
        EXPECT_EQ(out[n], '\0');
    }
}

TEST(Codec, Utf8EncodeAndHexMarkup) {
    char out[4];
    EXPECT_EQ(utf8Encode(0x41, out), 1);
    EXPECT_EQ(utf8Encode(0x7FF, out), 2);
    EXPECT_EQ(utf8Encode(0xFFFF, out), 3);
    EXPECT_EQ(utf8Encode(0x1F600, out), 4);
    EXPECT_EQ(hex(std::string(out, 4)), "F0 9F 98 80");
    EXPECT_EQ(hexMarkupValue("AC00"), 0xAC00);
    EXPECT_EQ(hexMarkupValue("ac0f"), 0xAC0F);
    EXPECT_EQ(hexMarkupValue("12G4"), -1);
}

}  // namespace
