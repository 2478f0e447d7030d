#include "textconv/textfile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#if defined(_WIN32)
#include <process.h>
#define getpid _getpid
#else
#include <unistd.h>
#endif

namespace textconv {

// ---- TextReader ----------------------------------------------------------

bool TextReader::open(const std::string& path) {
    close();
    file_ = std::fopen(path.c_str(), "rb");
    pos_ = end_ = 0;
    readFailed_ = false;
    return file_ != nullptr;
}

void TextReader::close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

bool TextReader::fill() {
    if (!file_) return false;
    pos_ = 0;
    end_ = std::fread(buffer_, 1, sizeof buffer_, file_);
    if (end_ == 0 && std::ferror(file_)) readFailed_ = true;
    return end_ > 0;
}

int TextReader::get() {
    if (pos_ == end_ && !fill()) return EOF;
    unsigned char c = static_cast<unsigned char>(buffer_[pos_++]);
    if (c == '\r') {
        if (pos_ == end_ && !fill()) return '\r';
        if (buffer_[pos_] == '\n') {
            ++pos_;
            return '\n';
        }
    }
    return c;
}

bool TextReader::readPiece(std::string& piece, std::size_t maxBytes) {
    piece.clear();
    while (piece.size() < maxBytes) {
        int c = get();
        if (c == EOF) break;
        piece += static_cast<char>(c);
        if (c == '\n') break;
    }
    return !piece.empty();
}

// ---- TextWriter ----------------------------------------------------------

namespace {

constexpr std::size_t flushAt = 1 << 16;

// A fresh name beside path for writing the new content.
std::string partialPath(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return path + ".partial-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

TextWriter::~TextWriter() { abandon(); }

void TextWriter::fail(const char* what, const std::string& path, int err) {
    if (!failed_) error_ = std::string(what) + " " + path + ": " + std::strerror(err);
    failed_ = true;
}

bool TextWriter::open(const std::string& path, Mode mode) {
    abandon();
    path_ = path;
    mode_ = mode;
    failed_ = false;
    error_.clear();
    buffer_.clear();
    std::error_code ec;
    auto type = std::filesystem::status(path, ec).type();
    if (mode == Mode::replace && type != std::filesystem::file_type::not_found &&
        type != std::filesystem::file_type::regular) {
        mode_ = Mode::direct;  // a device or pipe is written in place, never replaced by a file
    }
    if (mode_ == Mode::replace) {
        // An existing output that may not be written stays as it is, as
        // truncating it in place would have failed.
        if (type == std::filesystem::file_type::regular) {
            std::FILE* probe = std::fopen(path.c_str(), "r+b");
            if (!probe) {
                fail("cannot write", path, errno);
                return false;
            }
            std::fclose(probe);
        }
        writePath_ = partialPath(path);
        file_ = std::fopen(writePath_.c_str(), "wbx");
    } else {
        writePath_ = path;
        file_ = std::fopen(path.c_str(), "wb");
    }
    if (!file_) {
        fail("cannot create", path, errno);
        return false;
    }
    return true;
}

void TextWriter::flushBuffer() {
    if (!file_ || buffer_.empty()) return;
    if (!failed_ && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size())
        fail("cannot write", path_, errno);
    buffer_.clear();
}

void TextWriter::write(std::string_view text) {
    if (!file_) return;
    std::size_t start = 0;
    for (;;) {
        std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            buffer_.append(text.substr(start));
            break;
        }
        buffer_.append(text.substr(start, lf - start));
        buffer_ += "\r\n";
        start = lf + 1;
    }
    if (buffer_.size() >= flushAt) flushBuffer();
}

void TextWriter::writeRaw(std::string_view bytes) {
    if (!file_) return;
    if (bytes.size() < flushAt) {
        buffer_.append(bytes);
        if (buffer_.size() >= flushAt) flushBuffer();
        return;
    }
    flushBuffer();
    if (!failed_ && std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) fail("cannot write", path_, errno);
}

void TextWriter::printf(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
}

void TextWriter::vprintf(const char* format, std::va_list args) {
    char small[512];
    std::va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) {
        fail("cannot format text for", path_, EINVAL);
        return;
    }
    if (static_cast<std::size_t>(n) < sizeof small) {
        write(std::string_view(small, static_cast<std::size_t>(n)));
        return;
    }
    std::string large(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(large.data(), large.size(), format, args);
    large.resize(static_cast<std::size_t>(n));
    write(large);
}

bool TextWriter::close() {
    if (!file_) return false;
    flushBuffer();
    if (!failed_ && std::fflush(file_) != 0) fail("cannot write", path_, errno);
    if (!failed_ && std::ferror(file_)) fail("cannot write", path_, EIO);
    if (std::fclose(file_) != 0 && !failed_) fail("cannot write", path_, errno);
    file_ = nullptr;
    if (failed_) {
        if (mode_ == Mode::replace) std::remove(writePath_.c_str());
        return false;
    }
    if (mode_ == Mode::replace) {
        std::error_code ec;
        std::filesystem::rename(writePath_, path_, ec);  // replaces an existing file on every platform
        if (ec) {
            fail("cannot replace", path_, ec.value());
            std::remove(writePath_.c_str());
            return false;
        }
    }
    return true;
}

void TextWriter::abandon() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    if (mode_ == Mode::replace) std::remove(writePath_.c_str());
}

}  // namespace textconv
