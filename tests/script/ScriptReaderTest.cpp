#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>

#include "core/DemoMessage.h"
#include "script/ScriptProblems.h"
#include "script/ScriptReader.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File Stream(const std::string& text)
{
    File file(std::tmpfile());
    std::fwrite(text.data(), 1, text.size(), file.get());
    std::rewind(file.get());
    return file;
}

// A stream whose position cannot be told, as a script piped in.
File Pipe(const std::string& text)
{
    int ends[2];
    if (pipe(ends) != 0) {
        return nullptr;
    }
    const bool written = write(ends[1], text.data(), text.size()) == static_cast<ssize_t>(text.size());
    close(ends[1]);
    File file(fdopen(ends[0], "r"));
    return written ? std::move(file) : nullptr;
}

// The number read from a one-line script, and the debug output it gave.
std::pair<std::int32_t, std::string> NumberAndNote(const std::string& text)
{
    const File file = Stream(text + "\n");
    ScriptReader reader(file.get());
    testing::internal::CaptureStderr();
    const std::int32_t number = reader.ReadNumber().value_or(12345);
    return {number, testing::internal::GetCapturedStderr()};
}

}  // namespace

TEST(ScriptReaderLines, SkipCommentLinesBeforeAnyValue)
{
    const File file = Stream("# header\n#another\nTunnel\n# between\n100");
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.ReadLine(), "Tunnel");
    EXPECT_EQ(reader.ReadNumber(), 100);
}

TEST(ScriptReaderLines, TreatAHashAfterABlankAsAValue)
{
    const File file = Stream(" # not a comment\n");
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.ReadLine(), " # not a comment");
}

TEST(ScriptReaderLines, TrimTrailingBlanksAndLineEndsButKeepLeadingOnes)
{
    const File file = Stream("Tunnel \t \r\n  Solaris\r\nmusic.ogg\t\n");
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.ReadLine(), "Tunnel");
    EXPECT_EQ(reader.ReadLine(), "  Solaris");
    EXPECT_EQ(reader.ReadLine(), "music.ogg");
}

TEST(ScriptReaderLines, BlankLinesAreEmptyValues)
{
    const File file = Stream("\n   \n5\n");
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_EQ(reader.ReadNumber(), 0);
    EXPECT_EQ(reader.ReadNumber(), 5);
}

TEST(ScriptReaderLines, ReadVeryLongLinesWhole)
{
    const std::string longLine(5000, 'k');
    const File file = Stream(longLine + "\nnext\n");
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.ReadLine(), longLine);
    EXPECT_EQ(reader.ReadLine(), "next");
}

TEST(ScriptReaderEnd, TheLastValueNeedsNoLineBreak)
{
    const File file = Stream("EndDemo\n5000\n6000");
    ScriptReader reader(file.get());
    reader.ReadLine();
    reader.ReadLine();
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadNumber(), 6000);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ScriptReaderEnd, IsSeenOnlyByARead)
{
    const File file = Stream("6000\n");
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.ReadNumber(), 6000);
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadLine(), std::nullopt);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ScriptReaderEnd, CommentsAloneBeforeTheEndGiveNoValue)
{
    const File file = Stream("# trailing comment\n# another");
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.ReadLine(), std::nullopt);
}

TEST(ScriptReaderEnd, RequiredValuesNameTheEntry)
{
    const File file = Stream("data/picture.jpg\n");
    ScriptReader reader(file.get());
    reader.BeginEntry("AlphaBlendImage");
    EXPECT_EQ(reader.RequireLine(), "data/picture.jpg");
    try {
        reader.RequireLine();
        FAIL() << "no error at the end of the file";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "The script ends inside the entry 'AlphaBlendImage', please correct");
    }
}

TEST(ScriptReaderEnd, OnlyBlankLinesRemainReadsUpToTheFirstValueWithText)
{
    const File file = Stream("\n  \n# note\n12\n\n\n");
    ScriptReader reader(file.get());
    EXPECT_FALSE(reader.OnlyBlankLinesRemain());
    EXPECT_TRUE(reader.OnlyBlankLinesRemain());
    EXPECT_FALSE(reader.ReadLine());
}

TEST(ScriptReaderNumbers, FollowAtoi)
{
    EXPECT_EQ(ParseNumber("2500"), 2500);
    EXPECT_EQ(ParseNumber("2500ms and more"), 2500);
    EXPECT_EQ(ParseNumber("letters only"), 0);
    EXPECT_EQ(ParseNumber(""), 0);
    EXPECT_EQ(ParseNumber("  \t-12"), -12);
    EXPECT_EQ(ParseNumber("+7"), 7);
    EXPECT_EQ(ParseNumber("0x10"), 0);
    EXPECT_EQ(ParseNumber("1.9"), 1);
}

TEST(ScriptReaderNumbers, OutOfRangeValuesWrapToThirtyTwoBits)
{
    EXPECT_EQ(ParseNumber("4294967295"), -1);
    EXPECT_EQ(ParseNumber("2147483648"), static_cast<std::int32_t>(0x80000000u));
}

TEST(ScriptReaderNumbers, ReadThroughComments)
{
    const File file = Stream("# start\n  300 \n");
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.ReadNumber(), 300);
}

TEST(ScriptReaderLineNumbers, EveryLineCountsCommentsAndBlankLinesToo)
{
    const File file = Stream("# header\nm.ogg\n\n# two\n# comments\nTunnel\n100");
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.NextLine(), 1);
    EXPECT_EQ(reader.ReadLine(), "m.ogg");
    EXPECT_EQ(reader.Line(), 2);
    EXPECT_EQ(reader.ReadLine(), "");
    EXPECT_EQ(reader.Line(), 3);
    EXPECT_EQ(reader.NextLine(), 4) << "the comments are still ahead";
    EXPECT_EQ(reader.ReadLine(), "Tunnel");
    EXPECT_EQ(reader.Line(), 6);
    reader.BeginEntry("Tunnel");
    EXPECT_EQ(reader.ReadNumber(), 100);
    EXPECT_EQ(reader.Line(), 7);
    EXPECT_EQ(reader.EntryLine(), 6);
}

