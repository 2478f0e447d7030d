// The markup that the output conversion turns into characters: numeric
// character references ("&#" and decimal digits, with or without a closing
// ";") and hex markup ("U+" and four hexadecimal digits).
#pragma once

#include <cstddef>
#include <string_view>

namespace textconv {

// Code points beyond this are not characters; references to them are clamped here.
inline constexpr char32_t maxCodePoint = 0x10FFFF;

struct Markup {
    std::size_t length = 0;  // bytes of the markup, 0 when there is none at pos
    char32_t value = 0;      // the number it names (clamped to maxCodePoint + 1)
};

// The markup that begins at text[pos], if any.
Markup markupAt(std::string_view text, std::size_t pos);

// The character the output conversion writes for a named value: the value
// itself, or U+FFFD for 0, a surrogate or a value beyond U+10FFFF.
inline char32_t markupCharacter(char32_t value) {
    if (value == 0 || (value >= 0xD800 && value <= 0xDFFF) || value > maxCodePoint) return 0xFFFD;
    return value;
}

}  // namespace textconv
