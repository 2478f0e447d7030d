// Output conversion: ANSI scratch text to UTF-8.  Two-byte codes become
// their characters, numeric references and hex markup the characters they
// name; everything else is copied.
#include <cerrno>
#include <cstring>
#include <memory>

#include "textconv/lookup.h"
#include "textconv/markup.h"
#include "textconv/textconv.h"
#include "textconv/textfile.h"

namespace textconv {

namespace {

bool isDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool isHexDigit(unsigned char c) { return isDigit(c) || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

// ASCII bytes that the copy loop must stop at.
struct StopBytes {
    bool stop[128] = {};
    constexpr StopBytes() {
        for (unsigned char c : {'\0', '&', 'U', '\r', '\n'}) stop[c] = true;
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
// In text mode the text is read and written as Windows text mode does it: a
// CR right before a LF is dropped, and every LF is written as CR LF.
class OutputConverter {
public:
    explicit OutputConverter(bool textMode) : textMode_(textMode) {}

    // Converts data (held-back bytes first) and gives the UTF-8 text, valid
    // until the next call.  With last, nothing is held back.
    std::string_view convert(std::string_view data, bool last) {
        if (held_.empty()) return convertJoined(data, last);
        held_.append(data);
        std::string joined;
        joined.swap(held_);
        return convertJoined(joined, last);
    }

private:
    std::string_view convertJoined(std::string_view s, bool last) {
        const auto* p = reinterpret_cast<const unsigned char*>(s.data());
        const Utf8Code* codes = utf8Codes();
        const std::size_t n = s.size();
        // No byte grows into more than three: room for all of them at once,
        // and a spare byte for the four-byte copy of a code.
        if (capacity_ < 3 * n + 4) {
            capacity_ = 3 * n + 4;
            buffer_.reset(new char[capacity_]);
        }
        char* o = buffer_.get();
        std::size_t i = 0;
        if (skippingLine_) {
            const void* lf = std::memchr(p, '\n', n);
            i = lf ? static_cast<std::size_t>(static_cast<const unsigned char*>(lf) - p) + 1 : n;
            skippingLine_ = lf == nullptr;
        }
        while (i < n) {
            unsigned char c = p[i];
            if (c >= 0x80) {
                if (i + 1 < n && p[i + 1] >= 0x21) {
                    const Utf8Code& code = codes[(c - 0x80) << 8 | p[i + 1]];
                    std::memcpy(o, code.bytes, 4);
                    o += code.length;
                    i += 2;
                    continue;
                }
                if (i + 1 == n && !last) break;  // its trail byte comes with the next block
                // A lead byte without a trail byte: the marker for it, and the
                // byte after it (a line feed, say) stands alone.
                o += utf8Encode(unmappedMarker, o);
                ++i;
            } else if (!stopBytes.stop[c]) {
                *o++ = static_cast<char>(c);
                ++i;
            } else if (c == '\n') {
                if (textMode_) *o++ = '\r';
                *o++ = '\n';
                ++i;
            } else if (c == '\r') {
                if (textMode_ && i + 1 == n && !last) break;  // a LF may follow in the next block
                if (!textMode_ || i + 1 == n || p[i + 1] != '\n') *o++ = '\r';
                ++i;
            } else if (c == 0) {
                // A NUL byte ends its line piece: the rest of the line, its
                // line feed included, is not written.
                const void* lf = std::memchr(p + i, '\n', n - i);
                if (!lf) {
                    skippingLine_ = true;
                    i = n;
                    break;
                }
                i = static_cast<std::size_t>(static_cast<const unsigned char*>(lf) - p) + 1;
            } else {
                if (!last && couldGrowIntoMarkup(s.substr(i))) break;
                Markup m = markupAt(s, i);
                if (m.length == 0) {
                    *o++ = static_cast<char>(c);
                    ++i;
                } else {
                    // A line feed that a markup names is written as text mode
                    // writes every line feed.
                    const char32_t ch = markupCharacter(m.value);
                    if (ch == '\n' && textMode_) *o++ = '\r';
                    o += utf8Encode(ch, o);
                    i += m.length;
                }
            }
        }
        holdBack(s.substr(i));
        return std::string_view(buffer_.get(), static_cast<std::size_t>(o - buffer_.get()));
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

    bool textMode_;
    std::string held_;
    bool skippingLine_ = false;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
};

std::string ansiToUtf8(std::string_view ansi) {
    OutputConverter converter(false);
    return std::string(converter.convert(ansi, true));
}

int convertOutputFile(const char* scratchPath, const char* outputPath, std::string* failure) {
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> in(std::fopen(scratchPath, "rb"));
    if (!in) {
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
    out.writeRaw("\xEF\xBB\xBF");
    std::printf("Creating %s .... Encoding: %s\n", outputPath, "KSX -> UTF-8");
    std::fflush(stdout);

    // The scratch text is read and the output written as text (CR LF line
    // ends); the converter does both translations on the way.
    OutputConverter converter(true);
    std::string block(1 << 16, '\0');
    for (;;) {
        std::size_t n = std::fread(block.data(), 1, block.size(), in.get());
        out.writeRaw(converter.convert(std::string_view(block.data(), n), n == 0));
        if (n == 0) break;
    }
    if (std::ferror(in.get())) {
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
