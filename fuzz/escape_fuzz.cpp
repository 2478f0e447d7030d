// The escaping functions on any text, judged on what the output conversion
// makes of their result (ansiToUtf8), as the reader of the output sees it:
//
// - xmlText / xmlAttr: no raw '<' or '>', no '&' that does not begin a
//   predefined entity or a character reference to an XML character, no '"'
//   in attributes, no character XML does not allow;
// - xmlCdata: no character XML does not allow;
// - all three parse with libxml2, and give the text as their value;
// - jsString: a valid string body for its quote (no unescaped quote, no raw
//   line break or control character, every backslash a valid escape, no
//   lone trailing backslash) and no "</script" in any case;
// - jsNumber: always a decimal number, of the text's value when ok.
// Texts without special characters come back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/common.h"
#include "textconv/escape.h"
#include "textconv/textconv.h"

namespace {

// Decodes valid UTF-8 (ansiToUtf8 gives nothing else; its own target checks that).
char32_t next(std::string_view s, std::size_t& i) {
    auto b = static_cast<unsigned char>(s[i]);
    std::size_t more = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
    char32_t v = more == 0 ? b : more == 1 ? (b & 0x1F) : more == 2 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; k <= more && i + k < s.size(); ++k) v = v << 6 | (s[i + k] & 0x3F);
    i += more + 1;
    return v;
}

