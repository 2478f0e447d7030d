#include <gtest/gtest.h>

#include <vector>

#include "frontend/frontend.h"
#include "settings.h"

namespace {

const frontend::ProgramInfo info{"tester", "\nUsage: Tester <List> \n", "\nTester 1.0 (2017/01/01)"};

struct Begun {
    bool goesOn;
    int status;
    std::string out;
    std::string argument;
};

Begun begin(std::vector<std::string> args) {
    std::vector<char*> argv{const_cast<char*>("tester")};
    for (auto& a : args) argv.push_back(a.data());
    frontend::Run run(info, static_cast<int>(argv.size()), argv.data());
    ::testing::internal::CaptureStdout();
    bool goesOn = run.begin();
    return {goesOn, run.exitStatus(), ::testing::internal::GetCapturedStdout(), run.argument()};
}

TEST(Run, CommandLineCases) {
    struct Case {
        std::vector<std::string> args;
        bool goesOn;
        int status;
        std::string out;
    } cases[] = {
        {{}, false, frontend::exitUsage, "\nUsage: Tester <List> \n"},
        {{"--help"}, false, frontend::exitOk, "\nUsage: Tester <List> \n"},
        {{"-h"}, false, frontend::exitOk, "\nUsage: Tester <List> \n"},
        {{"--version"}, false, frontend::exitOk, "Tester 1.0 (2017/01/01)\n"},
        {{"D:\\My", "Tours\\Tour.lst"}, true, frontend::exitOk,
         std::string("\nTester 1.0 (2017/01/01)\n") + settings::credit + "\n\n"},
        {{"--help", "x"}, true, frontend::exitOk,
         std::string("\nTester 1.0 (2017/01/01)\n") + settings::credit + "\n\n"},
    };
    for (const auto& c : cases) {
        Begun b = begin(c.args);
        EXPECT_EQ(b.goesOn, c.goesOn);
        EXPECT_EQ(b.status, c.status);
        EXPECT_EQ(b.out, c.out);
    }
    EXPECT_EQ(begin({"D:\\My", "Tours\\Tour.lst"}).argument, "D:\\My Tours\\Tour.lst");
}

TEST(Run, DiagnosticsGoToStandardErrorAndSetTheStatus) {
    char* argv[] = {const_cast<char*>("tester"), nullptr};
    frontend::Run run(info, 1, argv);
    ::testing::internal::CaptureStderr();
    run.warningAt("Tour.lst", 14, "a %s", "warning");
    EXPECT_EQ(run.exitStatus(), frontend::exitOk);
    run.error("cannot write %s", "x");
    EXPECT_EQ(run.exitStatus(), frontend::exitFailed);
    run.refuse("refused");
    EXPECT_EQ(run.exitStatus(), frontend::exitUsage);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "tester: warning: Tour.lst:14: a warning\ntester: error: cannot write x\ntester: error: refused\n");
}

}  // namespace
