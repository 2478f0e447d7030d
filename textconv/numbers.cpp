#include "textconv/numbers.h"

#include <cstdlib>
#include <string>

namespace textconv {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::size_t digitsFrom(std::string_view text, std::size_t i) {
    while (i < text.size() && isDigit(text[i])) ++i;
    return i;
}

std::size_t signLength(std::string_view text) { return !text.empty() && (text[0] == '+' || text[0] == '-') ? 1 : 0; }

}  // namespace

std::size_t decimalNumberLength(std::string_view text) {
    const std::size_t sign = signLength(text);
    std::size_t end = digitsFrom(text, sign);
    bool digits = end > sign;
    if (end < text.size() && text[end] == '.') {
        std::size_t fraction = digitsFrom(text, end + 1);
        digits = digits || fraction > end + 1;
        end = fraction;
    }
    if (!digits) return 0;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t k = end + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-')) ++k;
        std::size_t exponent = digitsFrom(text, k);
        if (exponent > k) end = exponent;
    }
    return end;
}

std::size_t integerLength(std::string_view text) {
    const std::size_t sign = signLength(text);
    const std::size_t end = digitsFrom(text, sign);
    return end > sign ? end : 0;
}

long long integerValue(std::string_view integer, long long minimum, long long maximum, bool* clamped) {
    const std::size_t sign = signLength(integer);
    const bool negative = sign == 1 && integer[0] == '-';
    // Saturate far beyond any range asked for, then clamp.
    long long value = 0;
    for (std::size_t i = sign; i < integer.size() && isDigit(integer[i]); ++i)
        if (value < (1LL << 50)) value = value * 10 + (integer[i] - '0');
    if (negative) value = -value;
    bool outside = value < minimum || value > maximum;
    if (clamped) *clamped = outside;
    return value < minimum ? minimum : value > maximum ? maximum : value;
}

double decimalValue(std::string_view number, double limit) {
    // A plain decimal number: strtod reads it the same way in the "C" locale
    // the programs keep.
    double value = std::strtod(std::string(number).c_str(), nullptr);
    if (!(value <= limit)) value = limit;  // also HUGE_VAL
    if (value < -limit) value = -limit;
    return value;
}

}  // namespace textconv
