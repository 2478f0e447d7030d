#include "testsupport/support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "halvane-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
    path_ = buffer.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    // Folders a test made read-only must become writable again to be removed.
    for (auto it = fs::recursive_directory_iterator(path_, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error("cannot write " + path);
    out << bytes;
}

bool exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

std::vector<std::string> listDir(const std::string& path) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(path)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string sourcePath(const std::string& relative) { return std::string(HALVANE_SOURCE_DIR) + "/" + relative; }
std::string programPath(const std::string& name) { return std::string(HALVANE_BIN_DIR) + "/" + name; }

std::string crlf(const std::string& lf) {
    std::string out;
    out.reserve(lf.size() + lf.size() / 16);
    for (char c : lf) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

Result run(const std::string& program, const std::vector<std::string>& args, const std::string& cwd) {
    TempDir capture;
    std::string outPath = capture / "stdout", errPath = capture / "stderr";
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int in = open("/dev/null", O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
        if (!cwd.empty() && chdir(cwd.c_str()) != 0) _exit(126);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0) {
    }
    Result r;
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    r.out = readFile(outPath);
    r.err = readFile(errPath);
    return r;
}

static bool runTool(const std::string& commandLine, std::string* message) {
    TempDir capture;
    std::string log = capture / "log";
    int rc = std::system((commandLine + " >" + log + " 2>&1").c_str());
    if (message) *message = readFile(log);
    return rc == 0;
}

static std::string shellQuoted(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

bool xmlWellFormed(const std::string& path, std::string* message) {
    return runTool("xmllint --noout " + shellQuoted(path), message);
}

bool scriptsParse(const std::string& htmlPath, std::string* message) {
    std::string html = readFile(htmlPath);
    TempDir work;
    size_t pos = 0;
    int count = 0;
    std::string all;
    while ((pos = html.find("<script", pos)) != std::string::npos) {
        size_t tagEnd = html.find('>', pos);
        if (tagEnd == std::string::npos) break;
        std::string tag = html.substr(pos, tagEnd - pos);
        size_t close = html.find("</script>", tagEnd);
        if (close == std::string::npos) {
            if (message) *message = "unterminated <script> element";
            return false;
        }
        if (tag.find("src=") == std::string::npos) {
            std::string file = work / ("script" + std::to_string(count++) + ".js");
            writeFile(file, html.substr(tagEnd + 1, close - tagEnd - 1));
            std::string msg;
            if (!runTool("node --check " + shellQuoted(file), &msg)) {
                if (message) *message = msg;
                return false;
            }
        }
        pos = close + 9;
    }
    if (message) message->clear();
    return true;
}

}  // namespace testsupport
