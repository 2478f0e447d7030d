// Escaping for XML, CDATA, JavaScript strings and JavaScript numbers.
//
// The tables pin the exact escapes.  The property tests put many generated
// hostile texts into small documents, run them through the output
// conversion and hand them to real parsers (xmllint, node), which must
// accept every one and give back the text's own characters.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "textconv/escape.h"
#include "textconv/textconv.h"

namespace {

using textconv::ansiToUtf8;
using textconv::jsNumber;
using textconv::jsString;
using textconv::xmlAttr;
using textconv::xmlCdata;
using textconv::xmlText;

// Two Hangul syllables in ANSI: B0A1 (U+AC00) and B3AA (U+B098).
const std::string ga = "\xB0\xA1";
const std::string na = "\xB3\xAA";
// Two-byte codes whose trail byte is ASCII (extended Hanja range).
const std::string leadLt = "\x81<";
const std::string leadBackslash = "\x81\\";
const std::string leadApos = "\x81'";
const std::string leadQuot = "\x81\"";
const std::string leadHash = "\x81#";
const std::string leadBracket = "\x81]";

std::string printable(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out.push_back(static_cast<char>(c));
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

// ---- XML -----------------------------------------------------------------

struct XmlCase {
    std::string in;
    std::string text;  // xmlText
    std::string attr;  // xmlAttr
};

TEST(XmlEscape, Table) {
    const std::vector<XmlCase> cases = {
        // Ordinary text comes back byte for byte.
        {"Tour " + ga + na + " 1/2 (a+b) it's", "Tour " + ga + na + " 1/2 (a+b) it's",
         "Tour " + ga + na + " 1/2 (a+b) it's"},
        {"", "", ""},
        // The special characters.
        {"a & b", "a &amp; b", "a &amp; b"},
        {"<b>x</b>", "&lt;b&gt;x&lt;/b&gt;", "&lt;b&gt;x&lt;/b&gt;"},
        {"say \"hi\"", "say \"hi\"", "say &quot;hi&quot;"},
        {"]]>", "]]&gt;", "]]&gt;"},
        {"&", "&amp;", "&amp;"},
        // Entities and references that stay as they are.
        {"&amp; &lt; &gt; &quot; &apos;", "&amp; &lt; &gt; &quot; &apos;", "&amp; &lt; &gt; &quot; &apos;"},
        {"&#233; &#233 &#00233;x", "&#233; &#233 &#00233;x", "&#233; &#233 &#00233;x"},
        {"&#x41; &#x1F600;", "&#x41; &#x1F600;", "&#x41; &#x1F600;"},
        {"U+AC00", "U+AC00", "U+AC00"},
        // Not references: the ampersand is escaped.
        {"&nbsp; &AMP; &amp", "&amp;nbsp; &amp;AMP; &amp;amp", "&amp;nbsp; &amp;AMP; &amp;amp"},
        {"&#x; &#x41 &#X41; &#xZ;", "&amp;#x; &amp;#x41 &amp;#X41; &amp;#xZ;",
         "&amp;#x; &amp;#x41 &amp;#X41; &amp;#xZ;"},
        {"&#xFFFE; &#xD800; &#x110000; &#x1;", "&amp;#xFFFE; &amp;#xD800; &amp;#x110000; &amp;#x1;",
         "&amp;#xFFFE; &amp;#xD800; &amp;#x110000; &amp;#x1;"},
        {"&# &#;", "&amp;# &amp;#;", "&amp;# &amp;#;"},
        // Markup naming a special character becomes its entity.
        {"&#38;&#60;&#62;&#34;&#39;", "&amp;&lt;&gt;&quot;&apos;", "&amp;&lt;&gt;&quot;&apos;"},
        {"&#0038 U+003C U+003e U+0022 U+0027", "&amp; &lt; &gt; &quot; &apos;", "&amp; &lt; &gt; &quot; &apos;"},
        {"&#38;#65;", "&amp;#65;", "&amp;#65;"},
        // Characters XML does not allow become U+FFFD.
        {std::string("a\x01z\x1F", 4), "a&#65533;z&#65533;", "a&#65533;z&#65533;"},
        {std::string("a\0b", 3), "a&#65533;b", "a&#65533;b"},
        {"&#1; U+001B &#65534; U+FFFF &#31", "&#65533; &#65533; &#65533; &#65533; &#65533;",
         "&#65533; &#65533; &#65533; &#65533; &#65533;"},
        {"\t\n\r &#9; &#10;", "\t\n\r &#9; &#10;", "\t\n\r &#9; &#10;"},
        // References the conversion turns into U+FFFD are fine as they are.
        {"&#0; &#55296; &#99999999;", "&#0; &#55296; &#99999999;", "&#0; &#55296; &#99999999;"},
        // Two-byte codes are stepped over whole, whatever their trail byte.
        {leadLt + leadQuot + leadHash + leadBackslash + leadApos, leadLt + leadQuot + leadHash + leadBackslash + leadApos,
         leadLt + leadQuot + leadHash + leadBackslash + leadApos},
        {"\x81&#38;", "\x81&#38;", "\x81&#38;"},
        {"\xA1\xA1\xFE\xFE\x80\x80", "\xA1\xA1\xFE\xFE\x80\x80", "\xA1\xA1\xFE\xFE\x80\x80"},
        // A lone lead byte would swallow the byte after it.
        {"abc\xB0", "abc&#09635;", "abc&#09635;"},
        {"\xB0 x\xB0\n" + ga, "&#09635; x&#09635;\n" + ga, "&#09635; x&#09635;\n" + ga},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(printable(xmlText(c.in)), printable(c.text)) << "xmlText of " << printable(c.in);
        EXPECT_EQ(printable(xmlAttr(c.in)), printable(c.attr)) << "xmlAttr of " << printable(c.in);
    }
}

TEST(XmlEscape, Cdata) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"<b>" + ga + "</b> & \"x\" 'y' &nbsp; &#60;", "<b>" + ga + "</b> & \"x\" 'y' &nbsp; &#60;"},
        {"]]>", "]]]]><![CDATA[>"},
        {"a]]]>b]]>", "a]]]]]><![CDATA[>b]]]]><![CDATA[>"},
        {"] ]> ]>", "] ]> ]>"},
        // Markup that becomes "]" or ">" counts as well.
        {"]]&#62;", "]]]]><![CDATA[&#62;"},
        {"&#93;U+005D>", "&#93;U+005D]]><![CDATA[>"},
        // A trail byte "]" is no bracket.
        {leadBracket + "]>", leadBracket + "]>"},
        {std::string("x\x02\0", 3), "x&#65533;&#65533;"},
        {"&#2;U+FFFE\t\n", "&#65533;&#65533;\t\n"},
        {"end\xB0", "end&#09635;"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(printable(xmlCdata(in)), printable(out)) << printable(in);
}

// ---- JavaScript strings ------------------------------------------------------

struct JsCase {
    std::string in;
    char quote;
    std::string out;
    std::string value;  // UTF-8 value of the literal
};

const std::vector<JsCase>& jsCases() {
    static const std::vector<JsCase> cases = {
        // Ordinary text, HTML included, comes back as it is.
        {"Tour " + ga + na + " <b>bold</b> <a href=\"x.htm\">x</a>", '\'',
         "Tour " + ga + na + " <b>bold</b> <a href=\"x.htm\">x</a>",
         "Tour \xEA\xB0\x80\xEB\x82\x98 <b>bold</b> <a href=\"x.htm\">x</a>"},
        {"", '\'', "", ""},
        // The delimiting quote gets a backslash; the other one does not.
        {"it's \"x\"", '\'', "it\\'s \"x\"", "it's \"x\""},
        {"it's \"x\"", '"', "it's \\\"x\\\"", "it's \"x\""},
        {"&#39;", '\'', "\\'", "'"},
        {"U+0022&#34;", '"', "\\\"\\\"", "\"\""},
        {"&#34;", '\'', "\"", "\""},
        // A quote the user escaped stays escaped once.
        {"a\\'b", '\'', "a\\'b", "a'b"},
        {"a\\\\'b", '\'', "a\\\\\\'b", "a\\'b"},
        // User escapes that are valid stay.
        {"\\n\\t\\\\\\/\\q\\\"", '\'', "\\n\\t\\\\\\/\\q\\\"", "\n\t\\/q\""},
        {"\\x41\\u0042\\u{1F600}\\u{000043}", '\'', "\\x41\\u0042\\u{1F600}\\u{000043}",
         "AB\xF0\x9F\x98\x80" "C"},
        {"\\0", '\'', "\\0", std::string("\0", 1)},
        {"\\" + ga, '\'', "\\" + ga, "\xEA\xB0\x80"},
        // Backslashes that begin no valid escape are doubled.
        {"end\\", '\'', "end\\\\", "end\\"},
        {"\\x \\x4 \\xZ1 \\u \\u123 \\u{} \\u{110000} \\u{12", '\'',
         "\\\\x \\\\x4 \\\\xZ1 \\\\u \\\\u123 \\\\u{} \\\\u{110000} \\\\u{12",
         "\\x \\x4 \\xZ1 \\u \\u123 \\u{} \\u{110000} \\u{12"},
        {"\\1\\9\\00\\&\\U", '\'', "\\\\1\\\\9\\\\00\\\\&\\\\U", "\\1\\9\\00\\&\\U"},
        {"\\\n\\\t", '\'', "\\\\\\n\\\\\\t", "\\\n\\\t"},
        {"\\&#39;", '\'', "\\\\\\'", "\\'"},
        {"\\\xB0", '\'', "\\\\&#09635;", "\\\xE2\x96\xA3"},
        // Control characters become escapes.
        {"a\nb\rc\td", '\'', "a\\nb\\rc\\td", "a\nb\rc\td"},
        {std::string("\x01\x1F\x7F\0z", 5), '\'', "\\x01\\x1F\\x7F\\x00z", std::string("\x01\x1F\x7F\0z", 5)},
        {"&#10;&#13;&#9;U+0001", '\'', "\\n\\r\\t\\x01", "\n\r\t\x01"},
        // Markup naming a backslash is a backslash, never an escape.
        {"&#92;n&#92;", '\'', "\\\\n\\\\", "\\n\\"},
        // The script element must not end inside the string.
        {"</script><p>", '\'', "<\\/script><p>", "</script><p>"},
        {"x</SCRIPT </ScRiPt", '"', "x<\\/SCRIPT <\\/ScRiPt", "x</SCRIPT </ScRiPt"},
        {"&#60;/script", '\'', "<\\/script", "</script"},
        {"<&#47;s&#99;r&#105;pt", '\'', "<\\/s&#99;ript", "</script"},
        {"\\</script", '\'', "\\<\\/script", "</script"},
        {"<!-- x -->", '\'', "<\\!-- x -->", "<!-- x -->"},
        {"</b></scrip", '\'', "</b></scrip", "</b></scrip"},
        // Markup naming a character of markup keeps its markup, so that it
        // cannot join its neighbours into new markup.
        {"&#38;#65;", '\'', "&#38;#65;", "&#65;"},
        {"&&#35;65", '\'', "&&#35;65", "&#65"},
        {"U+&#48;041", '\'', "U+&#48;041", "U+0041"},
        {"&#74;U+004B", '\'', "JK", "JK"},
        {"&#65&#59;", '\'', "&#65&#59;", "A;"},
        // Other markup is copied; the conversion writes its character.
        {"&#233;U+AC00&#8232;&#128512;&#0;", '\'', "&#233;U+AC00&#8232;&#128512;&#0;",
         "\xC3\xA9\xEA\xB0\x80\xE2\x80\xA8\xF0\x9F\x98\x80\xEF\xBF\xBD"},
        // Two-byte codes are stepped over whole, whatever their trail byte.
        {leadApos + leadBackslash + leadLt + "/script" + leadQuot, '\'',
         leadApos + leadBackslash + leadLt + "/script" + leadQuot, ""},
        {"\\" + leadApos, '\'', "\\" + leadApos, ""},
        // Lone lead bytes.
        {"x\xB0", '\'', "x&#09635;", "x\xE2\x96\xA3"},
        {"\xB0\t'", '\'', "&#09635;\\t\\'", "\xE2\x96\xA3\t'"},
    };
    return cases;
}

TEST(JsString, Table) {
    for (const auto& c : jsCases())
        EXPECT_EQ(printable(jsString(c.in, c.quote)), printable(c.out))
            << "jsString of " << printable(c.in) << " in " << c.quote;
}

// ---- JavaScript numbers ------------------------------------------------------

TEST(JsNumber, Table) {
    struct Case {
        std::string in;
        std::string out;
        bool ok;
    };
    const std::vector<Case> cases = {
        {"37.5665", "37.5665", true},
        {"-122.4194", "-122.4194", true},
        {"+5", "+5", true},
        {"0", "0", true},
        {"0.5", "0.5", true},
        {"1e5", "1e5", true},
        {"1.5E-3", "1.5E-3", true},
        {"37.", "37.", true},
        {".5", ".5", true},
        {"-.5e+2", "-.5e+2", true},
        {" 37.5\t", " 37.5\t", true},
        // Leading zeros would make an octal literal.
        {"037.5", "37.5", true},
        {"-007", "-7", true},
        {"00", "0", true},
        {"00.25", "0.25", true},
        // Not numbers: the number they begin with, or 0.
        {"", "0", false},
        {"   ", "0", false},
        {"abc", "0", false},
        {"-", "0", false},
        {"+", "0", false},
        {".", "0", false},
        {"-.", "0", false},
        {"--5", "0", false},
        {"1e", "1", false},
        {"1e+", "1", false},
        {"2.5E-x", "2.5", false},
        {"37.5abc", "37.5", false},
        {" 12,5", "12", false},
        {"5..", "5.", false},
        {"0x1A", "0", false},
        {"Infinity", "0", false},
        {"NaN", "0", false},
        {"1_000", "1", false},
        {"007x", "7", false},
        {"37.5);alert(1", "37.5", false},
        {"12\n", "12", false},
        {ga + "1", "0", false},
    };
    for (const auto& c : cases) {
        bool ok = !c.ok;
        EXPECT_EQ(jsNumber(c.in, ok), c.out) << printable(c.in);
        EXPECT_EQ(ok, c.ok) << printable(c.in);
    }
}

// ---- real parsers ------------------------------------------------------------

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "escape_test.XXXXXX").string();
        if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary);
    f << bytes;
}

