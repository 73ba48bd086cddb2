#include <gtest/gtest.h>

#include <memory>

#include "core/DemoMessage.h"
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
