// Escaping of texts for the contexts the templates put them in.
//
// A text is first cut into units the way the output conversion will read
// it: a two-byte code (lead byte 80 or above and a trail byte from 21 up),
// a lone lead byte (the conversion writes the unmapped marker for it), a
// markup (numeric reference or hex markup, which the conversion turns into
// the character it names) or a single ASCII byte.  Each context then decides
// per unit, knowing which character the unit will become in the output.
// Escapes are only ever inserted between units, never inside a two-byte
// code or a markup, so a text without special characters comes back as it
// was.
#include "textconv/escape.h"

#include <cstddef>
#include <vector>

#include "textconv/markup.h"
#include "textconv/numbers.h"

namespace textconv {

namespace {

// Written for a lone lead byte: the unmapped marker U+25A3 as a reference,
// which never swallows the byte after it.
constexpr std::string_view loneLeadText = "&#09635;";
// Written for a character that XML does not allow: U+FFFD.
constexpr std::string_view replacementText = "&#65533;";

enum class Kind { ascii, pair, loneLead, markup };

struct Unit {
    Kind kind;
    std::size_t pos;
    std::size_t length;
    char32_t ch;  // the character the output conversion writes (ascii, markup)
};

std::vector<Unit> splitUnits(std::string_view text) {
    std::vector<Unit> units;
    units.reserve(text.size());
    std::size_t i = 0, n = text.size();
    while (i < n) {
        auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            if (i + 1 < n && static_cast<unsigned char>(text[i + 1]) >= 0x21) {
                units.push_back({Kind::pair, i, 2, 0});
                i += 2;
            } else {
                units.push_back({Kind::loneLead, i, 1, 0});
                i += 1;
            }
            continue;
        }
        if (c == '&' || c == 'U') {
            Markup m = markupAt(text, i);
            if (m.length > 0) {
                units.push_back({Kind::markup, i, m.length, markupCharacter(m.value)});
                i += m.length;
                continue;
            }
        }
        units.push_back({Kind::ascii, i, 1, c});
        i += 1;
    }
    return units;
}

std::string_view bytesOf(std::string_view text, const Unit& u) { return text.substr(u.pos, u.length); }

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(unsigned char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }
int hexValue(unsigned char c) {
    if (isDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return c - 'A' + 10;
}

// ---- XML -----------------------------------------------------------------

// A character that XML 1.0 does not allow in a document.
bool notXmlCharacter(char32_t c) {
    if (c < 0x20) return c != '\t' && c != '\n' && c != '\r';
    return c == 0xFFFE || c == 0xFFFF;
}

bool validXmlCharacter(char32_t c) {
    return !notXmlCharacter(c) && !(c >= 0xD800 && c <= 0xDFFF) && c <= maxCodePoint;
}

// The named entity for a character that must not stand bare, or empty.
std::string_view namedEntity(char32_t c) {
    switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&apos;";
    default: return {};
    }
}

// Length of the XML reference at text[pos] ('&') that may stay as it is: one
// of the five predefined entities, or "&#x" hex digits ";" naming a valid
// character (the output conversion leaves "&#x" alone).  0 when none.
std::size_t keptXmlReference(std::string_view text, std::size_t pos) {
    std::string_view rest = text.substr(pos);
    for (std::string_view entity : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
        if (rest.starts_with(entity)) return entity.size();
    if (!rest.starts_with("&#x")) return 0;
    std::size_t i = 3;
    char32_t value = 0;
    while (i < rest.size() && isHexDigit(static_cast<unsigned char>(rest[i]))) {
        value = value * 16 + static_cast<char32_t>(hexValue(static_cast<unsigned char>(rest[i])));
        if (value > maxCodePoint) value = maxCodePoint + 1;
        ++i;
    }
    if (i == 3 || i >= rest.size() || rest[i] != ';' || !validXmlCharacter(value)) return 0;
    return i + 1;
}

std::string xmlEscape(std::string_view text, bool attribute) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (const Unit& u : splitUnits(text)) {
        switch (u.kind) {
        case Kind::pair:
            out.append(bytesOf(text, u));
            break;
        case Kind::loneLead:
            out.append(loneLeadText);
            break;
        case Kind::markup:
            if (auto entity = namedEntity(u.ch); !entity.empty())
                out.append(entity);
            else if (notXmlCharacter(u.ch))
                out.append(replacementText);
            else
                out.append(bytesOf(text, u));
            break;
        case Kind::ascii:
            if (u.ch == '&') {
                std::size_t kept = keptXmlReference(text, u.pos);
                // The kept reference is plain ASCII without markup of the
                // conversion, so its bytes are copied here and the units
                // they form are copied unchanged as well.
                out.append(kept > 0 ? "&" : "&amp;");
            } else if (u.ch == '<') {
                out.append("&lt;");
            } else if (u.ch == '>') {
                out.append("&gt;");
            } else if (u.ch == '"' && attribute) {
                out.append("&quot;");
            } else if (notXmlCharacter(u.ch)) {
                out.append(replacementText);
            } else {
                out.push_back(static_cast<char>(u.ch));
            }
            break;
        }
    }
    return out;
}

// ---- JavaScript ------------------------------------------------------------

// The ASCII character a unit becomes in the output, or 0 for anything else.
// A user backslash counts as itself: it is always written, kept or doubled.
char asciiOf(const Unit& u) {
    if ((u.kind == Kind::ascii || u.kind == Kind::markup) && u.ch > 0 && u.ch < 0x80)
        return static_cast<char>(u.ch);
    return 0;
}

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the units from `from` on become `word` (letters in any case).
bool spells(const std::vector<Unit>& units, std::size_t from, std::string_view word) {
    if (units.size() - from < word.size()) return false;
    for (std::size_t k = 0; k < word.size(); ++k)
        if (lower(asciiOf(units[from + k])) != word[k]) return false;
    return true;
}

// Characters of the conversion's markup syntax.  A markup naming one of them
// keeps its markup: written bare it could join its neighbours into new
// markup ("&#38;#65;" must not become "&#65;"), or a ";" could close a
// reference before it ("&#65&#59;" must not become "&#65;").
bool markupSyntax(char c) {
    return c == '&' || c == '#' || c == '+' || c == ';' || c == 'U' || isHexDigit(static_cast<unsigned char>(c));
}

// Length of the escape that a user backslash at units[i] begins, counted in
// units including the backslash, or 0 when the backslash begins no escape
// that may stay (it is then doubled).
std::size_t userEscapeLength(const std::vector<Unit>& units, std::size_t i) {
    if (i + 1 >= units.size()) return 0;  // a lone trailing backslash
    const Unit& next = units[i + 1];
    if (next.kind == Kind::pair) return 2;  // stands for the character itself
    if (next.kind != Kind::ascii) return 0;  // markup or a lone lead byte
    char c = static_cast<char>(next.ch);
    auto rawHexAt = [&](std::size_t k) {
        return k < units.size() && units[k].kind == Kind::ascii &&
               isHexDigit(static_cast<unsigned char>(units[k].ch));
    };
    if (c == 'x') return rawHexAt(i + 2) && rawHexAt(i + 3) ? 4 : 0;
    if (c == 'u') {
        if (rawHexAt(i + 2) && rawHexAt(i + 3) && rawHexAt(i + 4) && rawHexAt(i + 5)) return 6;
        if (i + 2 < units.size() && units[i + 2].kind == Kind::ascii && units[i + 2].ch == '{') {
            std::size_t k = i + 3;
            char32_t value = 0;
            while (rawHexAt(k)) {
                value = value * 16 + static_cast<char32_t>(hexValue(static_cast<unsigned char>(units[k].ch)));
                if (value > maxCodePoint) value = maxCodePoint + 1;
                ++k;
            }
            if (k > i + 3 && k < units.size() && units[k].kind == Kind::ascii && units[k].ch == '}' &&
                value <= maxCodePoint)
                return k - i + 1;
        }
        return 0;
    }
    if (c < 0x20 || c > 0x7E) return 0;  // control: a line continuation or worse
    if (c == '&' || c == 'U') return 0;
    // Digits: "\1" to "\9" and "\0" before a digit are octal or forbidden in
    // strict code; "\0" alone is the standard escape for U+0000.
    if (c >= '1' && c <= '9') return 0;
    if (c == '0') {
        char after = i + 2 < units.size() ? asciiOf(units[i + 2]) : 0;
        if (isDigit(static_cast<unsigned char>(after))) return 0;
    }
    return 2;
}

void appendHexEscape(std::string& out, unsigned char c) {
    static constexpr char hex[] = "0123456789ABCDEF";
    out.append("\\x");
    out.push_back(hex[c >> 4]);
    out.push_back(hex[c & 15]);
}

}  // namespace