std::string readBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs a shell command with its output in files; returns the exit status.
int runTool(const ScratchDir& dir, const std::string& command, std::string& out, std::string& err) {
    std::string outPath = dir.file("out"), errPath = dir.file("err");
    int status = std::system((command + " >" + outPath + " 2>" + errPath).c_str());
    out = readBytes(outPath);
    err = readBytes(errPath);
    return status;
}

std::string hexOf(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 15]);
    }
    return out;
}

// UTF-8 with the characters XML does not allow replaced by U+FFFD.
std::string xmlCharacters(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            out += "\xEF\xBF\xBD";
        } else if (c == 0xEF && utf8.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < utf8.size() &&
                   (utf8[i + 2] == '\xBE' || utf8[i + 2] == '\xBF')) {
            out += "\xEF\xBF\xBD";
            i += 2;
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}

// What an XML parser reports for text: CR LF and lone CR read as LF.
std::string xmlLineEnds(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            out.push_back('\n');
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            out.push_back(s[i]);
        }
    }
    return out;
}

// ... and for attribute values: every blank character then reads as a space.
std::string xmlAttrValue(const std::string& s) {
    std::string out = xmlLineEnds(s);
    for (char& c : out)
        if (c == '\t' || c == '\n') c = ' ';
    return out;
}

