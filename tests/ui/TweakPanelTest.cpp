#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "app/FrameLoop.h"
#include "effects/AlphaBlendImage.h"
#include "effects/FlashWhite.h"
#include "gfx/Guards.h"
#include "support/GlTestContext.h"
#include "support/Pictures.h"
#include "support/ScriptFolder.h"
#include "sync/ShowSync.h"
#include "ui/DemoWindow.h"
#include "ui/TweakPanel.h"

namespace {

void PushKey(Uint32 type, SDL_Keycode key)
{
    SDL_Event event{};
    event.type = type;
    event.key.state = type == SDL_KEYUP ? SDL_RELEASED : SDL_PRESSED;
    event.key.keysym.sym = key;
    SDL_PushEvent(&event);
}

// A clock that stands a quarter through the picture's window.
class StillClock : public MusicStream {
public:
    void Play() override {}
    double Position() override { return 1.25; }
    void SetPosition(double) override {}
    void SetPaused(bool) override {}
    void FillSpectrum(std::span<float, spectrumBins> bins) override { std::fill(bins.begin(), bins.end(), 0.0f); }
};

// The panel in a hidden demo window over two effects: a picture sliding up
// through (1000, 2000) and a flash in (3000, 4000).
class TweakPanelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(WriteTwoBandPicture("card.png", FIF_PNG, 24, {255, 0, 0, 255}, {0, 0, 255, 255}, 64));
        testing::internal::CaptureStderr();
        window.Open(320, 240, 32, false, {.hidden = true});
        testing::internal::GetCapturedStderr();
        ASSERT_EQ(glewInit(), GLEW_OK);
        window.SwapAndPoll();
        auto picture = std::make_unique<Effekter::AlphaBlendImage>(1000, 2000, "card.png", "UP");
        image = picture.get();
        effects.Append(std::move(picture));
        effects.Append(std::make_unique<Effekter::FlashWhite>(3000, 4000));
        tweaks.emplace(effects, tracks);
        panel.emplace(window, effects);
        ResetBetweenEffectsState();
    }

    void ToggleWithF1()
    {
        PushKey(SDL_KEYUP, SDLK_F1);
        window.SwapAndPoll();
    }

    // The picture a quarter through its slide, then the panel.
    std::vector<Rgba> FrameWithPanel()
    {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        image->Draw(1250, 0.0f);
        panel->Draw(1250, 0.5f);
        return ReadFrame();
    }

    ScriptFolder folder;
    DemoWindow window;
    EffectList effects;
    Effekter::AlphaBlendImage* image = nullptr;
    SyncTracks tracks;
    std::optional<TweakTracks> tweaks;
    std::optional<TweakPanel> panel;
};

}  // namespace

TEST_F(TweakPanelTest, AfterTerminateItTakesNoKeysAndLeavesTheSectionsAlone)
{
    panel->Terminate();
    EXPECT_NE(image->tweakBar, nullptr) << "the sections are the bindings', not the panel's";
    ToggleWithF1();
    EXPECT_FALSE(panel->Visible()) << "after Terminate the panel takes no keys";
    panel->Terminate();
}

TEST_F(TweakPanelTest, F1ReleasedShowsAndHidesItAndSetsNoKeyFlag)
{
    EXPECT_FALSE(panel->Visible());
    PushKey(SDL_KEYDOWN, SDLK_F1);
    window.SwapAndPoll();
    EXPECT_FALSE(panel->Visible()) << "pressing alone does nothing";
    ToggleWithF1();
    EXPECT_TRUE(panel->Visible());
    EXPECT_FALSE(window.QuitRequested());
    EXPECT_FALSE(window.SeekForwardRequested());
    EXPECT_FALSE(window.SeekBackRequested());
    ToggleWithF1();
    EXPECT_FALSE(panel->Visible());
}

TEST_F(TweakPanelTest, TheShowsKeysWorkWhetherItIsShownOrNot)
{
    PushKey(SDL_KEYUP, SDLK_RIGHT);
    window.SwapAndPoll();
    EXPECT_TRUE(window.SeekForwardRequested());
    ToggleWithF1();
    FrameWithPanel();
    PushKey(SDL_KEYUP, SDLK_ESCAPE);
    window.SwapAndPoll();
    EXPECT_TRUE(window.QuitRequested()) << "no text field is being edited";
}

