#include <gtest/gtest.h>

#include "core/DemoMessage.h"

TEST(FormatText, FormatsLikePrintf)
{
    EXPECT_EQ(FormatText("Loaded %s with start time %i and end time %i\n", "Tunnel", -5, 2000),
              "Loaded Tunnel with start time -5 and end time 2000\n");
}

TEST(FormatText, KeepsTextLongerThanAnyFixedBufferWhole)
{
    const std::string keyword(5000, 'x');
    const std::string text = FormatText("Unknown entry '%s' in file, please correct", keyword.c_str());
    EXPECT_EQ(text, "Unknown entry '" + keyword + "' in file, please correct");
}

TEST(FormatText, KeepsMultiByteCharactersIntact)
{
    const std::string path = std::string(1100, 'a') + "\xC3\xB8.so";  // ends in "ø.so"
    EXPECT_EQ(FormatText("Unable to load plugin: %s", path.c_str()), "Unable to load plugin: " + path);
}

TEST(DemoMessage, TextOutlivesTheThrowingScope)
{
    try {
        std::string local = "End of show";
        throw DemoMessage(local);
    } catch (const DemoMessage& message) {
        EXPECT_STREQ(message.what(), "End of show");
        EXPECT_EQ(message.Text(), "End of show");
    }
}
