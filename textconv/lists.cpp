// List normalisation: a list file in UTF-8 or UTF-16 (told by its byte-order
// mark) becomes an ANSI scratch list; an ANSI file is left alone.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "textconv/lookup.h"
#include "textconv/textconv.h"

namespace textconv {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

bool isSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// Appends the ANSI text of characters, as unicodeToAnsi gives it, using the
// direct lookup table.
class AnsiWriter {
public:
    explicit AnsiWriter(std::string& out) : out_(out), codes_(ksxCodes()) {}

    void operator()(char32_t u) {
        if (u < 0x80) {
            if (u != 0) out_.push_back(static_cast<char>(u));
            return;
        }
        if (u < 0x10000) {
            if (std::uint16_t code = codes_[u]; code != 0) {
                char pair[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
                out_.append(pair, 2);
                return;
            }
        }
        char buffer[maxAnsiChar];
        out_.append(buffer, unicodeToAnsi(u, buffer));
    }

private:
    std::string& out_;
    const std::uint16_t* codes_;
};

// Decodes UTF-8 as the list normalisation reads it: the bytes after a first
// byte are taken as its continuation bytes without any check, overlong
// forms are accepted, a stray continuation byte stands for U+0080-U+00BF.
// A sequence of four bytes keeps its whole code point; a surrogate, a value
// beyond U+10FFFF and a first byte F8-FF (no UTF-8 sequence) give U+FFFD.
class Utf8Decoder {
public:
    template <typename Emit>
    void feed(const unsigned char* p, std::size_t n, Emit&& emit) {
        for (std::size_t i = 0; i < n; ++i) {
            unsigned char b = p[i];
            if (need_ == 0) {
                if (b >= 0xE0 && b < 0xF0 && i + 2 < n) {
                    // A whole three-byte sequence, the common case of Korean text.
                    long v = (static_cast<long>(b) - 0xE0) * 4096 + (static_cast<long>(p[i + 1]) - 0x80) * 64 +
                             (static_cast<long>(p[i + 2]) - 0x80);
                    auto u = static_cast<char32_t>(static_cast<unsigned long>(v) & 0xFFFF);
                    emit(isSurrogate(u) ? replacementCharacter : u);
                    i += 2;
                    continue;
                }
                if (b < 0xC0) {
                    emit(static_cast<char32_t>(b));
                    continue;
                }
                if (b >= 0xF8) {
                    emit(replacementCharacter);
                    continue;
                }
                first_ = b;
                need_ = b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
                total_ = need_;
                value_ = 0;
                continue;
            }
            value_ = value_ * 64 + (static_cast<long>(b) - 0x80);
            if (--need_ == 0) emit(finish());
        }
    }
    // The end of the data inside a sequence drops the incomplete character.
    void reset() { need_ = 0; }

private:
    char32_t finish() const {
        long v;
        if (total_ == 1) v = (static_cast<long>(first_) - 0xC0) * 64 + value_;
        else if (total_ == 2) v = (static_cast<long>(first_) - 0xE0) * 4096 + value_;
        else v = (static_cast<long>(first_) - 0xF0) * 262144 + value_;
        if (total_ == 3 && v >= 0x10000 && v <= 0x10FFFF) return static_cast<char32_t>(v);
        if (total_ == 3 && (v < 0 || v > 0x10FFFF)) return replacementCharacter;
        auto u = static_cast<char32_t>(static_cast<unsigned long>(v) & 0xFFFF);  // the low 16 bits
        return isSurrogate(u) ? replacementCharacter : u;
    }

    unsigned char first_ = 0;
    int need_ = 0;
    int total_ = 0;
    long value_ = 0;
};

// UTF-16 code units; a surrogate pair gives its whole code point, a lone
// surrogate U+FFFD.
class Utf16Decoder {
public:
    explicit Utf16Decoder(bool bigEndian) : bigEndian_(bigEndian) {}

    template <typename Emit>
    void feed(const unsigned char* p, std::size_t n, Emit&& emit) {
        for (std::size_t i = 0; i < n; ++i) {
            if (!haveByte_) {
                byte_ = p[i];
                haveByte_ = true;
                continue;
            }
            haveByte_ = false;
            char32_t unit = bigEndian_ ? (char32_t{byte_} << 8 | p[i]) : (char32_t{p[i]} << 8 | byte_);
            unit_(unit, emit);
        }
    }
    template <typename Emit>
    void finish(Emit&& emit) {
        // A last odd byte is dropped; a high surrogate without its pair is lone.
        if (high_ != 0) emit(replacementCharacter);
        high_ = 0;
    }

private:
    template <typename Emit>
    void unit_(char32_t unit, Emit& emit) {
        if (high_ != 0) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                emit(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00));
                high_ = 0;
                return;
            }
            emit(replacementCharacter);
            high_ = 0;
        }
        if (unit >= 0xD800 && unit <= 0xDBFF) high_ = unit;
        else emit(isSurrogate(unit) ? replacementCharacter : unit);
    }

    bool bigEndian_;
    bool haveByte_ = false;
    unsigned char byte_ = 0;
    char32_t high_ = 0;
};

