// Fault injection: every program, run on a good list file in a folder where
// something cannot be written or read, prints its error line, ends with a
// non-zero status, leaves the list file as it was and leaves every earlier
// output either as it was or replaced whole, never truncated.
//
// Faults that work as root too (the tests run as root in CI): a file or
// folder standing where a file is to be written, a symlink to /dev/full
// (every write fails with ENOSPC, and the library never replaces a device
// by a file), a folder without write permission entered by a process that
// has dropped root's privileges, and a list file that is a FIFO and
// vanishes after the normalisation has read it.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "testsupport/support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::TempDir;

struct Output {
    std::string name;
    const char* errorLine;  // the program's line on standard output, or nullptr (error on stderr only)
    bool converted;         // through the output scratch file (begins with a byte-order mark)
};

struct Program {
    const char* name;
    std::string argument;
    std::string listName;
    std::string fixture;                // source path of the list file
    std::vector<std::string> panorama;  // scene folders given the fixture's pano.xml (Vistacraft)
    std::vector<Output> outputs;
    std::string scratchList;
    std::string outputScratch;
    const char* notFound;  // the program's line for a list file it cannot read
};

// Test names and messages show the program's name (not the raw bytes of the
// record, whose padding is uninitialised).
void PrintTo(const Program& p, std::ostream* os) { *os << p.name; }

std::vector<Program> programs() {
    return {
        {"vistacraft", "Tour.lst", "Tour.lst", "scene/tests/fixtures/small/Tour.lst", {"hall", "court"},
         {{"Tour.xml", "Xml Script Code Conversion Error!", true},
          {"Tour.htm", nullptr, false},
          {"Tourscene.htm", nullptr, false},
          {"loadPanoScene.xml", nullptr, false}},
         "Tour.asc", "Tour.tmp", "Lst File"},
        {"portalcraft", "hall", "hall.lst", "menu/tests/fixtures/example/hall.lst", {},
         {{"hallf.xml", "Enty File Code Conversion Error!", true},
          {"hallm.xml", "Menu File Code Conversion Error!", true},
          {"hallg.xml", "GIS File Code Conversion Error!", true},
          {"hall.kml", "KML File Code Conversion Error!", true},
          {"index.htm", nullptr, false}},
         "hall.asc", "hall.txt", "Lst File"},
        {"netloom", "onto.lst", "onto.lst", "ontology/tests/fixtures/reading_circle.lst", {},
         {{"onto.htm", "Output File Encoding Conversion Error.", true}},
         "onto.asc", "onto.out", "Ontology Plan"},
        {"markwell", "hall", "hall.lst", "menu/tests/fixtures/example/hall.lst", {},
         {{"hallNmap.htm", "Script File Code Conversion Error!", true}},
         "hall.asc", "hall.txt", "Lst File"},
        {"globewell", "hall", "hall.lst", "menu/tests/fixtures/example/hall.lst", {},
         {{"hall.kml", "KML File Code Conversion Error!", true}},
         "hall.asc", "hall.txt", "Lst File"},
    };
}

std::string earlier(const std::string& name) { return "earlier " + name + "\n"; }

// A folder with the program's list file (UTF-8 with byte-order mark, so that
// a scratch list is written, or ANSI), its panoramas, and an earlier version
// of every output.
class Site {
public:
    Site(const Program& p, bool bom) : program_(p) {
        fs::create_directory(dir());
        list_ = (bom ? testsupport::bom : std::string()) + testsupport::readFile(testsupport::sourcePath(p.fixture));
        testsupport::writeFile(path(p.listName), list_);
        for (const std::string& scene : p.panorama) {
            fs::create_directory(path(scene));
            testsupport::writeFile(path(scene + "/pano.xml"),
                                   testsupport::readFile(testsupport::sourcePath(
                                       "scene/tests/fixtures/small/" + scene + "/pano.xml")));
        }
        for (const Output& o : p.outputs) testsupport::writeFile(path(o.name), earlier(o.name));
    }

