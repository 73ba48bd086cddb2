#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/DemoRun.h"
#include "support/ScriptFolder.h"
#include "ui/SetupDialog.h"

namespace {

void PushKey(SDL_Keycode key, Uint16 modifiers = KMOD_NONE, Uint8 repeat = 0)
{
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.repeat = repeat;
    event.key.keysym.sym = key;
    event.key.keysym.mod = modifiers;
    SDL_PushEvent(&event);
}

class SetupDialogTest : public ::testing::Test {
protected:
    DisplaySettings settings;
    SetupDialog dialog{settings};
};

}  // namespace

TEST_F(SetupDialogTest, OpensAsASmallFixedWindowCentredOnTheScreen)
{
    dialog.RunFrame();
    SDL_Window* window = dialog.Window();
    EXPECT_STREQ(SDL_GetWindowTitle(window), "Video setup");
    const Uint32 flags = SDL_GetWindowFlags(window);
    EXPECT_EQ(flags & SDL_WINDOW_RESIZABLE, 0u);
    EXPECT_EQ(flags & SDL_WINDOW_HIDDEN, 0u);

    int width = 0;
    int height = 0;
    SDL_GetWindowSize(window, &width, &height);
    EXPECT_GT(width, height) << "the form is wider than high";
    EXPECT_LT(width, 480);
    EXPECT_LT(height, 300);
    SDL_Rect screen{};
    ASSERT_EQ(SDL_GetDisplayBounds(0, &screen), 0);
    int x = 0;
    int y = 0;
    SDL_GetWindowPosition(window, &x, &y);
    EXPECT_NEAR(x, screen.x + (screen.w - width) / 2, 1);
    EXPECT_NEAR(y, screen.y + (screen.h - height) / 2, 1);
}

TEST_F(SetupDialogTest, OffersTheDesktopsSizeAmongThePrimaryDisplaysModes)
{
    // Xvfb's one mode has 24 bits of colour in 32-bit pixels: it counts as 32.
    SDL_DisplayMode desktop{};
    ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
    const std::vector<std::string>& items = dialog.Form().Resolutions().Items();
    const std::string expected = std::to_string(desktop.w) + " * " + std::to_string(desktop.h);
    EXPECT_NE(std::find(items.begin(), items.end(), expected), items.end()) << expected;
}

TEST_F(SetupDialogTest, EnterRuns)
{
    dialog.RunFrame();
    PushKey(SDLK_RETURN);
    dialog.RunFrame();
    EXPECT_EQ(dialog.Form().GetResult(), SetupForm::Result::Run);
}

TEST_F(SetupDialogTest, EscapeCancels)
{
    dialog.RunFrame();
    PushKey(SDLK_ESCAPE);
    dialog.RunFrame();
    EXPECT_EQ(dialog.Form().GetResult(), SetupForm::Result::Cancel);
}

TEST_F(SetupDialogTest, TheCloseBoxCancels)
{
    dialog.RunFrame();
    SDL_Event close{};
    close.type = SDL_WINDOWEVENT;
    close.window.event = SDL_WINDOWEVENT_CLOSE;
    close.window.windowID = SDL_GetWindowID(dialog.Window());
    SDL_PushEvent(&close);
    dialog.RunFrame();
    EXPECT_EQ(dialog.Form().GetResult(), SetupForm::Result::Cancel);
}

TEST_F(SetupDialogTest, TabAndSpaceWorkTheCheckBoxes)
{
    dialog.RunFrame();
    PushKey(SDLK_TAB);
    PushKey(SDLK_TAB);
    PushKey(SDLK_TAB);
    PushKey(SDLK_SPACE);  // Fullscreen off
    PushKey(SDLK_TAB);
    PushKey(SDLK_SPACE);  // Always on top on
    PushKey(SDLK_TAB, KMOD_LSHIFT);
    dialog.RunFrame();
    EXPECT_FALSE(dialog.Form().Fullscreen());
    EXPECT_TRUE(dialog.Form().AlwaysOnTop());
    EXPECT_EQ(dialog.Keyboard().Focus(), SetupControl::Fullscreen);
    EXPECT_EQ(dialog.Form().GetResult(), SetupForm::Result::Open);
}

TEST_F(SetupDialogTest, HeldKeysRepeatOnlyWhereTheyMoveTheFocus)
{
    dialog.RunFrame();
    PushKey(SDLK_TAB);
    PushKey(SDLK_TAB, KMOD_NONE, 1);
    PushKey(SDLK_RETURN, KMOD_NONE, 1);
    PushKey(SDLK_SPACE, KMOD_NONE, 1);
    PushKey(SDLK_ESCAPE, KMOD_NONE, 1);
    dialog.RunFrame();
    EXPECT_EQ(dialog.Keyboard().Focus(), SetupControl::Resolution);
    EXPECT_EQ(dialog.Form().GetResult(), SetupForm::Result::Open);
}

namespace {

// The program's run with the dialog, keys queued before it opens.
class DemoRunWithDialog : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0); }
    void TearDown() override { SDL_QuitSubSystem(SDL_INIT_EVENTS); }

    int Run()
    {
        RunOptions options;
        options.showMessageBox = false;
        testing::internal::CaptureStderr();
        const int exitCode = RunDemo(options);
        debugOutput = testing::internal::GetCapturedStderr();
        return exitCode;
    }

    ScriptFolder folder;  // the working directory, without a script
    std::string debugOutput;
};

}  // namespace

TEST_F(DemoRunWithDialog, CancelEndsWithMinusOneBeforeAnyWindowOrScript)
{
    PushKey(SDLK_ESCAPE);
    EXPECT_EQ(Run(), -1);
    EXPECT_EQ(debugOutput.find("Window opened"), std::string::npos) << debugOutput;
    EXPECT_EQ(debugOutput.find("demo.txt"), std::string::npos) << debugOutput;
}

TEST_F(DemoRunWithDialog, RunOpensTheWindowAndGoesOnToTheScript)
{
    PushKey(SDLK_TAB);
    PushKey(SDLK_TAB);
    PushKey(SDLK_TAB);
    PushKey(SDLK_SPACE);  // a window rather than full screen
    PushKey(SDLK_RETURN);
    EXPECT_EQ(Run(), 1) << "the script is missing";
    EXPECT_NE(debugOutput.find("Window opened without multisampling\n"), std::string::npos) << debugOutput;
    EXPECT_NE(debugOutput.find("Exception: Unable to load data/demo.txt in "), std::string::npos) << debugOutput;
}
