// Dumps the character conversions over their whole domain, through the
// public interface only, for ksx_oracle.py to hold against its own expected
// results:
//   K LLTT <UTF-8 bytes in hex> <code point in hex> <Hanja-table index>
//                                                     every lead 80-FE, trail 21-FE
//   U <code point in hex> <ANSI bytes in hex, "-" when empty>
//                                                     U+0000-U+FFFF and a few beyond
// A result that breaks the interface's promises (a length out of range, an
// unterminated ANSI text) is dumped as "BAD ..." so that the comparison fails.
#include <cstdio>
#include <cstring>

#include "textconv/textconv.h"

namespace {

void hex(const char* bytes, std::size_t length) {
    if (length == 0) std::fputs("-", stdout);
    for (std::size_t i = 0; i < length; ++i) std::printf("%02X", static_cast<unsigned char>(bytes[i]));
}

void dumpAnsi(char32_t u) {
    char out[textconv::maxAnsiChar + 4];
    std::memset(out, 0x55, sizeof out);
    std::size_t length = textconv::unicodeToAnsi(u, out);
    if (length >= textconv::maxAnsiChar || out[length] != '\0' || std::strlen(out) != length) {
        std::printf("BAD U %04X length %zu\n", static_cast<unsigned>(u), length);
        return;
    }
    std::printf("U %04X ", static_cast<unsigned>(u));
    hex(out, length);
    std::fputs("\n", stdout);
}

}  // namespace

int main() {
    for (int lead = 0x80; lead <= 0xFE; ++lead) {
        for (int trail = 0x21; trail <= 0xFE; ++trail) {
            textconv::KsxChar c = textconv::ksxToUtf8(static_cast<unsigned char>(lead),
                                                     static_cast<unsigned char>(trail));
            if (c.length < 1 || c.length > 4) {
                std::printf("BAD K %02X%02X length %d\n", lead, trail, c.length);
                continue;
            }
            std::printf("K %02X%02X ", lead, trail);
            hex(c.utf8, static_cast<std::size_t>(c.length));
            std::printf(" %X %d\n", static_cast<unsigned>(c.codePoint),
                        textconv::ksxExtendedIndex(static_cast<unsigned char>(lead),
                                                   static_cast<unsigned char>(trail)));
        }
    }
    for (char32_t u = 0; u <= 0xFFFF; ++u) dumpAnsi(u);
    for (char32_t u : {0x10000, 0x1F600, 0x10FFFF}) dumpAnsi(u);
    return std::fflush(stdout) == 0 ? 0 : 1;
}