// The references that canonical XML writes.
std::string decodeCanonical(std::string_view s) {
    static const std::pair<std::string_view, char> refs[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&#x9;", '\t'}, {"&#xA;", '\n'}, {"&#xD;", '\r'}};
    std::string out;
    for (std::size_t i = 0; i < s.size();) {
        bool found = false;
        for (const auto& [ref, c] : refs) {
            if (s.substr(i).starts_with(ref)) {
                out.push_back(c);
                i += ref.size();
                found = true;
                break;
            }
        }
        if (!found) out.push_back(s[i++]);
    }
    return out;
}

// Hostile texts: random strings of pieces that each touch a rule.
std::vector<std::string> hostileTexts(unsigned seed, int count) {
    static const std::vector<std::string> pieces = {
        "&", "<", ">", "\"", "'", "\\", "]", "]]", "]]>", "/", "!", "-", "<!--", "</script", "</SCRIPT>",
        "script", "#", "+", "U", "x", "u", "{", "}", "0", "1", "4", "A", ";", " ", "\t", "\n", "\r",
        "\r\n", std::string("\0", 1), "\x01", "\x1F", "\x7F", "&#38;", "&#60", "&#62;", "&#39;", "&#34;",
        "&#92;", "&#10;", "&#13;", "&#0;", "&#1;", "&#65534;", "&#55296;", "&#1114112;", "&#99999999999;",
        "&#47;", "&#35;", "&#48;", "&#59;", "&#93;", "&#65", "U+003C", "U+0026", "U+005C", "U+FFFF", "U+0000", "U+D800",
        "&#x41;", "&#x;", "&#x3C;", "&amp;", "&lt;", "&quot;", "&apos;", "&nbsp;", "&#233;", "&#8232;",
        "&#128512;", "U+AC00", ga, na, leadLt, leadBackslash, leadApos, leadQuot, leadHash, leadBracket,
        "\xB0", "\xFF", "\x80", "\\x4", "\\u{1F6", "\\u00", "\\'", "\\\"", "\\n"};
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(1, 12);
    std::vector<std::string> texts;
    for (int k = 0; k < count; ++k) {
        std::string t;
        for (int n = length(random); n > 0; --n) t += pieces[pick(random)];
        texts.push_back(t);
    }
    return texts;
}

bool hasXmlReference(const std::string& t) {
    for (const char* ref : {"&#x", "&amp;", "&lt;", "&gt;", "&quot;", "&apos;"})
        if (t.find(ref) != std::string::npos) return true;
    return false;
}

TEST(RealParsers, XmlAcceptsEveryTextAndKeepsItsCharacters) {
    std::vector<std::string> texts = hostileTexts(20261211, 600);
    for (const auto& c : jsCases()) texts.push_back(c.in);
    ScratchDir dir;

    // One document in ANSI as a writer makes it, then the output conversion.
    auto document = [&](const std::vector<std::string>& some) {
        std::string ansi = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<r>\n";
        for (const auto& t : some)
            ansi += "<c a=\"" + xmlAttr(t) + "\"><t>" + xmlText(t) + "</t><d><![CDATA[" + xmlCdata(t) +
                    "]]></d></c>\n";
        ansi += "</r>\n";
        return ansiToUtf8(ansi);
    };
    writeBytes(dir.file("all.xml"), document(texts));
    std::string out, err;
    if (runTool(dir, "xmllint --c14n " + dir.file("all.xml"), out, err) != 0) {
        // Name the first text that breaks the document.
        for (const auto& t : texts) {
            writeBytes(dir.file("one.xml"), document({t}));
            std::string o, e;
            ASSERT_EQ(runTool(dir, "xmllint --noout " + dir.file("one.xml"), o, e), 0)
                << printable(t) << "\n" << e;
        }
        FAIL() << err;
    }

    // Canonical form: <c a="..."><t>...</t><d>...</d></c>, one per text.
    std::size_t pos = 0, checked = 0;
    for (const auto& t : texts) {
        std::size_t a = out.find("<c a=\"", pos) + 6;
        std::size_t aEnd = out.find("\"><t>", a);
        std::size_t tEnd = out.find("</t><d>", aEnd);
        std::size_t dEnd = out.find("</d></c>", tEnd);
        ASSERT_NE(dEnd, std::string::npos);
        pos = dEnd;
        // References that XML itself resolves are the user's own markup;
        // a NUL byte ends a line in the conversion of the bare text.
        if (hasXmlReference(t) || t.find('\0') != std::string::npos) continue;
        std::string characters = xmlCharacters(ansiToUtf8(t));
        std::string attr = decodeCanonical(std::string_view(out).substr(a, aEnd - a));
        std::string text = decodeCanonical(std::string_view(out).substr(aEnd + 5, tEnd - aEnd - 5));
        std::string cdata = decodeCanonical(std::string_view(out).substr(tEnd + 7, dEnd - tEnd - 7));
        EXPECT_EQ(hexOf(attr), hexOf(xmlAttrValue(characters))) << printable(t);
        EXPECT_EQ(hexOf(text), hexOf(xmlLineEnds(characters))) << printable(t);
        EXPECT_EQ(hexOf(cdata), hexOf(xmlLineEnds(characters))) << printable(t);
        ++checked;
    }
    EXPECT_GT(checked, texts.size() / 3);
}

bool endsOrDerailsScript(const std::string& utf8) {
    std::string lower;
    for (char c : utf8) lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    return lower.find("</script") != std::string::npos || lower.find("<!--") != std::string::npos;
}

TEST(RealParsers, NodeReadsEveryStringAsItsText) {
    struct Literal {
        std::string in;
        char quote;
        std::string value;  // expected UTF-8 value
    };
    std::vector<Literal> literals;
    for (const auto& c : jsCases())
        if (!c.value.empty() || c.in.empty()) literals.push_back({c.in, c.quote, c.value});
    for (const auto& t : hostileTexts(411, 600)) {
        // Without user backslashes and NUL bytes the value is the converted
        // text itself; with them, only the parse is checked.
        bool plain = t.find('\\') == std::string::npos && t.find('\0') == std::string::npos;
        std::string value = plain ? ansiToUtf8(t) : std::string("\x01unchecked");
        literals.push_back({t, '\'', value});
        literals.push_back({t, '"', value});
    }
    ScratchDir dir;

    auto script = [&](const std::vector<Literal>& some) {
        std::string ansi = "var v = [\n";
        for (const auto& l : some) ansi += std::string(1, l.quote) + jsString(l.in, l.quote) + l.quote + ",\n";
        ansi += "];\nfor (const s of v) console.log(Buffer.from(s, 'utf8').toString('hex'));\n";
        return ansiToUtf8(ansi);
    };
    std::string all = script(literals);
    EXPECT_FALSE(endsOrDerailsScript(all));
    writeBytes(dir.file("all.js"), all);
    std::string out, err;
    if (runTool(dir, "node " + dir.file("all.js"), out, err) != 0) {
        for (const auto& l : literals) {
            writeBytes(dir.file("one.js"), script({l}));
            std::string o, e;
            ASSERT_EQ(runTool(dir, "node " + dir.file("one.js"), o, e), 0) << printable(l.in) << "\n" << e;
        }
        FAIL() << err;
    }
    std::istringstream lines(out);
    std::string line;
    for (const auto& l : literals) {
        ASSERT_TRUE(std::getline(lines, line));
        if (l.value != "\x01unchecked") {
            EXPECT_EQ(line, hexOf(l.value)) << printable(l.in) << " in " << l.quote;
        }
    }
    EXPECT_FALSE(std::getline(lines, line));
}

// The escaping copies two-byte codes unchanged: none of them may become a
// character that any context escapes or looks for.  The only ASCII they
// give is "?" (cells without character) and "~" (A1AD).
TEST(TwoByteCodes, NeverBecomeSpecialCharacters) {
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int trail = 0x21; trail <= 0xFF; ++trail) {
            std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            std::string utf8 = ansiToUtf8(code);
            ASSERT_FALSE(utf8.empty());
            auto first = static_cast<unsigned char>(utf8[0]);
            if (first < 0x80) {
                EXPECT_TRUE(utf8 == "?" || utf8 == "~") << printable(code) << " gives " << printable(utf8);
            } else {
                EXPECT_NE(xmlCharacters(utf8), "\xEF\xBF\xBD") << printable(code);
            }
        }
    }
}

}  // namespace
