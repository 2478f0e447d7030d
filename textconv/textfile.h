// Files read and written as Windows text mode does it, on every platform:
// reading drops a CR that stands right before a LF, writing turns every LF
// into CR LF.  So generated files are byte-identical everywhere.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <string>
#include <string_view>

namespace textconv {

class TextReader {
public:
    TextReader() = default;
    explicit TextReader(const std::string& path) { open(path); }
    ~TextReader() { close(); }
    TextReader(const TextReader&) = delete;
    TextReader& operator=(const TextReader&) = delete;

    bool open(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }
    void close();

    // The next piece of a line: at most maxBytes bytes, ending after a LF or
    // where the limit is reached (the rest of the line is the next piece).
    // Returns false at the end of the file or after a read error.
    bool readPiece(std::string& piece, std::size_t maxBytes);
    // A whole line, its LF included when it has one.
    bool readLine(std::string& line) { return readPiece(line, std::string::npos); }

    bool readFailed() const { return readFailed_; }

private:
    int get();
    bool fill();

    std::FILE* file_ = nullptr;
    char buffer_[1 << 16];
    std::size_t pos_ = 0;
    std::size_t end_ = 0;
    bool readFailed_ = false;
};

class TextWriter {
public:
    enum class Mode {
        direct,    // create or truncate the file itself (scratch files)
        replace,   // write beside it, move into place on a good close
    };

    TextWriter() = default;
    ~TextWriter();
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    // Returns false (and sets error()) when the file cannot be created.
    bool open(const std::string& path, Mode mode);
    bool isOpen() const { return file_ != nullptr; }

    void write(std::string_view text);
    // Writes bytes as they are: for text whose line ends are CR LF already.
    void writeRaw(std::string_view bytes);
    void printf(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void vprintf(const char* format, std::va_list args);

    // Flushes and closes; in replace mode moves the file into place.  False
    // when anything failed since open: the file is then removed (replace
    // mode: the earlier file stays as it was).
    bool close();
    // Closes without keeping anything written (replace mode), or just closes.
    void abandon();

    bool failed() const { return failed_; }
    // What went wrong, for a message: "cannot write x: No space left on device".
    const std::string& error() const { return error_; }

private:
    void flushBuffer();
    void fail(const char* what, const std::string& path, int err);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string writePath_;
    Mode mode_ = Mode::direct;
    std::string buffer_;
    bool failed_ = false;
    std::string error_;
};

}  // namespace textconv
