// Output conversion on any bytes: convertOutputFile gives the byte-order
// mark and exactly what ansiToUtf8 makes of the text read in text mode, with
// CR LF line ends, also when a two-byte code, a markup or a CR LF straddles
// the conversion's blocks; and ansiToUtf8 always gives valid UTF-8.
#include <cstdint>
#include <string>

#include "fuzz/common.h"
#include "textconv/textconv.h"

namespace {

// Valid UTF-8 without surrogates and without anything beyond U+10FFFF.
bool validUtf8(const std::string& s, std::string* where) {
    std::size_t i = 0, n = s.size();
    while (i < n) {
        auto b = static_cast<unsigned char>(s[i]);
        std::size_t more;
        char32_t v;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            more = 1, v = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            more = 2, v = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            more = 3, v = b & 0x07;
        } else {
            *where = "byte " + std::to_string(i);
            return false;
        }
        if (i + more >= n) {
            *where = "truncated at " + std::to_string(i);
            return false;
        }
        for (std::size_t k = 1; k <= more; ++k) {
            auto c = static_cast<unsigned char>(s[i + k]);
            if ((c & 0xC0) != 0x80) {
                *where = "continuation at " + std::to_string(i + k);
                return false;
            }
            v = v << 6 | (c & 0x3F);
        }
        char32_t least = more == 1 ? 0x80 : more == 2 ? 0x800 : 0x10000;
        if (v < least || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
            *where = "value at " + std::to_string(i);
            return false;
        }
        i += more + 1;
    }
    return true;
}

// Text mode reading: a CR right before a LF is dropped.
std::string textMode(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out += s[i];
    return out;
}

// Text mode writing: every LF becomes CR LF.
std::string crlf(const std::string& s) {
    std::string out;
    out.reserve(s.size() + s.size() / 2);
    for (char c : s) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

void convertAndCompare(const fuzz::Folder& dir, const std::string& text) {
    const std::string scratch = dir / "out.tmp";
    const std::string output = dir / "out.xml";
    fuzz::writeFile(scratch, text);
    std::string failure;
    FUZZ_CHECK(textconv::convertOutputFile(scratch.c_str(), output.c_str(), &failure) == 0,
               "conversion failed: " + failure);
    const std::string expected = "\xEF\xBB\xBF" + crlf(textconv::ansiToUtf8(textMode(text)));
    FUZZ_CHECK(fuzz::readFile(output) == expected,
               "the converted file differs from ansiToUtf8 (" + std::to_string(text.size()) + " bytes)");
    FUZZ_CHECK(fuzz::readFile(scratch) == text, "the scratch file changed");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::muteStdout();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string utf8 = textconv::ansiToUtf8(input);
    std::string where;
    FUZZ_CHECK(validUtf8(utf8, &where), "ansiToUtf8 gave invalid UTF-8: " + where);

    fuzz::Folder dir;
    convertAndCompare(dir, input);
    // The same text placed across the boundary of the conversion's 64 KiB
    // blocks, at an offset the input chooses (for one input in four: the
    // long text makes a run slow).
    if (size > 0 && data[0] % 4 == 0) {
        std::size_t before = 65536 - 1 - data[0] / 4 % 24;
        convertAndCompare(dir, std::string(before, 'a') + input);
    }
    return 0;
}
