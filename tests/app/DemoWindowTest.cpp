#include <gtest/gtest.h>

#include "app/DemoWindow.h"
#include "core/DemoMessage.h"
#include "support/KeyEvents.h"
#include "gfx/Screen.h"

namespace {

class DemoWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::internal::CaptureStderr();
        window.Open(320, 240, 32, false);
        openLog = testing::internal::GetCapturedStderr();
        window.SwapAndPoll();  // drain what the window manager sent on opening
    }

    DemoWindow window;
    std::string openLog;
};

}  // namespace

TEST_F(DemoWindowTest, PublishesItsSizeAndSaysHowItMultisamples)
{
    EXPECT_EQ(screenWidth, 320);
    EXPECT_EQ(screenHeight, 240);
    const int samples = window.Multisamples();
    EXPECT_TRUE(samples == 8 || samples == 4 || samples == 2 || samples == 0);
    const std::string expected = samples > 0 ? "Window opened with " + std::to_string(samples) + "-sample multisampling\n"
                                             : std::string("Window opened without multisampling\n");
    EXPECT_EQ(openLog, expected);
}

TEST_F(DemoWindowTest, FlagsStartCleared)
{
    EXPECT_FALSE(window.QuitRequested());
    EXPECT_FALSE(window.SeekForwardRequested());
    EXPECT_FALSE(window.SeekBackRequested());
}

TEST_F(DemoWindowTest, ReleasingEscapeAsksToQuitForOneFrame)
{
    Press(SDLK_ESCAPE);
    window.SwapAndPoll();
    EXPECT_FALSE(window.QuitRequested()) << "pressing alone does nothing";
    Release(SDLK_ESCAPE);
    window.SwapAndPoll();
    EXPECT_TRUE(window.QuitRequested());
    window.SwapAndPoll();
    EXPECT_FALSE(window.QuitRequested());
}

TEST_F(DemoWindowTest, ArrowsSeekAndBothMayComeInOneFrame)
{
    Release(SDLK_RIGHT);
    window.SwapAndPoll();
    EXPECT_TRUE(window.SeekForwardRequested());
    EXPECT_FALSE(window.SeekBackRequested());
    Release(SDLK_RIGHT);
    Release(SDLK_LEFT);
    window.SwapAndPoll();
    EXPECT_TRUE(window.SeekForwardRequested());
    EXPECT_TRUE(window.SeekBackRequested());
    EXPECT_FALSE(window.QuitRequested());
}

TEST_F(DemoWindowTest, OtherKeysDoNothing)
{
    Release(SDLK_SPACE);
    Release(SDLK_UP);
    Release(SDLK_q);
    window.SwapAndPoll();
    EXPECT_FALSE(window.QuitRequested());
    EXPECT_FALSE(window.SeekForwardRequested());
    EXPECT_FALSE(window.SeekBackRequested());
}

TEST_F(DemoWindowTest, ClosingTheWindowEndsTheRun)
{
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    try {
        window.SwapAndPoll();
        FAIL() << "closing the window went unnoticed";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text(), "You quit?");
    }
}

TEST_F(DemoWindowTest, ResizingKeepsTheSizeChosenAtOpen)
{
    SDL_Event resize{};
    resize.type = SDL_WINDOWEVENT;
    resize.window.event = SDL_WINDOWEVENT_RESIZED;
    resize.window.data1 = 640;
    resize.window.data2 = 480;
    SDL_PushEvent(&resize);
    window.SwapAndPoll();
    EXPECT_EQ(screenWidth, 320);
    EXPECT_EQ(screenHeight, 240);
}

TEST(DemoWindowStart, WithoutAnyVideoDriverTheErrorNamesSdlsReason)
{
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);
    DemoWindow window;
    try {
        window.Open(320, 240, 32, false);
        ADD_FAILURE() << "opened without a video driver";
    } catch (const DemoMessage& message) {
        EXPECT_EQ(message.Text().rfind("Error: ", 0), 0u) << message.Text();
        EXPECT_EQ(message.Text().back(), '\n');
        EXPECT_GT(message.Text().size(), std::string("Error: \n").size());
    }
    unsetenv("SDL_VIDEODRIVER");
}