    const TempDir& temp() const { return temp_; }
    std::string dir() const { return temp_ / "site"; }
    std::string path(const std::string& name) const { return dir() + "/" + name; }

    // Puts a folder or a symlink to /dev/full where a file is to be written.
    void block(const std::string& name, bool fullDisk) {
        fs::remove(path(name));
        if (fullDisk) fs::create_symlink("/dev/full", path(name));
        else fs::create_directory(path(name));
    }

    testsupport::Result run() const {
        return testsupport::run(testsupport::programPath(program_.name), {program_.argument}, dir());
    }

    // The list file as it was, no partial output left, and every earlier
    // output unchanged or replaced by a whole new one.
    void checkSafe(const std::string& blocked = "") const {
        EXPECT_EQ(testsupport::readFile(path(program_.listName)), list_) << "the list file changed";
        for (const std::string& name : testsupport::listDir(dir()))
            EXPECT_EQ(name.find(".partial-"), std::string::npos) << "left behind: " << name;
        for (const Output& o : program_.outputs) {
            if (o.name == blocked) continue;
            std::string now = testsupport::readFile(path(o.name));
            if (now == earlier(o.name)) continue;
            if (o.converted) {
                EXPECT_EQ(now.rfind(testsupport::bom, 0), 0u) << o.name << " is not whole";
            }
            EXPECT_TRUE(now.size() > 40 && (now.ends_with(">\r\n") || now.ends_with("> \r\n")))
                << o.name << " is not whole";
        }
    }

    void checkBlockedStays(const std::string& name, bool fullDisk) const {
        if (fullDisk) {
            EXPECT_TRUE(fs::is_symlink(path(name))) << name << " was replaced";
            EXPECT_EQ(fs::read_symlink(path(name)), "/dev/full");
        } else {
            EXPECT_TRUE(fs::is_directory(path(name))) << name << " was replaced";
        }
    }

    // Whether each output still holds its earlier version.
    bool untouched(const Output& o) const { return testsupport::readFile(path(o.name)) == earlier(o.name); }

private:
    const Program& program_;
    TempDir temp_;
    std::string list_;
};

std::string diagnostics(const testsupport::Result& r) { return "stdout:\n" + r.out + "\nstderr:\n" + r.err; }

class Faults : public ::testing::TestWithParam<Program> {};

// The scratch list cannot be created (a folder stands there) or cannot be
// written (disk full): the run ends before any output is touched.
TEST_P(Faults, ScratchListNotWritable) {
    const Program& p = GetParam();
    for (bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "disk full" : "folder in the way");
        Site site(p, true);
        site.block(p.scratchList, fullDisk);
        testsupport::Result r = site.run();
        EXPECT_EQ(r.status, 1) << diagnostics(r);
        EXPECT_NE(r.out.find("Scratch File Creation Error: -2\n"), std::string::npos) << diagnostics(r);
        EXPECT_NE(r.err.find(std::string(p.name) + ": error: "), std::string::npos) << diagnostics(r);
        // The message names the reason (it once named a stale one).
        EXPECT_NE(r.err.find(fullDisk ? "No space left on device" : "Is a directory"), std::string::npos)
            << diagnostics(r);
        for (const Output& o : p.outputs) EXPECT_TRUE(site.untouched(o)) << o.name;
        site.checkSafe();
    }
}

// The output scratch file cannot be created or written: no converted output
// is touched.
TEST_P(Faults, OutputScratchNotWritable) {
    const Program& p = GetParam();
    for (bool fullDisk : {false, true}) {
        SCOPED_TRACE(fullDisk ? "disk full" : "folder in the way");
        Site site(p, true);
        site.block(p.outputScratch, fullDisk);
        testsupport::Result r = site.run();
        EXPECT_EQ(r.status, 1) << diagnostics(r);
        EXPECT_NE(r.err.find(std::string(p.name) + ": error: "), std::string::npos) << diagnostics(r);
        for (const Output& o : p.outputs)
            if (o.converted) {
                EXPECT_TRUE(site.untouched(o)) << o.name;
            }
        site.checkSafe();
    }
}

