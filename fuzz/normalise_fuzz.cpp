// List normalisation on any bytes, and the round trip of text through the
// ANSI stage.
//
// 1. The input as a list file, whatever its byte-order mark says: the list
//    stays as it was, and the scratch list holds exactly what a reference
//    decoder written here makes of the bytes (UTF-8 as the library reads it,
//    UTF-16 in both byte orders).
// 2. The characters of the input (read as strict UTF-8, without NUL, CR and
//    the markup characters '&' and 'U') saved as UTF-8 with byte-order mark,
//    UTF-16 LE and UTF-16 BE: each list, normalised and converted back, gives
//    the same characters, apart from the folds of the code tables.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz/common.h"
#include "textconv/textconv.h"

namespace {

using textconv::replacementCharacter;

bool isSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

std::string ansiOf(char32_t u) {
    char buffer[textconv::maxAnsiChar];
    std::size_t n = textconv::unicodeToAnsi(u, buffer);
    return std::string(buffer, n);
}

// UTF-8 the way the list normalisation reads it: the bytes after a first
// byte count as continuation bytes unchecked, overlong forms are accepted,
// a stray continuation byte stands for U+0080-U+00BF, a four-byte sequence
// keeps its code point, a surrogate, a value beyond U+10FFFF and a first
// byte F8-FF give U+FFFD, and an incomplete sequence at the end is dropped.
std::vector<char32_t> decodeUtf8AsList(const unsigned char* p, std::size_t n) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        if (b < 0xC0) {
            out.push_back(b);
            ++i;
            continue;
        }
        if (b >= 0xF8) {
            out.push_back(replacementCharacter);
            ++i;
            continue;
        }
        std::size_t more = b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        if (i + more >= n) break;  // incomplete at the end
        long v = 0;
        for (std::size_t k = 1; k <= more; ++k) v = v * 64 + (static_cast<long>(p[i + k]) - 0x80);
        long lead = more == 1 ? 0xC0 : more == 2 ? 0xE0 : 0xF0;
        v += (static_cast<long>(b) - lead) << (6 * more);
        char32_t u;
        if (more == 3 && v >= 0x10000 && v <= 0x10FFFF) {
            u = static_cast<char32_t>(v);
        } else if (more == 3 && (v < 0 || v > 0x10FFFF)) {
            u = replacementCharacter;
        } else {
            u = static_cast<char32_t>(static_cast<unsigned long>(v) & 0xFFFF);
            if (isSurrogate(u)) u = replacementCharacter;
        }
        out.push_back(u);
        i += more + 1;
    }
    return out;
}

std::vector<char32_t> decodeUtf16AsList(const unsigned char* p, std::size_t n, bool bigEndian) {
    std::vector<char32_t> out;
    char32_t high = 0;
    for (std::size_t i = 0; i + 1 < n; i += 2) {
        char32_t unit = bigEndian ? (char32_t{p[i]} << 8 | p[i + 1]) : (char32_t{p[i + 1]} << 8 | p[i]);
        if (high) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                out.push_back(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                high = 0;
                continue;
            }
            out.push_back(replacementCharacter);
            high = 0;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) high = unit;
        else out.push_back(isSurrogate(unit) ? replacementCharacter : unit);
    }
    if (high) out.push_back(replacementCharacter);
    return out;
}

std::string ansiOfAll(const std::vector<char32_t>& chars) {
    std::string out;
    for (char32_t u : chars) out += ansiOf(u);
    return out;
}

std::string utf8Of(char32_t u) {
    char buffer[4];
    return std::string(buffer, static_cast<std::size_t>(textconv::utf8Encode(u, buffer)));
}

// Strict UTF-8, invalid bytes skipped.
std::vector<char32_t> decodeStrict(const unsigned char* p, std::size_t n) {
    std::vector<char32_t> out;
    std::size_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        std::size_t more;
        char32_t v;
        if (b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            more = 1, v = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2, v = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3, v = b & 0x07;
        } else {
            ++i;
            continue;
        }
        if (i + more >= n) {
            ++i;
            continue;
        }
        bool ok = true;
        for (std::size_t k = 1; k <= more; ++k) {
            if ((p[i + k] & 0xC0) != 0x80) ok = false;
            v = v << 6 | (p[i + k] & 0x3F);
        }
        char32_t least = more == 1 ? 0x80 : more == 2 ? 0x800 : 0x10000;
        if (!ok || v < least || v > 0x10FFFF || isSurrogate(v)) {
            ++i;
            continue;
        }
        out.push_back(v);
        i += more + 1;
    }
    return out;
}

void appendUtf16(std::string& out, char32_t u, bool bigEndian) {
    auto unit = [&](unsigned v) {
        char hi = static_cast<char>(v >> 8), lo = static_cast<char>(v & 0xFF);
        if (bigEndian) out += hi, out += lo;
        else out += lo, out += hi;
    };
    if (u >= 0x10000) {
        unit(0xD800 + ((u - 0x10000) >> 10));
        unit(0xDC00 + ((u - 0x10000) & 0x3FF));
    } else {
        unit(static_cast<unsigned>(u));
    }
}