std::string xmlText(std::string_view ansi) { return xmlEscape(ansi, false); }

std::string xmlAttr(std::string_view ansi) { return xmlEscape(ansi, true); }

std::string xmlCdata(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + 16);
    int brackets = 0;  // "]" characters just written, markup included
    for (const Unit& u : splitUnits(ansi)) {
        if (u.kind == Kind::pair) {
            out.append(bytesOf(ansi, u));
            brackets = 0;
        } else if (u.kind == Kind::loneLead) {
            out.append(loneLeadText);
            brackets = 0;
        } else if (notXmlCharacter(u.ch)) {
            out.append(replacementText);
            brackets = 0;
        } else {
            // "]]>" would end the section: close it before the ">" and open
            // a new one, so "]]>" becomes "]]]]><![CDATA[>".
            if (u.ch == '>' && brackets >= 2) out.append("]]><![CDATA[");
            out.append(bytesOf(ansi, u));
            brackets = u.ch == ']' ? brackets + 1 : 0;
        }
    }
    return out;
}

std::string jsString(std::string_view ansi, char quote) {
    std::vector<Unit> units = splitUnits(ansi);
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 8 + 4);
    char previous = 0;  // the last ASCII character of the output, as the HTML parser sees it
    std::size_t i = 0;
    while (i < units.size()) {
        const Unit& u = units[i];
        if (u.kind == Kind::pair) {
            out.append(bytesOf(ansi, u));
            previous = 0;
            ++i;
            continue;
        }
        if (u.kind == Kind::loneLead) {
            out.append(loneLeadText);
            previous = 0;
            ++i;
            continue;
        }
        if (u.kind == Kind::markup && u.ch >= 0x80) {
            out.append(bytesOf(ansi, u));
            previous = 0;
            ++i;
            continue;
        }
        char c = static_cast<char>(u.ch);
        if (u.kind == Kind::ascii && c == '\\') {
            // A backslash the user wrote: kept when it begins a valid escape,
            // otherwise doubled so that the value holds it.
            std::size_t length = userEscapeLength(units, i);
            if (length == 0) {
                out.append("\\\\");
                previous = '\\';
                ++i;
            } else {
                for (std::size_t k = i; k < i + length; ++k) out.append(bytesOf(ansi, units[k]));
                const Unit& last = units[i + length - 1];
                previous = last.kind == Kind::ascii ? static_cast<char>(last.ch) : 0;
                i += length;
            }
            continue;
        }
        // An ASCII character, written or named by markup.
        if (c == quote || c == '\\') {
            out.push_back('\\');
            out.push_back(c);
        } else if (c == '\n') {
            out.append("\\n");
        } else if (c == '\r') {
            out.append("\\r");
        } else if (c == '\t') {
            out.append("\\t");
        } else if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            appendHexEscape(out, static_cast<unsigned char>(c));
        } else if (previous == '<' && ((c == '/' && spells(units, i + 1, "script")) ||
                                       (c == '!' && spells(units, i + 1, "--")))) {
            // "</script" would end the script element and "<!--" would
            // change how the HTML parser looks for its end.
            out.push_back('\\');
            out.push_back(c);
        } else if (u.kind == Kind::markup && markupSyntax(c)) {
            out.append(bytesOf(ansi, u));
        } else {
            out.push_back(c);
        }
        previous = c;
        ++i;
    }
    return out;
}

std::string jsNumber(std::string_view ansi, bool& ok) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t begin = 0;
    while (begin < ansi.size() && isBlank(ansi[begin])) ++begin;
    std::string_view text = ansi.substr(begin);

    // The longest prefix of text that is a decimal number; JavaScript reads
    // every such number the same way.
    const std::size_t n = text.size();
    const std::size_t signEnd = n > 0 && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    std::size_t intEnd = signEnd;
    while (intEnd < n && isDigit(static_cast<unsigned char>(text[intEnd]))) ++intEnd;
    const std::size_t valid = decimalNumberLength(text);
    if (valid == 0) {
        ok = false;
        return "0";
    }
    std::size_t rest = valid;
    while (rest < n && isBlank(text[rest])) ++rest;
    ok = rest == n;

    // A leading zero before another digit makes "037" an octal literal (an
    // error in strict code): such zeros are dropped.
    std::size_t zeros = signEnd;
    while (zeros + 1 < intEnd && text[zeros] == '0') ++zeros;
    if (ok && zeros == signEnd) return std::string(ansi);  // written as a number
    std::string number(text.substr(0, signEnd));
    number.append(text.substr(zeros, valid - zeros));
    return number;
}

}  // namespace textconv