bool isXmlChar(char32_t c) {
    if (c < 0x20) return c == '\t' || c == '\n' || c == '\r';
    if (c >= 0xD800 && c <= 0xDFFF) return false;
    return c != 0xFFFE && c != 0xFFFF && c <= 0x10FFFF;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isHex(char c) { return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

// Length of the XML reference at s[i] ('&'), or 0 when it is none.
std::size_t xmlReference(std::string_view s, std::size_t i) {
    std::string_view rest = s.substr(i);
    for (std::string_view e : {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
        if (rest.starts_with(e)) return e.size();
    if (!rest.starts_with("&#")) return 0;
    std::size_t k = 2;
    bool hex = k < rest.size() && rest[k] == 'x';
    if (hex) ++k;
    std::size_t digits = k;
    unsigned long value = 0;
    while (k < rest.size() && (hex ? isHex(rest[k]) : isDigit(rest[k]))) {
        char c = rest[k];
        unsigned d = isDigit(c) ? unsigned(c - '0') : unsigned((c | 0x20) - 'a' + 10);
        value = value * (hex ? 16 : 10) + d;
        if (value > 0x110000) value = 0x110000;
        ++k;
    }
    if (k == digits || k >= rest.size() || rest[k] != ';') return 0;
    if (!isXmlChar(static_cast<char32_t>(value))) return 0;
    return k + 1;
}

void checkXml(const std::string& input, bool attribute) {
    const std::string escaped = attribute ? textconv::xmlAttr(input) : textconv::xmlText(input);
    const std::string out = textconv::ansiToUtf8(escaped);
    const char* what = attribute ? "xmlAttr" : "xmlText";
    for (std::size_t i = 0; i < out.size();) {
        std::size_t at = i;
        char32_t c = next(out, i);
        FUZZ_CHECK(c != '<' && c != '>', std::string(what) + ": raw < or > in " + out);
        FUZZ_CHECK(!(attribute && c == '"'), std::string(what) + ": raw quote in " + out);
        FUZZ_CHECK(isXmlChar(c), std::string(what) + ": character " + std::to_string(c) + " XML does not allow");
        if (c == '&') FUZZ_CHECK(xmlReference(out, at) > 0, std::string(what) + ": bare & in " + out);
    }
}

void checkCdata(const std::string& input) {
    const std::string out = textconv::ansiToUtf8(textconv::xmlCdata(input));
    for (std::size_t i = 0; i < out.size();) {
        char32_t c = next(out, i);
        FUZZ_CHECK(isXmlChar(c), "xmlCdata: character " + std::to_string(c) + " XML does not allow");
    }
}

// The three XML contexts in one document, parsed by libxml2: well-formed,
// and for a text without control characters and without a '&' of its own
// (other than the conversion's numeric references) the parsed values are
// the text.
void checkXmlValues(const std::string& input) {
    const std::string doc = "<a b=\"" + textconv::ansiToUtf8(textconv::xmlAttr(input)) + "\"><c>" +
                            textconv::ansiToUtf8(textconv::xmlText(input)) + "</c><d><![CDATA[" +
                            textconv::ansiToUtf8(textconv::xmlCdata(input)) + "]]></d></a>";
    xmlDocPtr parsed = xmlReadMemory(doc.data(), static_cast<int>(doc.size()), "escape.xml", "UTF-8",
                                     XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    FUZZ_CHECK(parsed != nullptr, "the escaped texts do not parse: " + doc);
    std::string expected = textconv::ansiToUtf8(input);
    bool comparable = true;
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (static_cast<unsigned char>(input[i]) >= 0x80) {
            if (i + 1 < input.size() && static_cast<unsigned char>(input[i + 1]) >= 0x21) ++i;  // a trail byte
        } else if (input[i] == '\0') {
            comparable = false;  // the conversion drops the rest of the line after a NUL
        } else if (input[i] == '&' && !(i + 2 < input.size() && input[i + 1] == '#' && isDigit(input[i + 2]))) {
            comparable = false;
        }
    }
    for (std::size_t i = 0; i < expected.size();) {
        std::size_t at = i;
        char32_t c = next(expected, i);
        if (c < 0x20 || c == 0x7F) comparable = false;
        if (c == 0xFFFE || c == 0xFFFF) expected.replace(at, i - at, "\xEF\xBF\xBD"), i = at + 3;
    }
    if (comparable) {
        xmlNodePtr a = xmlDocGetRootElement(parsed);
        xmlChar* b = xmlGetProp(a, reinterpret_cast<const xmlChar*>("b"));
        xmlChar* c = xmlNodeGetContent(a->children);
        xmlChar* d = xmlNodeGetContent(a->children->next);
        auto str = [](xmlChar* x) { return std::string(x ? reinterpret_cast<const char*>(x) : ""); };
        FUZZ_CHECK(str(b) == expected, "xmlAttr: the parsed value differs: " + str(b) + " | " + expected);
        FUZZ_CHECK(str(c) == expected, "xmlText: the parsed value differs: " + str(c) + " | " + expected);
        FUZZ_CHECK(str(d) == expected, "xmlCdata: the parsed value differs: " + str(d) + " | " + expected);
        xmlFree(b);
        xmlFree(c);
        xmlFree(d);
    }
    xmlFreeDoc(parsed);
}

void checkJs(const std::string& input, char quote) {
    const std::string out = textconv::ansiToUtf8(textconv::jsString(input, quote));
    std::string lower = out;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    FUZZ_CHECK(lower.find("</script") == std::string::npos, "jsString: </script in " + out);
    for (std::size_t i = 0; i < out.size();) {
        char32_t c = next(out, i);
        FUZZ_CHECK(c != static_cast<unsigned char>(quote), "jsString: unescaped quote in " + out);
        FUZZ_CHECK(c >= 0x20 && c != 0x7F && c != 0x2028 && c != 0x2029, "jsString: raw control or line break in " + out);
        if (c != '\\') continue;
        FUZZ_CHECK(i < out.size(), "jsString: lone trailing backslash in " + out);
        char32_t e = next(out, i);
        if (e == 'x') {
            FUZZ_CHECK(i + 2 <= out.size() && isHex(out[i]) && isHex(out[i + 1]), "jsString: bad \\x in " + out);
            i += 2;
        } else if (e == 'u') {
            if (i < out.size() && out[i] == '{') {
                std::size_t close = out.find('}', i);
                FUZZ_CHECK(close != std::string::npos && close > i + 1, "jsString: bad \\u{} in " + out);
                for (std::size_t k = i + 1; k < close; ++k) FUZZ_CHECK(isHex(out[k]), "jsString: bad \\u{} in " + out);
                i = close + 1;
            } else {
                FUZZ_CHECK(i + 4 <= out.size() && isHex(out[i]) && isHex(out[i + 1]) && isHex(out[i + 2]) &&
                               isHex(out[i + 3]),
                           "jsString: bad \\u in " + out);
                i += 4;
            }
        } else {
            FUZZ_CHECK(e >= 0x20 && e != 0x2028 && e != 0x2029, "jsString: an escaped control character in " + out);
        }
    }
}

bool plain(const std::string& s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x80) {
            if (i + 1 >= s.size() || static_cast<unsigned char>(s[i + 1]) < 0x21) return false;
            ++i;
            continue;
        }
        if (c < 0x20 || c == '&' || c == '<' || c == '>' || c == '"' || c == '\'' || c == '\\' || c == 'U' ||
            c == ']' || c == '/' || c == 0x7F)
            return false;
    }
    return true;
}

// A decimal number as script code reads it, blanks around it allowed.
bool decimalNumber(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.pop_back();
    std::size_t i = s.find_first_not_of(" \t");
    if (i == std::string::npos) return false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '-' || s[i] == '+')) ++i;
        std::size_t exp = 0;
        while (i < s.size() && isDigit(s[i])) ++i, ++exp;
        if (exp == 0) return false;
    }
    return i == s.size();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzz::keepReportChannel();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    checkXml(input, false);
    checkXml(input, true);
    checkCdata(input);
    checkXmlValues(input);
    checkJs(input, '\'');
    checkJs(input, '"');
    if (plain(input)) {
        FUZZ_CHECK(textconv::xmlText(input) == input, "xmlText changed a plain text");
        FUZZ_CHECK(textconv::xmlAttr(input) == input, "xmlAttr changed a plain text");
        FUZZ_CHECK(textconv::jsString(input, '\'') == input, "jsString changed a plain text");
    }
    bool ok = false;
    const std::string number = textconv::jsNumber(input, ok);
    FUZZ_CHECK(decimalNumber(number), "jsNumber gave " + number);
    // No leading zero before a digit: script would read "010" as octal.
    std::size_t digit = number.find_first_not_of(" \t+-");
    FUZZ_CHECK(!(number.size() > digit + 1 && number[digit] == '0' && isDigit(number[digit + 1])),
               "jsNumber gave an octal-looking number " + number);
    if (ok) FUZZ_CHECK(std::strtod(number.c_str(), nullptr) == std::strtod(input.c_str(), nullptr),
                       "jsNumber changed the value of a number it accepted: " + number);
    return 0;
}