// A plug-in's Init reads its own lines from the stream, whole or in part:
// the lines it took count all the same.
TEST(ScriptReaderLineNumbers, LinesAPluginTookCountToo)
{
    const File file = Stream("Plugin\n./ring.so\n1 0 0\n# its own comment\n0.5 0.5\nFlashWhite\n10\n20 and 30\n");
    ScriptReader reader(file.get());
    reader.ReadLine();
    reader.ReadLine();
    char line[64];
    ASSERT_NE(std::fgets(line, sizeof line, reader.Stream()), nullptr);
    ASSERT_NE(std::fgets(line, sizeof line, reader.Stream()), nullptr);
    ASSERT_NE(std::fgets(line, 4, reader.Stream()), nullptr) << "half a line";
    EXPECT_EQ(reader.ReadLine(), " 0.5");
    EXPECT_EQ(reader.Line(), 5);
    EXPECT_EQ(reader.ReadLine(), "FlashWhite");
    EXPECT_EQ(reader.Line(), 6);
    ASSERT_NE(std::fgets(line, sizeof line, reader.Stream()), nullptr);
    testing::internal::CaptureStderr();
    EXPECT_EQ(reader.ReadNumber(), 20);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "data/demo.txt line 8: '20 and 30' is read as 20\n");
    EXPECT_EQ(reader.ReadLine(), std::nullopt);
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ScriptReaderLineNumbers, APartOfTheScriptReadAloneStartsAtItsOwnLine)
{
    const File file = Stream("# before the keyword\nFlashWhite\n10\n");
    ScriptReader reader(file.get(), 40);
    EXPECT_EQ(reader.ReadLine(), "FlashWhite");
    EXPECT_EQ(reader.Line(), 41);
    EXPECT_EQ(reader.ReadLine(), "10");
    EXPECT_EQ(reader.Line(), 42);
}

TEST(ScriptReaderLineNumbers, AreUnknownOnAStreamWithoutPositions)
{
    const File file = Pipe("FlashWhite\n5x\n");
    ASSERT_TRUE(file);
    ScriptReader reader(file.get());
    EXPECT_EQ(reader.ReadLine(), "FlashWhite");
    EXPECT_EQ(reader.Line(), 0);
    testing::internal::CaptureStderr();
    EXPECT_EQ(reader.ReadNumber(), 5);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "data/demo.txt: '5x' is read as 5\n");
}

TEST(ScriptReaderNumbers, ThatSayMoreOrOtherThanTheNumberAreReadAllTheSameAndSaid)
{
    EXPECT_EQ(NumberAndNote("13OOO"), std::make_pair(13, std::string("data/demo.txt line 1: '13OOO' is read as 13\n")));
    EXPECT_EQ(NumberAndNote("1.9"), std::make_pair(1, std::string("data/demo.txt line 1: '1.9' is read as 1\n")));
    EXPECT_EQ(NumberAndNote("letters"), std::make_pair(0, std::string("data/demo.txt line 1: 'letters' is read as 0\n")));
    EXPECT_EQ(NumberAndNote("-"), std::make_pair(0, std::string("data/demo.txt line 1: '-' is read as 0\n")));
    EXPECT_EQ(NumberAndNote(" \t "), std::make_pair(0, std::string("data/demo.txt line 1: a blank line is read as 0\n")));
    EXPECT_EQ(NumberAndNote("4294967295"), std::make_pair(-1, std::string("data/demo.txt line 1: '4294967295' is read as -1\n")));
    EXPECT_EQ(NumberAndNote("-2147483649"),
              std::make_pair(2147483647, std::string("data/demo.txt line 1: '-2147483649' is read as 2147483647\n")));
    EXPECT_EQ(NumberAndNote("99999999999999999999"),
              std::make_pair(-1, std::string("data/demo.txt line 1: '99999999999999999999' is read as -1\n")));
}

TEST(ScriptReaderNumbers, ThatSayJustTheNumberAreReadSilently)
{
    for (const char* text : {"0", "  -12", "+7", "2147483647", "-2147483648", "007"}) {
        EXPECT_EQ(NumberAndNote(text).second, "") << text;
        EXPECT_TRUE(IsWholeNumber(text)) << text;
    }
    for (const char* text : {"", "12 ", "0x10", "2147483648", "1e3"}) {
        EXPECT_FALSE(IsWholeNumber(text)) << text;
    }
}

TEST(ScriptReaderNumbers, AreReportedToTheProblemsWithTheirLine)
{
    const File file = Stream("Plasma2D\n# the window\n100\n200ms\nseed\n");
    ScriptReader reader(file.get());
    ScriptProblems problems(ScriptReader::scriptPath);
    reader.ReportTo(&problems);
    reader.ReadLine();
    testing::internal::CaptureStderr();
    EXPECT_EQ(reader.ReadNumber(), 100);
    EXPECT_EQ(reader.ReadNumber(), 200);
    EXPECT_EQ(reader.RequireNumber(), 0);
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(problems.All().size(), 2u);
    EXPECT_EQ(problems.All()[0].line, 4);
    EXPECT_EQ(problems.All()[0].text, "'200ms' is read as 200");
    EXPECT_EQ(problems.All()[0].severity, ScriptProblems::Severity::warning);
    EXPECT_EQ(problems.All()[1].line, 5);
    EXPECT_EQ(problems.All()[1].text, "'seed' is read as 0");
}
