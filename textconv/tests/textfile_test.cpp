#include <gtest/gtest.h>

#include "testsupport/support.h"
#include "textconv/textfile.h"

using namespace textconv;

namespace {

TEST(TextFiles, ReadingDropsCrBeforeLfOnly) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "a.txt", "one\r\ntwo\rthree\r\r\nfour\r");
    TextReader in(dir / "a.txt");
    std::string line;
    std::vector<std::string> lines;
    while (in.readLine(line)) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one\n", "two\rthree\r\n", "four\r"}));

    TextReader pieces(dir / "a.txt");
    ASSERT_TRUE(pieces.readPiece(line, 2));
    EXPECT_EQ(line, "on");
    ASSERT_TRUE(pieces.readPiece(line, 2));
    EXPECT_EQ(line, "e\n");
}

TEST(TextFiles, WritingTurnsLfIntoCrLfAndReplacesOnlyWhole) {
    testsupport::TempDir dir;
    testsupport::writeFile(dir / "out.htm", "earlier");
    TextWriter out;
    ASSERT_TRUE(out.open(dir / "out.htm", TextWriter::Mode::replace));
    out.printf("<%s>\n", std::string(2000, 'x').c_str());
    out.write("\n");
    EXPECT_EQ(testsupport::readFile(dir / "out.htm"), "earlier");  // not touched before the close
    ASSERT_TRUE(out.close());
    EXPECT_EQ(testsupport::readFile(dir / "out.htm"), "<" + std::string(2000, 'x') + ">\r\n\r\n");
    EXPECT_EQ(testsupport::listDir(dir.path()), std::vector<std::string>{"out.htm"});

    ASSERT_TRUE(out.open(dir / "out.htm", TextWriter::Mode::replace));
    out.write("abandoned\n");
    out.abandon();
    EXPECT_EQ(testsupport::listDir(dir.path()), std::vector<std::string>{"out.htm"});
}

TEST(TextFiles, WriteErrorsAreReported) {
    TextWriter out;
    ASSERT_TRUE(out.open("/dev/full", TextWriter::Mode::direct));
    out.write(std::string(1 << 17, 'x'));
    EXPECT_FALSE(out.close());
    EXPECT_NE(out.error().find("/dev/full"), std::string::npos);
}

}  // namespace
