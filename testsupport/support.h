// Helpers for the end-to-end tests: temporary folders, files, running a
// built program, and the real parsers (xmllint, node) that check outputs.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

inline const std::string bom = "\xEF\xBB\xBF";

// A fresh folder below the system's temporary folder, removed on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool exists(const std::string& path);
// Names in a folder, sorted.
std::vector<std::string> listDir(const std::string& path);

// A source file of the repository: sourcePath("scene/tests/fixtures/x").
std::string sourcePath(const std::string& relative);
// A built program: programPath("vistacraft").
std::string programPath(const std::string& name);

// LF line ends to CR LF (for expected texts written in the test source).
std::string crlf(const std::string& lf);

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};
// Runs program with args in the folder cwd; stdin is empty.
Result run(const std::string& program, const std::vector<std::string>& args,
           const std::string& cwd);

// xmllint --noout on a file; message holds what it printed.
bool xmlWellFormed(const std::string& path, std::string* message = nullptr);
// node --check on every inline <script> of an HTML file.
bool scriptsParse(const std::string& htmlPath, std::string* message = nullptr);

}  // namespace testsupport
