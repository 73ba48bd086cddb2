#include <gtest/gtest.h>

#include <GL/gl.h>

#include "core/DemoMessage.h"
#include "gfx/Screen.h"
#include "support/KeyEvents.h"
#include "ui/DemoWindow.h"

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

TEST_F(DemoWindowTest, PublishesItsSizeAndOpensWithoutMultisamplingByDefault)
{
    EXPECT_EQ(screenWidth, 320);
    EXPECT_EQ(screenHeight, 240);
    EXPECT_EQ(window.Multisamples(), 0);
    GLint sampleBuffers = -1;
    glGetIntegerv(GL_SAMPLE_BUFFERS, &sampleBuffers);
    EXPECT_EQ(sampleBuffers, 0);
    EXPECT_EQ(openLog.rfind("Window opened without multisampling\n", 0), 0u) << openLog;
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

namespace {

// SDL's video driver for one test; the display's own when unset.
class VideoDriver {
public:
    explicit VideoDriver(const char* name) { setenv("SDL_VIDEODRIVER", name, 1); }
    ~VideoDriver() { unsetenv("SDL_VIDEODRIVER"); }
};

std::string OpenLog(DemoWindow& window, bool fullscreen, const WindowAttributes& attributes)
{
    testing::internal::CaptureStderr();
    window.Open(320, 240, 32, fullscreen, attributes);
    return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(DemoWindowAttributes, VerticalSyncSetsTheSwapInterval)
{
    // Xvfb's GLX has no swap control; SDL's offscreen driver (EGL) has.
    const VideoDriver offscreen("offscreen");
    DemoWindow window;
    std::string log = OpenLog(window, false, {.verticalSync = true});
    EXPECT_EQ(SDL_GL_GetSwapInterval(), 1) << log;
    window.Close();
    log = OpenLog(window, false, {.verticalSync = false});
    EXPECT_EQ(SDL_GL_GetSwapInterval(), 0) << log;
}

TEST(DemoWindowAttributes, AlwaysOnTopKeepsAWindowAbove)
{
    DemoWindow window;
    OpenLog(window, false, {.alwaysOnTop = true});
    EXPECT_NE(SDL_GetWindowFlags(window.Window()) & SDL_WINDOW_ALWAYS_ON_TOP, 0u);
    window.Close();
    OpenLog(window, false, {.alwaysOnTop = false});
    EXPECT_EQ(SDL_GetWindowFlags(window.Window()) & SDL_WINDOW_ALWAYS_ON_TOP, 0u);
}

TEST(DemoWindowAttributes, AlwaysOnTopLeavesFullScreenAlone)
{
    const VideoDriver offscreen("offscreen");  // no mode switch on the test display
    DemoWindow window;
    OpenLog(window, true, {.alwaysOnTop = true});
    const Uint32 flags = SDL_GetWindowFlags(window.Window());
    EXPECT_NE(flags & SDL_WINDOW_FULLSCREEN, 0u);
    EXPECT_EQ(flags & SDL_WINDOW_ALWAYS_ON_TOP, 0u);
}
