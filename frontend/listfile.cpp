// Reading the list file of a run: normalised to ANSI by the library, then
// read line by line in pieces as every list format defines.
#include <cerrno>
#include <cstring>

#include "frontend/frontend.h"
#include "textconv/textconv.h"

namespace frontend {

namespace {
constexpr std::size_t shortestLine = 5;  // a line under 5 bytes, its line feed counted, holds no data
}

ListFile::ListFile(Run& run, std::string listPath, std::string scratchPath)
    : run_(run), listPath_(std::move(listPath)), scratchPath_(std::move(scratchPath)) {}

ListFile::~ListFile() { close(); }

bool ListFile::open(const char* notFoundFormat) {
    std::string failure;
    encoding_ = textconv::normaliseListFile(listPath_.c_str(), scratchPath_.c_str(), &failure);
    if (encoding_ == textconv::listNotFound) {
        run_.say(notFoundFormat, listPath_.c_str());
        if (!failure.empty()) run_.error("%s", failure.c_str());  // it exists but cannot be read
        run_.markFailed();
        return false;
    }
    if (encoding_ == textconv::scratchNotCreatable) {
        run_.say("Scratch File Creation Error: %d\n", encoding_);
        if (!failure.empty()) run_.error("%s", failure.c_str());
        run_.markFailed();
        removeFile(scratchPath_);  // a scratch list that could not be written whole
        return false;
    }
    run_.say("Text Encoding of LST file: %d [0:ANSI 1:UTF-8 2:UTF-16(BE) 3:UTF-16(LE)]\n", encoding_);
    scratchWritten_ = encoding_ > textconv::encodingAnsi;
    if (!scratchWritten_ && textconv::isUtf8WithoutBom(listPath_.c_str()))
        run_.warning("%s is UTF-8 without a byte-order mark and is read as ANSI, so its Korean text comes out "
                     "wrong; save it as UTF-8 with a byte-order mark (BOM)",
                     listPath_.c_str());
    const std::string& text = scratchWritten_ ? scratchPath_ : listPath_;
    if (!reader_.open(text)) {
        run_.error("cannot read %s: %s", text.c_str(), std::strerror(errno));
        close();
        return false;
    }
    return true;
}

bool ListFile::nextLine(std::string& line) {
    for (;;) {
        if (!reader_.readPiece(line, listPieceBytes)) {
            if (reader_.readFailed()) run_.error("cannot read %s", listPath_.c_str());
            return false;
        }
        lineNumber_ = nextLineNumber_;
        bool continued = midLine_;
        bool complete = line.back() == '\n';
        midLine_ = !complete;
        if (complete) ++nextLineNumber_;
        if (!complete && line.size() == listPieceBytes && !continued)
            warn("line longer than %zu bytes: it is read in pieces of %zu bytes, each as a line of its own",
                 listPieceBytes, listPieceBytes);
        if (std::size_t nul = line.find('\0'); nul != std::string::npos) {
            warn("NUL byte in the line: the rest of the line is ignored");
            line.resize(nul);
        }
        if (line.size() >= shortestLine) return true;
    }
}

void ListFile::warn(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    run_.vwarningAt(listPath_, lineNumber_, format, args);
    va_end(args);
}

void ListFile::close() {
    reader_.close();
    if (scratchWritten_) removeFile(scratchPath_);
    scratchWritten_ = false;
}

}  // namespace frontend