// One output cannot be created (a folder stands at its name) or written
// (a symlink to /dev/full): its error line, status 1, the other outputs
// written whole.
TEST_P(Faults, OutputNotWritable) {
    const Program& p = GetParam();
    for (const Output& o : p.outputs) {
        for (bool fullDisk : {false, true}) {
            SCOPED_TRACE(o.name + (fullDisk ? ": disk full" : ": folder in the way"));
            Site site(p, true);
            site.block(o.name, fullDisk);
            testsupport::Result r = site.run();
            EXPECT_EQ(r.status, 1) << diagnostics(r);
            if (o.errorLine) {
                EXPECT_NE(r.out.find(o.errorLine), std::string::npos) << diagnostics(r);
            }
            EXPECT_NE(r.err.find(std::string(p.name) + ": error: "), std::string::npos) << diagnostics(r);
            site.checkBlockedStays(o.name, fullDisk);
            site.checkSafe(o.name);
            for (const Output& other : p.outputs)
                if (other.name != o.name) {
                    EXPECT_FALSE(site.untouched(other)) << other.name << " was not written";
                }
        }
    }
}

// Runs a program as an unprivileged user when the test runs as root, so
// that a folder without write permission stops it as it stops any user.
testsupport::Result runUnprivileged(const std::string& program, const std::string& argument, const std::string& cwd,
                                    const std::string& captureDir) {
    const std::string outPath = captureDir + "/stdout", errPath = captureDir + "/stderr";
    pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        int in = open("/dev/null", O_RDONLY);
        int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
        if (getuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)) _exit(125);
        if (chdir(cwd.c_str()) != 0) _exit(124);
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()), nullptr};
        execv(program.c_str(), argv);
        _exit(127);
    }
    int wstatus = 0;
    while (waitpid(pid, &wstatus, 0) < 0) {
    }
    testsupport::Result r;
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    r.out = testsupport::readFile(outPath);
    r.err = testsupport::readFile(errPath);
    return r;
}

