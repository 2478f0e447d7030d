// Direct lookup tables built once from the constant code tables, for the
// conversions of whole files.  They give the same answers as ksxToUtf8 and
// unicodeToAnsi, in one step per character.
#pragma once

#include <cstdint>

namespace textconv {

// UTF-8 of every two-byte code with a trail byte from 21 up:
// utf8Codes()[(lead - 0x80) << 8 | trail].
struct Utf8Code {
    char bytes[3];
    std::uint8_t length;
};
const Utf8Code* utf8Codes();

// KS X 1001 code of every BMP code point (0 for none), compatibility
// ideographs folded: ksxCodes()[u].
const std::uint16_t* ksxCodes();

}  // namespace textconv