TEST_F(TweakPanelTest, HiddenItChangesNeitherThePictureNorTheState)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    image->Draw(1250, 0.0f);
    const std::vector<Rgba> picture = ReadFrame();
    const GlStateSnapshot state = GlStateSnapshot::Take();
    panel->Draw(1250, 0.5f);
    EXPECT_EQ(ReadFrame(), picture);
    EXPECT_TRUE(BetweenEffectsState());
    EXPECT_EQ(GlStateSnapshot::Take(), state);
}

TEST_F(TweakPanelTest, ShownItDrawsOverThePictureAndPutsTheStateBack)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    image->Draw(1250, 0.0f);
    const std::vector<Rgba> picture = ReadFrame();
    const Rgba corner = ReadPixel(40, 14);  // inside the panel, which starts at (10, 10)
    // State that ImGui's renderer sets without putting it back.
    glEnableClientState(GL_VERTEX_ARRAY);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 7);
    const GlStateSnapshot state = GlStateSnapshot::Take();

    ToggleWithF1();
    for (int frame = 0; frame < 2; ++frame) {  // ImGui sizes a new window in a first frame that does not show it
        panel->Draw(1250, 0.5f);
        EXPECT_EQ(GlStateSnapshot::Take(), state) << "frame " << frame;
        EXPECT_TRUE(BetweenEffectsState()) << "frame " << frame;
    }
    EXPECT_NE(ReadFrame(), picture);
    EXPECT_NE(ReadPixel(40, 14), corner);
    glDisableClientState(GL_VERTEX_ARRAY);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

TEST_F(TweakPanelTest, EffectsDrawnAfterItDrawAsWithoutIt)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    image->Draw(1250, 0.0f);
    const std::vector<Rgba> alone = ReadFrame();

    ToggleWithF1();
    FrameWithPanel();
    FrameWithPanel();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    image->Draw(1250, 0.0f);
    EXPECT_EQ(ReadFrame(), alone);
    EXPECT_TRUE(BetweenEffectsState());
}

TEST_F(TweakPanelTest, TheFrameLoopDrawsItOverTheEffects)
{
    StillClock clock;
    FrameLoop loop(effects, window, clock, &*panel);
    loop.DrawFrame();
    const Rgba underneath = ReadPixel(40, 125);  // the picture's top edge lies at 120
    ASSERT_NE(underneath, (Rgba{0, 0, 0, 0}));
    ToggleWithF1();
    loop.DrawFrame();
    loop.DrawFrame();
    EXPECT_NE(ReadPixel(40, 125), underneath);
    EXPECT_TRUE(BetweenEffectsState());
}

// With the run's tracks the panel also shows the rows, the tempo, each
// value's keys and the grid on the timeline, and still puts the state back.
TEST_F(TweakPanelTest, WithTracksItShowsTheKeysAndPutsTheStateBack)
{
    ShowSync::Options options;
    options.file = (folder.Root() / "data/demo.rocket").string();
    ShowSync sync(options);
    StillClock clock;
    FrameLoop loop(effects, window, clock, &*panel);
    tweaks.reset();  // the loop binds the values to the run's tracks now
    loop.SetSync(&sync);
    panel->EditTracks(sync, loop.Tweaks());
    panel->ShowTimeline(loop.Time(), 10.0);
    sync.Tracks().Track("card.png:Mode").SetKey({0, 1.0f, KeyInterpolation::Step});

    ToggleWithF1();
    const GlStateSnapshot state = GlStateSnapshot::Take();
    for (int frame = 0; frame < 3; ++frame) {
        loop.DrawFrame();
        EXPECT_EQ(GlStateSnapshot::Take(), state) << "frame " << frame;
        EXPECT_TRUE(BetweenEffectsState()) << "frame " << frame;
    }
    EXPECT_EQ(image->mode, 1) << "the keyed choice, DOWN";
    sync.Tracks().Track("card.png:Mode").ClearKeys();  // nothing to keep when the test ends
}
