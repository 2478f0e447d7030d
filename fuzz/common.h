// Helpers shared by the fuzz targets: a fresh folder per input, whole-file
// reading and writing, a check that aborts with a message, and the
// well-formedness check of XML outputs (libxml2).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <unistd.h>

#include <libxml/parser.h>

namespace fuzz {

// Where failed checks are reported: a copy of standard error taken before
// libFuzzer closes it (-close_fd_mask=2 mutes the programs' warnings).
inline int& reportFd() {
    static int fd = 2;
    return fd;
}
inline void keepReportChannel() {
    int fd = dup(2);
    if (fd >= 0) reportFd() = fd;
}

[[noreturn]] inline void fail(const char* what, const std::string& detail) {
    std::fflush(stderr);
    dprintf(reportFd(), "\n==== fuzz check failed: %s\n%s\n", what, detail.c_str());
    std::abort();
}

#define FUZZ_CHECK(cond, detail)                          \
    do {                                                  \
        if (!(cond)) ::fuzz::fail(#cond, (detail));       \
    } while (0)

inline std::string readFile(const std::string& path) {
    std::string bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[1 << 14];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

inline bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) fail("cannot create a fuzz input file", path);
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
        fail("cannot write a fuzz input file", path);
}

// A fresh folder for one input, in memory (/dev/shm) when the machine has it.
class Folder {
public:
    Folder() {
        static const std::string base = [] {
            std::error_code ec;
            if (std::filesystem::is_directory("/dev/shm", ec)) return std::string("/dev/shm");
            return std::filesystem::temp_directory_path().string();
        }();
        std::string pattern = base + "/halvane-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) fail("cannot create a temporary folder", pattern);
        path_ = pattern;
    }
    ~Folder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// True when bytes is a well-formed XML document; message tells why not.
inline bool xmlWellFormed(const std::string& bytes, std::string* message) {
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt) fail("libxml2", "cannot create a parser context");
    xmlDocPtr doc = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), "output.xml",
                                      nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    bool ok = doc != nullptr && ctxt->wellFormed;
    if (!ok && message) {
        const xmlError* e = xmlCtxtGetLastError(ctxt);
        *message = e && e->message ? std::string("line ") + std::to_string(e->line) + ": " + e->message
                                   : std::string("not well-formed");
    }
    if (doc) xmlFreeDoc(doc);
    xmlFreeParserCtxt(ctxt);
    return ok;
}

// Checks an XML output of a run when it exists.
inline void checkXmlOutput(const std::string& path) {
    if (!exists(path)) return;
    std::string bytes = readFile(path);
    std::string message;
    if (!xmlWellFormed(bytes, &message)) fail("an XML output is not well-formed", path + ": " + message + "\n" + bytes);
}

// A page's scripts cannot be parsed here; the least a text must not do is
// end a script element early.  The templates open each script element at
// the start of a line, and a text inside a script never begins a line (line
// breaks in strings are escapes), so every "</script" must close one of
// those.
inline void checkScriptElements(const std::string& path) {
    if (!exists(path)) return;
    std::string bytes = readFile(path);
    for (char& c : bytes)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    std::size_t opened = 0, closed = 0;
    for (std::size_t at = bytes.find("</script"); at != std::string::npos; at = bytes.find("</script", at + 1)) ++closed;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::size_t first = bytes.find_first_not_of(" \t\r", start);
        if (first < end && bytes.compare(first, 7, "<script") == 0) ++opened;
        start = end + 1;
    }
    if (opened != closed) fail("a page's script element ends early", path + "\n" + bytes);
}

// Runs a program's main in-process with one argument.
inline int runMain(int (*programMain)(int, char**), const char* program, const std::string& argument) {
    std::string name(program), arg(argument);
    char* argv[] = {name.data(), arg.data(), nullptr};
    int status = programMain(2, argv);
    std::fflush(stdout);
    return status;
}

// Nothing that the writers put beside an output while writing it stays.
inline void checkNoPartialFiles(const Folder& dir) {
    std::error_code ec;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path(), ec))
        if (entry.path().filename().string().find(".partial-") != std::string::npos)
            fail("a partial output was left behind", entry.path().string());
}

// Runs a program's main on the list file at listPath, which holds list, and
// checks what every run keeps, whatever its outcome: the list file as it
// was and no partial output left.  Returns the exit status.
inline int runOnList(int (*programMain)(int, char**), const char* program, const Folder& dir,
                     const std::string& argument, const std::string& listPath, const std::string& list) {
    const int status = runMain(programMain, program, argument);
    FUZZ_CHECK(readFile(listPath) == list, "the list file changed");
    checkNoPartialFiles(dir);
    return status;
}

// Standard output carries the programs' lines: not wanted while fuzzing.
// Also keeps the channel for failed checks.
inline void muteStdout() {
    keepReportChannel();
    if (!std::freopen("/dev/null", "w", stdout)) fail("cannot mute standard output", "/dev/null");
}

}  // namespace fuzz