std::string describe(const char* what, const char* path, int err) {
    return std::string(what) + " " + path + ": " + std::strerror(err);
}

}  // namespace

std::string utf8ToAnsi(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    Utf8Decoder decoder;
    decoder.feed(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size(),
                 AnsiWriter(out));
    return out;
}

int normaliseListFile(const char* listPath, const char* scratchPath, std::string* failure) {
    File in(std::fopen(listPath, "rb"));
    if (!in) return listNotFound;

    unsigned char head[3] = {0, 0, 0};
    std::size_t headBytes = std::fread(head, 1, 2, in.get());
    if (headBytes < 2 && std::ferror(in.get())) {
        // A folder, or a file that cannot be read: no list to convert.
        if (failure) *failure = describe("cannot read", listPath, errno ? errno : EIO);
        return listNotFound;
    }
    int encoding = encodingAnsi;
    if (headBytes == 2 && head[0] == 0xEF && head[1] == 0xBB) {
        if (std::fread(head + 2, 1, 1, in.get()) == 1 && head[2] == 0xBF) {
            encoding = encodingUtf8;
        }
    } else if (headBytes == 2 && head[0] == 0xFE && head[1] == 0xFF) {
        encoding = encodingUtf16Be;
    } else if (headBytes == 2 && head[0] == 0xFF && head[1] == 0xFE) {
        encoding = encodingUtf16Le;
    }
    if (encoding == encodingAnsi) {
        in.reset();
        std::printf("Input Text Ecoding: ANSI or UTF-8 without BOM.\n");
        std::printf("System regards %s as ANSI encoding.\n", listPath);
        return encodingAnsi;
    }

    File out(std::fopen(scratchPath, "wb"));
    if (!out) {
        if (failure) *failure = describe("cannot create", scratchPath, errno);
        return scratchNotCreatable;
    }

    std::string block(1 << 16, '\0');
    std::string ansi;
    ansi.reserve(block.size() * 2);
    AnsiWriter emit(ansi);
    Utf8Decoder utf8;
    Utf16Decoder utf16(encoding == encodingUtf16Be);
    bool writeFailed = false;
    int readError = 0;
    for (;;) {
        std::size_t n = std::fread(block.data(), 1, block.size(), in.get());
        ansi.clear();
        const auto* bytes = reinterpret_cast<const unsigned char*>(block.data());
        if (encoding == encodingUtf8) utf8.feed(bytes, n, emit);
        else utf16.feed(bytes, n, emit);
        if (n == 0 && encoding != encodingUtf8) utf16.finish(emit);
        if (!ansi.empty() && std::fwrite(ansi.data(), 1, ansi.size(), out.get()) != ansi.size()) {
            writeFailed = true;
            break;
        }
        if (n == 0) {
            if (std::ferror(in.get())) readError = errno ? errno : EIO;
            break;
        }
    }
    if (readError != 0) {
        // Only part of the list was read: a scratch list of that part would
        // make outputs that lack the rest.
        out.reset();
        std::remove(scratchPath);
        if (failure) *failure = describe("cannot read", listPath, readError);
        return listNotFound;
    }
    // The reason of the failure as it happens: a buffered write fails only
    // when the buffer is flushed.
    int err = 0;
    if (writeFailed) err = errno ? errno : EIO;
    else if (std::fflush(out.get()) != 0) err = errno ? errno : EIO;
    else if (std::ferror(out.get())) err = EIO;
    if (err != 0) {
        if (failure) *failure = describe("cannot write", scratchPath, err);
        return scratchNotCreatable;
    }
    if (std::fclose(out.release()) != 0) {
        if (failure) *failure = describe("cannot write", scratchPath, errno);
        return scratchNotCreatable;
    }
    return encoding;
}

bool isUtf8WithoutBom(const char* path) {
    File in(std::fopen(path, "rb"));
    if (!in) return false;
    std::string block(1 << 16, '\0');
    bool multiByte = false;
    int need = 0;
    unsigned char first = 0;
    bool start = true;
    for (;;) {
        std::size_t n = std::fread(block.data(), 1, block.size(), in.get());
        if (n == 0) break;
        const auto* p = reinterpret_cast<const unsigned char*>(block.data());
        std::size_t i = 0;
        if (start) {
            start = false;
            if (n >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return false;
        }
        for (; i < n; ++i) {
            unsigned char b = p[i];
            if (need > 0) {
                // Strict: continuation bytes only, no overlong form, no surrogate, nothing beyond U+10FFFF.
                unsigned char lo = 0x80, hi = 0xBF;
                if (first != 0) {
                    if (first == 0xE0) lo = 0xA0;
                    else if (first == 0xED) hi = 0x9F;
                    else if (first == 0xF0) lo = 0x90;
                    else if (first == 0xF4) hi = 0x8F;
                    first = 0;
                }
                if (b < lo || b > hi) return false;
                --need;
                continue;
            }
            if (b < 0x80) continue;
            if (b < 0xC2 || b > 0xF4) return false;
            multiByte = true;
            need = b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
            first = b;
        }
    }
    return multiByte && need == 0;
}

}  // namespace textconv
