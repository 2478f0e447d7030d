// Numbers as list files write them: decimal, with an optional sign, fraction
// and exponent; never hexadecimal, inf or nan.  Every reader and writer that
// takes a number from a text uses these, so all read the same numbers.
#pragma once

#include <cstddef>
#include <string_view>

namespace textconv {

// Length of the decimal number that text begins with: an optional sign,
// digits with an optional decimal point (at least one digit on either side
// of it), then an exponent when digits follow its letter.  0 when none.
std::size_t decimalNumberLength(std::string_view text);

// Length of the integer that text begins with: an optional sign and digits.
// 0 when none.
std::size_t integerLength(std::string_view text);

// The value of an integer text (see integerLength), clamped to
// [minimum, maximum]; clamped tells whether it had to be.
long long integerValue(std::string_view integer, long long minimum, long long maximum, bool* clamped = nullptr);

// The value of a decimal number text (see decimalNumberLength), clamped to
// [-limit, limit].
double decimalValue(std::string_view number, double limit);

}  // namespace textconv