// The list folder cannot be written: with a UTF-8 list the scratch list
// cannot be created; with an ANSI list the run gets to the outputs, and
// none of them can be written.
TEST_P(Faults, FolderNotWritable) {
    const Program& p = GetParam();
    for (bool bom : {true, false}) {
        SCOPED_TRACE(bom ? "UTF-8 list" : "ANSI list");
        Site site(p, bom);
        // The program, its folder and the site must be reachable for the
        // unprivileged user: a copy of the program in the test's folder.
        const std::string copy = site.temp() / p.name;
        fs::copy_file(testsupport::programPath(p.name), copy);
        const std::string capture = site.temp() / "capture";
        fs::create_directory(capture);
        fs::permissions(site.temp().path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                                fs::perms::others_read | fs::perms::others_exec);
        fs::permissions(capture, fs::perms::all);
        for (const auto& entry : fs::recursive_directory_iterator(site.dir()))
            fs::permissions(entry.path(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                              fs::perms::others_read | fs::perms::others_exec);
        const auto readOnly = fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                              fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec;
        for (const std::string& scene : p.panorama) fs::permissions(site.path(scene), readOnly);
        fs::permissions(site.dir(), readOnly);

        testsupport::Result r = runUnprivileged(copy, p.argument, site.dir(), capture);
        fs::permissions(site.dir(), fs::perms::owner_all, fs::perm_options::add);
        ASSERT_LT(r.status, 124) << "could not start the program unprivileged: " << r.status;
        EXPECT_EQ(r.status, 1) << diagnostics(r);
        EXPECT_NE(r.err.find(std::string(p.name) + ": error: "), std::string::npos) << diagnostics(r);
        if (bom) {
            EXPECT_NE(r.out.find("Scratch File Creation Error: -2\n"), std::string::npos) << diagnostics(r);
        }
        for (const Output& o : p.outputs) EXPECT_TRUE(site.untouched(o)) << o.name;
        site.checkSafe();
    }
}

// The list file vanishes between its normalisation and its reading.  The
// list is a FIFO: the normalisation reads the first bytes of an ANSI list
// from it; the FIFO is then removed while the program is about to open the
// list again to read it.
TEST_P(Faults, ListVanishesAfterNormalisation) {
    const Program& p = GetParam();
    Site site(p, false);
    const std::string list = site.path(p.listName);
    fs::remove(list);
    ASSERT_EQ(mkfifo(list.c_str(), 0644), 0) << std::strerror(errno);
    const std::string capture = site.temp() / "capture";
    fs::create_directory(capture);

    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        int out = open((capture + "/stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open((capture + "/stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(site.dir().c_str()) != 0) _exit(126);
        const std::string program = testsupport::programPath(p.name);
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(p.argument.c_str()), nullptr};
        execv(program.c_str(), argv);
        _exit(127);
    }
    // A writer can open the FIFO only while the program has it open for
    // reading: first for the normalisation, which gets the start of an ANSI
    // list, then for the reading, which finds it gone.
    auto openWriter = [&] {
        for (int tries = 0; tries < 2000; ++tries) {
            int fd = open(list.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) return fd;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return -1;
    };
    signal(SIGPIPE, SIG_IGN);
    int fd = openWriter();
    ASSERT_GE(fd, 0) << "the program never opened its list file";
    const char start[] = "#PROJECT\n";
    ASSERT_EQ(write(fd, start, sizeof start - 1), static_cast<ssize_t>(sizeof start - 1));
    close(fd);
    fd = openWriter();
    ASSERT_GE(fd, 0) << "the program never opened its list file again";
    fs::remove(list);
    close(fd);

    int wstatus = 0;
    bool ended = false;
    for (int tries = 0; tries < 2000 && !ended; ++tries) {
        if (waitpid(pid, &wstatus, WNOHANG) == pid) ended = true;
        else std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &wstatus, 0);
        FAIL() << "the program hung on a vanished list file";
    }
    testsupport::Result r;
    r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : 128 + WTERMSIG(wstatus);
    r.out = testsupport::readFile(capture + "/stdout");
    r.err = testsupport::readFile(capture + "/stderr");
    EXPECT_EQ(r.status, 1) << diagnostics(r);
    EXPECT_NE(r.err.find(std::string(p.name) + ": error: cannot read " + p.listName), std::string::npos)
        << diagnostics(r);
    for (const Output& o : p.outputs) EXPECT_TRUE(site.untouched(o)) << o.name;
    for (const std::string& name : testsupport::listDir(site.dir()))
        EXPECT_EQ(name.find(".partial-"), std::string::npos) << "left behind: " << name;
    EXPECT_FALSE(fs::exists(site.path(p.scratchList)));
}

// A list file that is not there, or that cannot be read (a folder stands
// at its name): the program's own line, status 1, no output touched.  (An
// unreadable list once gave outputs of an empty list over the earlier ones.)
TEST_P(Faults, ListMissingOrUnreadable) {
    const Program& p = GetParam();
    for (bool folder : {false, true}) {
        SCOPED_TRACE(folder ? "a folder at the list's name" : "no list");
        Site site(p, true);
        fs::remove(site.path(p.listName));
        if (folder) fs::create_directory(site.path(p.listName));
        testsupport::Result r = site.run();
        EXPECT_EQ(r.status, 1) << diagnostics(r);
        EXPECT_NE(r.out.find(std::string(p.notFound) + " \"" + p.listName + "\" Not Found!"), std::string::npos)
            << diagnostics(r);
        if (folder) {
            EXPECT_NE(r.err.find(std::string(p.name) + ": error: cannot read " + p.listName), std::string::npos)
                << diagnostics(r);
        }
        for (const Output& o : p.outputs) EXPECT_TRUE(site.untouched(o)) << o.name;
        EXPECT_FALSE(fs::exists(site.path(p.scratchList)));
        EXPECT_FALSE(fs::exists(site.path(p.outputScratch)));
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, Faults, ::testing::ValuesIn(programs()),
                         [](const ::testing::TestParamInfo<Program>& param) { return std::string(param.param.name); });

}  // namespace
