#include <gtest/gtest.h>

#include <vector>

#include "ui/ResolutionList.h"

namespace {

const Resolution defaults{1024, 768};

}  // namespace

TEST(ResolutionList, ARepeatedSizeAtAnotherRefreshRateIsOneItem)
{
    // 800 x 600 at 60 Hz and at 75 Hz, then 1024 x 768 at 60 Hz.
    const std::vector<DisplayMode> modes = {{800, 600, 32}, {800, 600, 32}, {1024, 768, 32}};
    const ResolutionList list(modes, 32, defaults);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"800 * 600", "1024 * 768"}));
    EXPECT_EQ(list.LastIndexOf(defaults), 1u);
}

TEST(ResolutionList, OnlyTheEntryJustBeforeIsComparedAndSdlsOrderIsKept)
{
    const std::vector<DisplayMode> modes = {{1920, 1080, 32}, {640, 480, 32}, {1920, 1080, 32}, {1920, 1080, 32}};
    const ResolutionList list(modes, 32, defaults);
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"1920 * 1080", "640 * 480", "1920 * 1080"}));
    EXPECT_EQ(list.LastIndexOf({1920, 1080}), 2u);
    EXPECT_EQ(list.LastIndexOf({640, 480}), 1u);
    EXPECT_EQ(list.LastIndexOf(defaults), std::nullopt);
}

TEST(ResolutionList, ModesOfAnotherDepthAreLeftOutAndDoNotSeparateRepeats)
{
    const std::vector<DisplayMode> modes = {{800, 600, 32}, {800, 600, 16}, {800, 600, 32}, {1280, 720, 16}};
    const ResolutionList list(modes, 32, defaults);
    EXPECT_EQ(list.Items(), std::vector<std::string>{"800 * 600"});
    EXPECT_EQ(list[0], (Resolution{800, 600}));
}

TEST(ResolutionList, ModesButNoneOfTheDepthGiveAnEmptyList)
{
    const std::vector<DisplayMode> modes = {{800, 600, 16}};
    const ResolutionList list(modes, 32, defaults);
    EXPECT_EQ(list.Size(), 0u);
    EXPECT_EQ(list.LastIndexOf(defaults), std::nullopt);
}

TEST(ResolutionList, NoModesAtAllOfferTheSettingsOwnSize)
{
    const ResolutionList list({}, 32, {1280, 720});
    EXPECT_EQ(list.Items(), std::vector<std::string>{"1280 * 720"});
    EXPECT_EQ(list.LastIndexOf({1280, 720}), 0u);
}

TEST(ResolutionList, HoldsAtMost4096Entries)
{
    std::vector<DisplayMode> modes;
    for (int width = 1; width <= 5000; ++width) {
        modes.push_back({width, 100, 32});
    }
    const ResolutionList list(modes, 32, defaults);
    ASSERT_EQ(list.Size(), ResolutionList::capacity);
    EXPECT_EQ(list.Items().size(), 4096u);
    EXPECT_EQ(list.Items().back(), "4096 * 100");
}

TEST(ColourDepth, TwentyFourBitsInFourBytesCountAsThirtyTwo)
{
    EXPECT_EQ(ColourDepth(24, 4), 32);
    EXPECT_EQ(ColourDepth(24, 3), 24);
    EXPECT_EQ(ColourDepth(32, 4), 32);
    EXPECT_EQ(ColourDepth(16, 2), 16);
}
