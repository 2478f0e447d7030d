// What every converter does alike: the command line, the console, warnings
// and exit status, paths, reading the list file and writing outputs.
#pragma once

#include <cstdarg>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "textconv/textfile.h"

namespace frontend {

// ---- exit status -------------------------------------------------------------
inline constexpr int exitOk = 0;       // every output was written
inline constexpr int exitFailed = 1;   // the run failed, or an output was not written
inline constexpr int exitUsage = 2;    // no argument, or an argument that is refused

struct ProgramInfo {
    const char* command;  // lower-case program name for diagnostics: "vistacraft"
    const char* usage;    // usage text as printed: "\nUsage: Vistacraft <Halvane Scene Script> \n"
    const char* banner;   // banner, printed without a line feed
};

// One run of a converter: console lines, diagnostics and the exit status.
class Run {
public:
    Run(const ProgramInfo& info, int argc, char** argv);

    // Handles no argument (usage, status 2), --help/-h (usage, status 0) and
    // --version (banner line, status 0); otherwise prints the banner and the
    // credit line and returns true.
    bool begin();

    // All arguments joined with one blank between each two.
    const std::string& argument() const { return argument_; }

    // A line on standard output (format as stored, with its own "\n").
    void say(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // "<command>: warning: <message>" on standard error.
    void warning(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // "<command>: warning: <file>:<line>: <message>" on standard error.
    void warningAt(const std::string& file, long line, const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 4, 5)))
#endif
        ;
    void vwarningAt(const std::string& file, long line, const char* format, std::va_list args);
    // "<command>: error: <message>" on standard error; the run has failed.
    void error(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // An error that refuses the argument: the exit status becomes 2.
    void refuse(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    // The run has failed without a message of its own (the program printed its line).
    void markFailed();

    int exitStatus() const { return status_; }
    const char* command() const { return info_.command; }

private:
    ProgramInfo info_;
    std::vector<std::string> args_;
    std::string argument_;
    int status_ = exitOk;
};

// ---- texts -------------------------------------------------------------------

// A text taken from the command line as ANSI.  Outputs written directly in
// UTF-8 escape it as ANSI and then convert it, like every converted output.
std::string commandTextAnsi(const std::string& text);
// An ANSI text from a list file as the console shows it.
std::string consoleText(std::string_view ansi);
// An ANSI text from a list file (a folder name, say) as a file name.
std::string fileSystemText(std::string_view ansi);

// ---- paths -------------------------------------------------------------------
// Both '\' and '/' separate directories; derived paths are joined with the
// platform's own separator; a dot is an extension dot only inside the last
// component.

bool isSeparator(char c);
inline constexpr char separator =
#if defined(_WIN32)
    '\\';
#else
    '/';
#endif

// Position of the last separator, or npos.
std::size_t lastSeparator(std::string_view path);
// The directory part (before the last separator; empty when none) and the
// last component.
std::string_view directoryPart(std::string_view path);
std::string_view lastComponent(std::string_view path);
// Position in path of the first or last dot inside the last component, or
// npos.  A dot that begins the component ("." and "..", hidden files) does not count.
std::size_t firstExtensionDot(std::string_view path);
std::size_t lastExtensionDot(std::string_view path);
// dir and name joined by the platform's separator; name alone when dir is empty
// (the current directory is meant).
std::string joinPath(std::string_view dir, std::string_view name);

// True when both paths name the same file (an existing one, or the same
// place when it does not exist yet).
bool sameFile(const std::string& a, const std::string& b);
// Refuses the run (status 2, a message naming the clash) when the list file
// is one of the paths the run writes or deletes.  A list file saved under
// another extension than .lst (as Notepad saves .txt) is told to be renamed.
// Returns true when refused.
bool refuseListClash(Run& run, const std::string& listPath, const std::vector<std::string>& writtenPaths);

// The names of a run whose argument gives the list file with or without its
// extension: the stem is the argument cut at the first extension dot, the
// list path the argument itself when it has that dot, else the stem with ".lst".
struct StemNames {
    std::string stem;
    std::string listPath;
};
StemNames stemNames(const std::string& argument);

bool removeFile(const std::string& path);

// ---- the list file -----------------------------------------------------------

// Lines of list files are read in pieces of at most this many bytes.
inline constexpr std::size_t listPieceBytes = 999;

// The list file of a run: normalised to ANSI, then read line by line.
class ListFile {
public:
    ListFile(Run& run, std::string listPath, std::string scratchPath);
    ~ListFile();

    // Normalises the list file and prints the library's lines, then either
    // the error line (notFoundFormat with the list path, or the scratch-list
    // line) or the encoding line.  Opens the ANSI text for reading.  False
    // when the run ends here (the run is marked failed).
    bool open(const char* notFoundFormat);
    int encoding() const { return encoding_; }

    // The next record line: a piece of at most 999 bytes, its LF included
    // when it has one; lines shorter than 5 bytes are skipped.  A line with a
    // NUL byte ends at it, and a line longer than 999 bytes is cut into
    // pieces, each with a warning.
    bool nextLine(std::string& line);
    // The line number in the list file of the line just read.
    long lineNumber() const { return lineNumber_; }
    // A warning about the line just read.
    void warn(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // Closes the text and deletes the scratch list when one was written.
    void close();

    const std::string& listPath() const { return listPath_; }

private:
    Run& run_;
    std::string listPath_;
    std::string scratchPath_;
    int encoding_ = -1;
    textconv::TextReader reader_;
    long lineNumber_ = 0;
    long nextLineNumber_ = 1;
    bool midLine_ = false;
    bool scratchWritten_ = false;
};

// ---- outputs -----------------------------------------------------------------

// Writes a file directly (pages, loader), moving it into place only when it
// is whole.  Returns false (after an error line) when it could not be written.
bool writeDirect(Run& run, const std::string& path,
                 const std::function<void(textconv::TextWriter&)>& write);

// The output scratch file of a run, reused for each converted output.
class ScratchOutput {
public:
    ScratchOutput(Run& run, std::string scratchPath);
    ~ScratchOutput();

    // Creates the scratch file anew, fills it with write() and closes it.
    // False when it could not be written (an error line is printed) or when
    // write() returned false (nothing is printed; what was written stays).
    bool write(const std::function<bool(textconv::TextWriter&)>& write);
    // Converts the scratch file into outputPath and prints the library's
    // lines.  False when the conversion failed (a description of a failure
    // the library does not print goes to standard error); the run is then
    // marked failed.  The caller prints its own success or error line.
    bool convertTo(const std::string& outputPath);

    void remove();

private:
    Run& run_;
    std::string scratchPath_;
};

}  // namespace frontend
