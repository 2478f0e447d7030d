// Output conversion: ANSI scratch text to UTF-8.  Two-byte codes become
// their characters, numeric references and hex markup the characters they
// name; everything else is copied.
#include <cerrno>
#include <cstring>

#include "textconv/lookup.h"
#include "textconv/markup.h"
#include "textconv/textconv.h"
#include "textconv/textfile.h"

namespace textconv {

namespace {

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(unsigned char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// Bytes that the copy loop must stop at.
struct StopBytes {
    bool stop[256] = {};
    constexpr StopBytes() {
        for (int c = 0x80; c < 256; ++c) stop[c] = true;
        stop[0] = stop[static_cast<unsigned char>('&')] = stop[static_cast<unsigned char>('U')] = true;
    }
};
constexpr StopBytes stopBytes;

// True when text (which reaches the end of the data seen so far) is the
// beginning of a markup that more data could complete or lengthen.
bool couldGrowIntoMarkup(std::string_view text) {
    if (text == "&" || text == "U") return true;
    if (text.size() >= 2 && text[0] == '&' && text[1] == '#') {
        for (std::size_t i = 2; i < text.size(); ++i)
            if (!isDigit(static_cast<unsigned char>(text[i]))) return false;
        return true;  // "&#" and digits so far: more digits or a ';' may follow
    }
    if (text.size() >= 2 && text.size() < 6 && text[0] == 'U' && text[1] == '+') {
        for (std::size_t i = 2; i < text.size(); ++i)
            if (!isHexDigit(static_cast<unsigned char>(text[i]))) return false;
        return true;
    }
    return false;
}

}  // namespace

Markup markupAt(std::string_view text, std::size_t pos) {
    Markup m;
    std::size_t n = text.size();
    if (pos + 2 > n) return m;
    if (text[pos] == '&' && text[pos + 1] == '#') {
        std::size_t i = pos + 2;
        if (i >= n || !isDigit(static_cast<unsigned char>(text[i]))) return m;
        char32_t value = 0;
        for (; i < n && isDigit(static_cast<unsigned char>(text[i])); ++i) {
            value = value * 10 + static_cast<char32_t>(text[i] - '0');
            if (value > maxCodePoint) value = maxCodePoint + 1;  // clamped: not a character
        }
        if (i < n && text[i] == ';') ++i;
        m.length = i - pos;
        m.value = value;
    } else if (text[pos] == 'U' && text[pos + 1] == '+' && pos + 6 <= n) {
        int value = hexMarkupValue(text.data() + pos + 2);
        if (value < 0) return m;
        m.length = 6;
        m.value = static_cast<char32_t>(value);
    }
    return m;
}

// Converts ANSI text that arrives in blocks.  A two-byte code or a markup
// that straddles two blocks is held back until the next block completes it.
class OutputConverter {
public:
    // Converts data (held-back bytes first) and appends UTF-8 to out.  With
    // last, nothing is held back.
    void convert(std::string_view data, bool last, std::string& out) {
        if (!held_.empty()) {
            held_.append(data);
            std::string joined;
            joined.swap(held_);
            convertJoined(joined, last, out);
        } else {
            convertJoined(data, last, out);
        }
    }

private:
    void convertJoined(std::string_view s, bool last, std::string& out) {
        const auto* p = reinterpret_cast<const unsigned char*>(s.data());
        const Utf8Code* codes = utf8Codes();
        std::size_t n = s.size(), i = 0;
        // No byte grows into more than three: room for all of them at once
        // (and one spare byte for the four-byte copy of a code).
        std::size_t start = out.size();
        out.resize(start + 3 * n + 4);
        char* o = out.data() + start;
        while (i < n) {
            if (skippingLine_) {
                // A NUL byte ends its line piece: the rest of the line, its
                // line feed included, is not written.
                const void* lf = std::memchr(p + i, '\n', n - i);
                if (!lf) {
                    i = n;
                    break;
                }
                i = static_cast<std::size_t>(static_cast<const unsigned char*>(lf) - p) + 1;
                skippingLine_ = false;
                continue;
            }
            unsigned char c = p[i];
            if (!stopBytes.stop[c]) {
                *o++ = static_cast<char>(c);
                ++i;
                continue;
            }
            if (c >= 0x80) {
                if (i + 1 == n && !last) break;  // its trail byte comes with the next block
                if (i + 1 == n || p[i + 1] < 0x21) {
                    // A lead byte without a trail byte: the marker for it,
                    // and the byte after it (a line feed, say) stands alone.
                    o += utf8Encode(unmappedMarker, o);
                    ++i;
                    continue;
                }
                const Utf8Code& code = codes[(c - 0x80) << 8 | p[i + 1]];
                std::memcpy(o, code.bytes, 4);
                o += code.length;
                i += 2;
            } else if (c == 0) {
                skippingLine_ = true;
                ++i;
            } else {
                if (!last && couldGrowIntoMarkup(s.substr(i))) break;
                Markup m = markupAt(s, i);
                if (m.length == 0) {
                    *o++ = static_cast<char>(c);
                    ++i;
                } else {
                    o += utf8Encode(markupCharacter(m.value), o);
                    i += m.length;
                }
            }
        }
        out.resize(static_cast<std::size_t>(o - out.data()));
        holdBack(s.substr(i));
    }

    void holdBack(std::string_view rest) {
        held_.assign(rest);
        // "&#" followed by a long run of digits: keep the number short.  Its
        // value is clamped anyway; leading zeros carry no value.
        if (held_.size() > 16 && held_[0] == '&') {
            std::size_t first = held_.find_first_not_of('0', 2);
            std::string digits = first == std::string::npos ? "0" : held_.substr(first);
            if (digits.size() > 8) digits = "99999999";
            held_ = "&#" + digits;
        }
    }

    std::string held_;
    bool skippingLine_ = false;
};

std::string ansiToUtf8(std::string_view ansi) {
    std::string out;
    out.reserve(ansi.size() + ansi.size() / 2);
    OutputConverter converter;
    converter.convert(ansi, true, out);
    return out;
}

int convertOutputFile(const char* scratchPath, const char* outputPath, std::string* failure) {
    TextReader in;
    if (!in.open(scratchPath)) {
        // The output is not touched: an existing one stays as it was.
        std::printf("\nInput File %s Not Found!\n", scratchPath);
        if (failure) *failure = std::string("cannot read ") + scratchPath + ": " + std::strerror(errno);
        return -1;
    }
    TextWriter out;
    if (!out.open(outputPath, TextWriter::Mode::replace)) {
        std::printf("\nOutput File %s Creation Error!\n", outputPath);
        if (failure) *failure = out.error();
        return -1;
    }
    out.write("\xEF\xBB\xBF");
    std::printf("Creating %s .... Encoding: %s\n", outputPath, "KSX -> UTF-8");
    std::fflush(stdout);

    OutputConverter converter;
    std::string block(1 << 16, '\0');
    std::string utf8;
    utf8.reserve(block.size() * 2);
    for (;;) {
        std::size_t n = in.read(block.data(), block.size());
        utf8.clear();
        converter.convert(std::string_view(block.data(), n), n == 0, utf8);
        out.write(utf8);
        if (n == 0) break;
    }
    if (in.readFailed()) {
        out.abandon();
        if (failure) *failure = std::string("cannot read ") + scratchPath;
        return -1;
    }
    if (!out.close()) {
        if (failure) *failure = out.error();
        return -1;
    }
    return 0;
}

}  // namespace textconv
