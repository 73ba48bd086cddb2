#include <gtest/gtest.h>

#include <vector>

#include "ui/SetupForm.h"
#include "ui/SetupKeyboard.h"

namespace {

ResolutionList ThreeSizes()
{
    const std::vector<DisplayMode> modes = {{800, 600, 32}, {1024, 768, 32}, {1280, 1024, 32}};
    return ResolutionList(modes, 32, {1024, 768});
}

DisplaySettings Windowed()
{
    DisplaySettings settings;
    settings.windowed = true;
    settings.verticalSync = false;
    settings.multisampling = true;
    return settings;
}

}  // namespace

TEST(SetupForm, TheDefaultsOpenFullscreenWithVerticalSyncAndTheirSizeSelected)
{
    const SetupForm form(DisplaySettings{}, ThreeSizes());
    EXPECT_EQ(form.Selection(), 1u);
    EXPECT_TRUE(form.Fullscreen());
    EXPECT_TRUE(form.VerticalSync());
    EXPECT_FALSE(form.Multisampling());
    EXPECT_FALSE(form.AlwaysOnTop()) << "unchecked although the settings say true";
    EXPECT_FALSE(form.AlwaysOnTopEnabled());
    EXPECT_EQ(form.GetResult(), SetupForm::Result::Open);
}

TEST(SetupForm, AWindowedSettingOpensWithAlwaysOnTopEnabledButUnchecked)
{
    const SetupForm form(Windowed(), ThreeSizes());
    EXPECT_FALSE(form.Fullscreen());
    EXPECT_TRUE(form.AlwaysOnTopEnabled());
    EXPECT_FALSE(form.AlwaysOnTop());
    EXPECT_FALSE(form.VerticalSync());
    EXPECT_TRUE(form.Multisampling());
}

TEST(SetupForm, FullscreenDisablesAndClearsAlwaysOnTop)
{
    SetupForm form(DisplaySettings{}, ThreeSizes());
    form.SetAlwaysOnTop(true);
    EXPECT_FALSE(form.AlwaysOnTop()) << "a disabled box cannot be checked";

    form.SetFullscreen(false);
    EXPECT_TRUE(form.AlwaysOnTopEnabled());
    EXPECT_FALSE(form.AlwaysOnTop());
    form.SetAlwaysOnTop(true);
    EXPECT_TRUE(form.AlwaysOnTop());

    form.SetFullscreen(true);
    EXPECT_FALSE(form.AlwaysOnTopEnabled());
    EXPECT_FALSE(form.AlwaysOnTop());
    form.SetFullscreen(false);
    EXPECT_FALSE(form.AlwaysOnTop()) << "enabling again leaves it unchecked";
}

TEST(SetupForm, RunWritesTheChoices)
{
    SetupForm form(DisplaySettings{}, ThreeSizes());
    form.Select(2);
    form.SetFullscreen(false);
    form.SetAlwaysOnTop(true);
    form.SetVerticalSync(false);
    form.SetMultisampling(true);
    form.PressRun();
    EXPECT_EQ(form.GetResult(), SetupForm::Result::Run);

    DisplaySettings settings;
    form.ApplyTo(settings);
    EXPECT_EQ(settings.width, 1280);
    EXPECT_EQ(settings.height, 1024);
    EXPECT_TRUE(settings.windowed);
    EXPECT_TRUE(settings.alwaysOnTop);
    EXPECT_FALSE(settings.verticalSync);
    EXPECT_TRUE(settings.multisampling);
    EXPECT_EQ(settings.bitsPerPixel, 32);
}

TEST(SetupForm, RunWithTheDefaultsUnchangedClearsAlwaysOnTop)
{
    SetupForm form(DisplaySettings{}, ThreeSizes());
    form.PressRun();
    DisplaySettings settings;
    form.ApplyTo(settings);
    EXPECT_EQ(settings.width, 1024);
    EXPECT_FALSE(settings.windowed);
    EXPECT_FALSE(settings.alwaysOnTop);
    EXPECT_TRUE(settings.verticalSync);
}

TEST(SetupForm, RunWithNothingSelectedKeepsTheSettingsSize)
{
    DisplaySettings settings;
    settings.width = 1366;
    settings.height = 700;
    SetupForm form(settings, ThreeSizes());
    EXPECT_EQ(form.Selection(), std::nullopt);
    form.Select(3);
    EXPECT_EQ(form.Selection(), std::nullopt) << "no item 3";
    form.PressRun();
    form.ApplyTo(settings);
    EXPECT_EQ(settings.width, 1366);
    EXPECT_EQ(settings.height, 700);
}

TEST(SetupForm, CancelIsItsOwnResult)
{
    SetupForm form(DisplaySettings{}, ThreeSizes());
    form.PressCancel();
    EXPECT_EQ(form.GetResult(), SetupForm::Result::Cancel);
}

class SetupKeys : public ::testing::Test {
protected:
    void Press(std::initializer_list<DialogKey> keys)
    {
        for (const DialogKey key : keys) {
            keyboard.Press(key);
        }
    }

    SetupForm form{DisplaySettings{}, ThreeSizes()};
    SetupKeyboard keyboard{form};
};

