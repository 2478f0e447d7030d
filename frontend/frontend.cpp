// The command line, the console and the exit status of a run.
#include <cstdio>
#include <cstring>

#include "frontend/frontend.h"
#include "settings.h"
#include "textconv/textconv.h"

namespace frontend {

Run::Run(const ProgramInfo& info, int argc, char** argv) : info_(info) {
    for (int i = 1; i < argc; ++i) {
        args_.emplace_back(argv[i]);
        if (i > 1) argument_ += ' ';
        argument_ += argv[i];
    }
}

bool Run::begin() {
    if (args_.empty()) {
        std::printf("%s", info_.usage);
        status_ = exitUsage;
        return false;
    }
    if (args_.size() == 1 && (args_[0] == "--help" || args_[0] == "-h")) {
        std::printf("%s", info_.usage);
        return false;
    }
    if (args_.size() == 1 && args_[0] == "--version") {
        const char* banner = info_.banner;
        while (*banner == '\n') ++banner;
        std::printf("%s\n", banner);
        return false;
    }
    std::printf("%s", info_.banner);
    std::printf("\n%s\n\n", settings::credit);
    return true;
}

void Run::say(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
}

namespace {

void diagnostic(const char* command, const char* kind, const std::string& where, const char* format,
                std::va_list args) {
    std::fflush(stdout);  // keep the order of the two streams on a terminal
    std::fprintf(stderr, "%s: %s: ", command, kind);
    if (!where.empty()) std::fprintf(stderr, "%s: ", where.c_str());
    std::vfprintf(stderr, format, args);
    std::fputc('\n', stderr);
}

}  // namespace

void Run::warning(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    diagnostic(info_.command, "warning", "", format, args);
    va_end(args);
}

void Run::warningAt(const std::string& file, long line, const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    vwarningAt(file, line, format, args);
    va_end(args);
}

void Run::vwarningAt(const std::string& file, long line, const char* format, std::va_list args) {
    diagnostic(info_.command, "warning", file + ":" + std::to_string(line), format, args);
}

void Run::error(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    diagnostic(info_.command, "error", "", format, args);
    va_end(args);
    markFailed();
}

void Run::refuse(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    diagnostic(info_.command, "error", "", format, args);
    va_end(args);
    status_ = exitUsage;
}

void Run::markFailed() {
    if (status_ == exitOk) status_ = exitFailed;
}

// On Windows the command line, the console and file names are ANSI already;
// elsewhere they are UTF-8.
std::string commandTextAnsi(const std::string& text) {
#if defined(_WIN32)
    return text;
#else
    return textconv::utf8ToAnsi(text);
#endif
}

std::string consoleText(std::string_view ansi) {
#if defined(_WIN32)
    return std::string(ansi);
#else
    return textconv::ansiToUtf8(ansi);
#endif
}

std::string fileSystemText(std::string_view ansi) { return consoleText(ansi); }

}  // namespace frontend
