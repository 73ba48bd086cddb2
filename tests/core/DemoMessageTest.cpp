#include <gtest/gtest.h>

#include "core/DemoMessage.h"

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

