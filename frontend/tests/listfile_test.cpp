#include <gtest/gtest.h>

#include <cstdio>

#include "frontend/frontend.h"
#include "testsupport/support.h"

using namespace frontend;

namespace {

char arg0[] = "test";
char* argv[] = {arg0, nullptr};
const ProgramInfo info{"tester", "usage\n", "banner"};

struct Line {
    long number;
    std::string text;
};

std::vector<Line> readAll(const std::string& listBytes, std::string* err = nullptr) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "a.lst", listBytes);
    frontend::Run run(info, 1, argv);
    std::vector<Line> lines;
    if (err) ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    {
        ListFile list(run, dir / "a.lst", dir / "a.asc");
        EXPECT_TRUE(list.open("Lst File \"%s\" Not Found!\n"));
        std::string line;
        while (list.nextLine(line)) lines.push_back({list.lineNumber(), line});
        list.close();
        EXPECT_FALSE(testsupport::exists(dir / "a.asc"));
    }
    ::testing::internal::GetCapturedStdout();
    if (err) *err = ::testing::internal::GetCapturedStderr();
    return lines;
}

TEST(ListFile, SkipsShortLinesAndCountsLinesOfTheFile) {
    auto lines = readAll("abcd\nabc\n\r\nx\r\nabcde\r\n12345");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].number, 1);
    EXPECT_EQ(lines[0].text, "abcd\n");
    EXPECT_EQ(lines[1].number, 5);
    EXPECT_EQ(lines[1].text, "abcde\n");  // CR LF is read as LF
    EXPECT_EQ(lines[2].number, 6);
    EXPECT_EQ(lines[2].text, "12345");
}

TEST(ListFile, CutsLongLinesIntoPiecesWithOneWarning) {
    std::string err;
    auto lines = readAll(std::string(2000, 'a') + "\nnext line\n", &err);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text.size(), 999u);
    EXPECT_EQ(lines[1].text.size(), 999u);
    EXPECT_EQ(lines[1].number, 1);
    EXPECT_EQ(lines[2].text, "next line\n");
    EXPECT_EQ(lines[2].number, 2);
    EXPECT_NE(err.find("tester: warning: "), std::string::npos);
    EXPECT_NE(err.find("a.lst:1: line longer than 999 bytes"), std::string::npos);
    EXPECT_EQ(err.find("a.lst:1", err.find("a.lst:1") + 1), std::string::npos) << err;
}

TEST(ListFile, ReadsUtf16ThroughTheScratchListAndCutsAtNul) {
    std::string utf16le = "\xFF\xFE";
    for (char c : std::string("line one\nab\ncd\n")) utf16le += std::string{c, '\0'};
    auto lines = readAll(utf16le);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, "line one\n");

    std::string err;
    lines = readAll(std::string("abcdef\0ghijk\nlong enough\n", 25), &err);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "abcdef");
    EXPECT_NE(err.find("a.lst:1: NUL byte"), std::string::npos);
}

TEST(ListFile, WarnsAboutUtf8WithoutByteOrderMark) {
    std::string err;
    readAll("#SITE\n\xEA\xB0\x80 x\n", &err);
    EXPECT_NE(err.find("without a byte-order mark"), std::string::npos);
    readAll("#SITE\n\xB0\xA1 x\n", &err);  // EUC-KR is never valid UTF-8
    EXPECT_EQ(err, "");
}

TEST(ListFile, MissingListFailsTheRun) {
    testsupport::TempDir dir;
    frontend::Run run(info, 1, argv);
    ::testing::internal::CaptureStdout();
    ListFile list(run, dir / "none.lst", dir / "none.asc");
    EXPECT_FALSE(list.open("Lst File \"%s\" Not Found!\n"));
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Lst File \"" + (dir / "none.lst") + "\" Not Found!\n");
    EXPECT_EQ(run.exitStatus(), exitFailed);
}

}  // namespace
