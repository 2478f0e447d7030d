// Constant KS X 1001 code tables.  The data is in ksx_tables.cpp, generated
// by tools/make_ksx_tables.py; see there for its sources.
#pragma once

#include <cstdint>

namespace textconv::tables {

// Symbol rows 1-12 (lead A1-AC, trail A1-FE): cell (L-A1)*94 + (T-A1).
inline constexpr int symbolCells = 1128;
extern const std::uint16_t symbols[symbolCells];

// Hangul rows 16-40 (lead B0-C8, trail A1-FE): cell (L-B0)*94 + (T-A1).
inline constexpr int hangulCells = 2350;
extern const std::uint16_t hangul[hangulCells];

// Hanja table, indexes 1-16805 (five segments, stored one after the other):
// hanja[index - 1]; 0 means no character.
inline constexpr int hanjaEntries = 16805;
extern const std::uint16_t hanja[hanjaEntries];

// Exception list: (Hanja-table index, code point), ascending by index.
struct HanjaException {
    std::uint16_t index;
    std::uint16_t codePoint;
};
extern const int hanjaExceptionCount;
extern const HanjaException hanjaExceptions[];

// Reverse table: (code point, KS X 1001 code), ascending by code point.
struct ReversePair {
    std::uint16_t codePoint;
    std::uint16_t code;
};
inline constexpr int reversePairs = 7955;
extern const ReversePair reverse[reversePairs];

// Compatibility ideographs U+F900-U+FA0B: the unified ideograph to look up.
inline constexpr int foldEntries = 268;
extern const std::uint16_t folds[foldEntries];

}  // namespace textconv::tables