// The character that comes back for u after the ANSI stage: u itself, or the
// character of the KS X 1001 code that u folds into.
std::string expectedBack(char32_t u) {
    if (u < 0x80) return u == '\n' ? std::string("\r\n") : std::string(1, static_cast<char>(u));
    std::string ansi = ansiOf(u);
    auto lead = static_cast<unsigned char>(ansi[0]);
    if (lead >= 0x80) {
        FUZZ_CHECK(ansi.size() == 2, "a character became more than one code: U+" + std::to_string(u));
        textconv::KsxChar k = textconv::ksxToUtf8(lead, static_cast<unsigned char>(ansi[1]));
        FUZZ_CHECK(k.codePoint != 0, "a character folds into a code without character: " + std::to_string(u));
        return std::string(k.utf8, static_cast<std::size_t>(k.length));
    }
    char reference[16];
    std::snprintf(reference, sizeof reference, "&#%05u;", static_cast<unsigned>(u));
    FUZZ_CHECK(ansi == reference, "a character outside the code tables is not its numeric reference: " + ansi);
    return utf8Of(u);
}

void roundTrip(const fuzz::Folder& dir, const std::vector<char32_t>& chars, int form) {
    static const char* const names[] = {"utf8.lst", "utf16le.lst", "utf16be.lst"};
    std::string list = form == 0 ? "\xEF\xBB\xBF" : form == 1 ? "\xFF\xFE" : "\xFE\xFF";
    std::string expected = "\xEF\xBB\xBF";
    for (char32_t u : chars) {
        if (form == 0) list += utf8Of(u);
        else appendUtf16(list, u, form == 2);
        expected += expectedBack(u);
    }
    const std::string listPath = dir / names[form];
    const std::string scratchPath = dir / "round.asc";
    const std::string outputPath = dir / "round.txt";
    fuzz::writeFile(listPath, list);
    int encoding = textconv::normaliseListFile(listPath.c_str(), scratchPath.c_str());
    FUZZ_CHECK(encoding == (form == 0 ? 1 : form == 1 ? 3 : 2), "wrong encoding " + std::to_string(encoding));
    FUZZ_CHECK(textconv::convertOutputFile(scratchPath.c_str(), outputPath.c_str()) == 0, "conversion failed");
    std::string back = fuzz::readFile(outputPath);
    FUZZ_CHECK(back == expected, std::string("round trip through ") + names[form] + " changed the text");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::muteStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Folder dir;
    const std::string input(reinterpret_cast<const char*>(data), size);

    // 1. Any bytes as a list file.
    const std::string listPath = dir / "any.lst";
    const std::string scratchPath = dir / "any.asc";
    fuzz::writeFile(listPath, input);
    std::string failure;
    int encoding = textconv::normaliseListFile(listPath.c_str(), scratchPath.c_str(), &failure);
    FUZZ_CHECK(encoding >= 0 && encoding <= 3, "normalisation failed: " + failure);
    FUZZ_CHECK(fuzz::readFile(listPath) == input, "the list file changed");
    const bool utf8 = size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0;
    const bool be = size >= 2 && data[0] == 0xFE && data[1] == 0xFF;
    const bool le = size >= 2 && data[0] == 0xFF && data[1] == 0xFE;
    const int told = utf8 ? 1 : be ? 2 : le ? 3 : 0;
    FUZZ_CHECK(encoding == told, "encoding " + std::to_string(encoding) + " for a mark of " + std::to_string(told));
    if (encoding == 0) {
        FUZZ_CHECK(!fuzz::exists(scratchPath), "a scratch list was written for an ANSI list");
    } else {
        std::vector<char32_t> chars = encoding == 1 ? decodeUtf8AsList(data + 3, size - 3)
                                                    : decodeUtf16AsList(data + 2, size - 2, encoding == 2);
        FUZZ_CHECK(fuzz::readFile(scratchPath) == ansiOfAll(chars), "the scratch list differs from the reference");
        if (encoding == 1)
            FUZZ_CHECK(textconv::utf8ToAnsi(input.substr(3)) == ansiOfAll(chars), "utf8ToAnsi differs");
    }

    // 1b. For one input in four with a byte-order mark: the same text after
    // nearly 64 KiB of ASCII, so that the normaliser's reading blocks end
    // inside it, at an offset the input chooses.
    if (encoding > 0 && data[size - 1] % 4 == 0) {
        const std::size_t mark = encoding == 1 ? 3 : 2;
        const std::size_t units = (65536 - data[size - 1] / 4 % 24) / (encoding == 1 ? 1 : 2);
        std::string padded = input.substr(0, mark);
        for (std::size_t k = 0; k < units; ++k) {
            if (encoding == 1) padded += 'a';
            else if (encoding == 2) padded += std::string("\0a", 2);
            else padded += std::string("a\0", 2);
        }
        padded += input.substr(mark);
        fuzz::writeFile(listPath, padded);
        FUZZ_CHECK(textconv::normaliseListFile(listPath.c_str(), scratchPath.c_str()) == encoding, "padded list");
        std::vector<char32_t> chars = encoding == 1 ? decodeUtf8AsList(data + 3, size - 3)
                                                    : decodeUtf16AsList(data + 2, size - 2, encoding == 2);
        FUZZ_CHECK(fuzz::readFile(scratchPath) == std::string(units, 'a') + ansiOfAll(chars),
                   "the scratch list of the padded list differs from the reference");
    }

    // 2. The round trip of the input's characters.
    std::vector<char32_t> chars = decodeStrict(data, size);
    std::vector<char32_t> kept;
    for (char32_t u : chars) {
        if (u == 0 || u == '\r') continue;
        if (u == '&') u = '%';  // no markup: "&#65;" or "U+0041" would be converted on the way back
        if (u == 'U') u = 'u';
        kept.push_back(u);
    }
    for (int form = 0; form < 3; ++form) roundTrip(dir, kept, form);
    return 0;
}
