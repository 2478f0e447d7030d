// Character conversions between ANSI text (KS X 1001 and extended Hanja
// codes) and Unicode, on the constant tables of ksx_tables.cpp.
#include <algorithm>
#include <cstdio>

#include "textconv/ksx_tables.h"
#include "textconv/lookup.h"
#include "textconv/textconv.h"

namespace textconv {

namespace {

constexpr int firstExceptionOnlyIndex = 16806;  // beyond the Hanja table: exception list only

// KS X 1001 code of every BMP code point (0 for none), compatibility
// ideographs already folded.  Built once from the reverse table: the same
// answers as searching the range that can hold the code point, in one step.
struct ReverseIndex {
    std::uint16_t code[0x10000] = {};
    ReverseIndex() {
        for (const auto& pair : tables::reverse) code[pair.codePoint] = pair.code;
        for (int i = 0; i < tables::foldEntries; ++i) code[0xF900 + i] = code[tables::folds[i]];
    }
};

struct ForwardIndex {
    Utf8Code code[0x8000] = {};
    ForwardIndex();
};

char32_t hanjaCodePoint(int index) {
    if (index < firstExceptionOnlyIndex) {
        char32_t entry = tables::hanja[index - 1];
        if (entry != 0) return entry;
    }
    const tables::HanjaException* first = tables::hanjaExceptions;
    const tables::HanjaException* last = first + tables::hanjaExceptionCount;
    const auto* found = std::lower_bound(first, last, index,
                                         [](const tables::HanjaException& e, int i) { return e.index < i; });
    return (found != last && found->index == index) ? found->codePoint : 0;
}

}  // namespace

int utf8Encode(char32_t v, char* out) {
    if (v < 0x80) {
        out[0] = static_cast<char>(v);
        return 1;
    }
    if (v < 0x800) {
        out[0] = static_cast<char>(0xC0 | (v >> 6));
        out[1] = static_cast<char>(0x80 | (v & 0x3F));
        return 2;
    }
    if (v < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (v >> 12));
        out[1] = static_cast<char>(0x80 | ((v >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (v & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (v >> 18));
    out[1] = static_cast<char>(0x80 | ((v >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((v >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (v & 0x3F));
    return 4;
}

int ksxExtendedIndex(unsigned char lead, unsigned char trail) {
    if (lead >= 0xCA && lead <= 0xFE && trail >= 0xA1 && trail <= 0xFE) return (lead - 0xCA) * 94 + (trail - 0xA1) + 1;
    if (trail < 0x21 || trail > 0xA0) return 0;
    int column = trail - 0x21;
    if (lead >= 0xA1 && lead <= 0xFE) return 4889 + (lead - 0xA1) * 128 + column;
    if (lead >= 0x99 && lead <= 0xA0) return 16806 + (lead - 0x99) * 128 + column;
    if (lead >= 0x91 && lead <= 0x98) return 17830 + (lead - 0x91) * 128 + column;
    if (lead >= 0x89 && lead <= 0x90) return 18854 + (lead - 0x89) * 128 + column;
    return 0;
}

KsxChar ksxToUtf8(unsigned char lead, unsigned char trail) {
    char32_t codePoint = 0;
    if (trail == 0xFF) {
        // Outside every code class.
    } else if (lead >= 0xA1 && lead <= 0xC8 && trail >= 0xA1) {
        int column = trail - 0xA1;
        if (lead >= 0xB0) {
            codePoint = tables::hangul[(lead - 0xB0) * 94 + column];
        } else if (lead <= 0xAC) {
            int cell = (lead - 0xA1) * 94 + column;
            if (cell == 94) cell = 69;       // A2A1 reads the arrow of A1E6
            else if (cell == 95) cell = 73;  // A2A2 reads the arrow of A1EA
            codePoint = tables::symbols[cell];
        }
    } else if (int index = ksxExtendedIndex(lead, trail); index != 0) {
        codePoint = hanjaCodePoint(index);
    }
    KsxChar result{};
    result.codePoint = codePoint;
    result.length = utf8Encode(codePoint != 0 ? codePoint : unmappedMarker, result.utf8);
    return result;
}

std::size_t unicodeToAnsi(char32_t u, char* out) {
    if (u < 0x80) {
        out[0] = static_cast<char>(u);
        out[u == 0 ? 0 : 1] = '\0';
        return u == 0 ? 0 : 1;
    }
    if (u >= 0xF900 && u <= 0xFA0B) u = tables::folds[u - 0xF900];
    if (u < 0x10000) {
        if (std::uint16_t code = ksxCodes()[u]; code != 0) {
            out[0] = static_cast<char>(code >> 8);
            out[1] = static_cast<char>(code & 0xFF);
            out[2] = '\0';
            return 2;
        }
    }
    int n = std::snprintf(out, maxAnsiChar, "&#%05u;", static_cast<unsigned>(u));
    return static_cast<std::size_t>(n);
}

namespace {

ForwardIndex::ForwardIndex() {
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0x21; trail <= 0xFF; ++trail) {
            KsxChar k = ksxToUtf8(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
            Utf8Code& entry = code[(lead - 0x80) << 8 | trail];
            std::copy(k.utf8, k.utf8 + k.length, entry.bytes);
            entry.length = static_cast<std::uint8_t>(k.length);
        }
    }
}

}  // namespace

const Utf8Code* utf8Codes() {
    static const ForwardIndex index;
    return index.code;
}

const std::uint16_t* ksxCodes() {
    static const ReverseIndex index;
    return index.code;
}

int hexMarkupValue(const char* four) {
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        char c = four[i];
        int digit = (c >= '0' && c <= '9')   ? c - '0'
                    : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                    : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                                             : -1;
        if (digit < 0) return -1;
        value = value * 16 + digit;
    }
    return value;
}

}  // namespace textconv