TEST_F(SetupKeys, TabFollowsTheTemplateOrderAndSkipsADisabledBox)
{
    EXPECT_EQ(keyboard.Focus(), SetupControl::Run);
    const SetupControl expected[] = {SetupControl::Cancel, SetupControl::Resolution, SetupControl::Fullscreen,
                                     SetupControl::VerticalSync, SetupControl::Multisampling, SetupControl::Run};
    for (const SetupControl control : expected) {
        keyboard.Press(DialogKey::Tab);
        EXPECT_EQ(keyboard.Focus(), control);
    }
    keyboard.Press(DialogKey::BackTab);
    EXPECT_EQ(keyboard.Focus(), SetupControl::Multisampling);
    Press({DialogKey::BackTab, DialogKey::BackTab});
    EXPECT_EQ(keyboard.Focus(), SetupControl::Fullscreen);
}

TEST_F(SetupKeys, SpaceTogglesTheFocusedBoxAndEnablesAlwaysOnTop)
{
    Press({DialogKey::Tab, DialogKey::Tab, DialogKey::Tab, DialogKey::Space});
    EXPECT_FALSE(form.Fullscreen());
    Press({DialogKey::Tab, DialogKey::Space});
    EXPECT_EQ(keyboard.Focus(), SetupControl::AlwaysOnTop);
    EXPECT_TRUE(form.AlwaysOnTop());
    Press({DialogKey::Tab, DialogKey::Space, DialogKey::Tab, DialogKey::Space});
    EXPECT_FALSE(form.VerticalSync());
    EXPECT_TRUE(form.Multisampling());
    EXPECT_EQ(form.GetResult(), SetupForm::Result::Open);
}

TEST_F(SetupKeys, EnterRunsUnlessCancelHasTheFocus)
{
    Press({DialogKey::Tab, DialogKey::Tab, DialogKey::Tab, DialogKey::Enter});
    EXPECT_EQ(form.GetResult(), SetupForm::Result::Run) << "Run is the default button";

    SetupForm other(DisplaySettings{}, ThreeSizes());
    SetupKeyboard keys(other);
    keys.Press(DialogKey::Tab);
    keys.Press(DialogKey::Enter);
    EXPECT_EQ(other.GetResult(), SetupForm::Result::Cancel);
}

TEST_F(SetupKeys, SpacePressesTheFocusedButton)
{
    keyboard.Press(DialogKey::Space);
    EXPECT_EQ(form.GetResult(), SetupForm::Result::Run);
}

TEST_F(SetupKeys, EscapeCancelsFromAnyControl)
{
    Press({DialogKey::Tab, DialogKey::Tab, DialogKey::Tab, DialogKey::Escape});
    EXPECT_EQ(form.GetResult(), SetupForm::Result::Cancel);
}

TEST_F(SetupKeys, UpAndDownStepThroughTheResolutionsOnlyWhenTheListHasTheFocus)
{
    keyboard.Press(DialogKey::Down);
    EXPECT_EQ(form.Selection(), 1u) << "Run has the focus";
    Press({DialogKey::Tab, DialogKey::Tab, DialogKey::Down});
    EXPECT_EQ(form.Selection(), 2u);
    keyboard.Press(DialogKey::Down);
    EXPECT_EQ(form.Selection(), 2u) << "stays on the last item";
    Press({DialogKey::Up, DialogKey::Up, DialogKey::Up});
    EXPECT_EQ(form.Selection(), 0u) << "stays on the first item";
}

TEST(SetupKeysWithoutSelection, StepsStartAtTheFirstItem)
{
    DisplaySettings settings;
    settings.width = 640;
    SetupForm form(settings, ThreeSizes());
    SetupKeyboard keyboard(form);
    keyboard.FocusOn(SetupControl::Resolution);
    keyboard.Press(DialogKey::Up);
    EXPECT_EQ(form.Selection(), 0u);
}

TEST_F(SetupKeys, WhileTheListIsOpenEnterAndEscapeOnlyCloseIt)
{
    keyboard.SetListOpen(true);
    EXPECT_EQ(keyboard.Focus(), SetupControl::Resolution);
    keyboard.Press(DialogKey::Down);
    EXPECT_EQ(form.Selection(), 2u);
    keyboard.Press(DialogKey::Enter);
    EXPECT_FALSE(keyboard.ListOpen());
    keyboard.SetListOpen(true);
    keyboard.Press(DialogKey::Escape);
    EXPECT_FALSE(keyboard.ListOpen());
    EXPECT_EQ(form.GetResult(), SetupForm::Result::Open);
    keyboard.Press(DialogKey::Escape);
    EXPECT_EQ(form.GetResult(), SetupForm::Result::Cancel);
}

TEST_F(SetupKeys, ClicksMoveTheFocusButNotToADisabledBox)
{
    keyboard.FocusOn(SetupControl::AlwaysOnTop);
    EXPECT_EQ(keyboard.Focus(), SetupControl::Run);
    keyboard.FocusOn(SetupControl::VerticalSync);
    EXPECT_EQ(keyboard.Focus(), SetupControl::VerticalSync);
    keyboard.Press(DialogKey::Tab);
    EXPECT_EQ(keyboard.Focus(), SetupControl::Multisampling);
}
