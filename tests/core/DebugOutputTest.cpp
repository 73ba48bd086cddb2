#include <gtest/gtest.h>

#include <string>

#include "core/DebugOutput.h"
#include "core/PrintableText.h"

namespace {

std::string Said(const std::initializer_list<std::string>& parts)
{
    testing::internal::CaptureStderr();
    for (const std::string& part : parts) {
        DebugOutput(part);
    }
    return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(DebugOutput, TextGoesOutUnchanged)
{
    EXPECT_EQ(Said({"Loaded FlashWhite", " with start time 0\n", "two\nlines\n"}), "Loaded FlashWhite with start time 0\ntwo\nlines\n");
    const std::string longest(4096, 'p');
    EXPECT_EQ(Said({longest + "\n", longest.substr(0, 4000), longest.substr(0, 96) + "\n"}),
              longest + "\n" + longest + "\n");
}

// A path or a value of a megabyte would bury the rest of the log.
TEST(DebugOutput, ALineLongerThanFourKilobytesIsCutWithANote)
{
    const std::string path(1 << 20, 'p');
    EXPECT_EQ(Said({"Unable to load image: " + path + "\nnext\n"}),
              "Unable to load image: " + path.substr(0, 4096 - 22) + " [" + std::to_string(22 + path.size() - 4096) +
                  " more bytes left out]\nnext\n");
    EXPECT_EQ(Said({"Exception: ", path, "\n"}),
              "Exception: " + path.substr(0, 4096 - 11) + " [" + std::to_string(11 + path.size() - 4096) +
                  " more bytes left out]\n")
        << "a line written in parts";
}

TEST(PrintableText, TextStandsAsItIs)
{
    EXPECT_EQ(PrintableText("ShaderShow", 60), "ShaderShow");
    EXPECT_EQ(PrintableText("Zöomer 北", 60), "Zöomer 北") << "UTF-8 is text";
    EXPECT_EQ(PrintableText("", 60), "");
    EXPECT_EQ(PrintableText("exactly", 7), "exactly");
}

TEST(PrintableText, WhatIsNoTextIsEscapedAndTheRestCut)
{
    EXPECT_EQ(PrintableText(std::string("a\0b\tc\x7F", 6), 60), "a\\x00b\\x09c\\x7F");
    EXPECT_EQ(PrintableText("\xFF\xFE", 60), "\\xFF\\xFE");
    EXPECT_EQ(PrintableText("\xC3", 60), "\\xC3") << "a character cut short";
    EXPECT_EQ(PrintableText("\xC3(", 60), "\\xC3(") << "a lead byte without its continuation";
    EXPECT_EQ(PrintableText("\xC2\x85", 60), "\\xC2\\x85") << "a C1 control character";
    EXPECT_EQ(PrintableText("abcdefgh", 3), "abc...");
    EXPECT_EQ(PrintableText("\x01\x02\x03\x04", 2), "\\x01\\x02...") << "characters are counted as shown, one per byte";
    EXPECT_EQ(PrintableText("ööö", 2), "öö...");
}
