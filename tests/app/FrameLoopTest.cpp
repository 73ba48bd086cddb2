#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/FrameLoop.h"
#include "core/DemoMessage.h"
#include "effects/Keywords.h"
#include "script/EndDemo.h"
#include "support/HandClock.h"
#include "support/KeyEvents.h"
#include "support/ScriptFolder.h"
#include "ui/DemoWindow.h"

namespace {

struct Drawn {
    std::string name;
    std::uint32_t time;
    float beat;
    bool operator==(const Drawn&) const = default;
};

class Recorder : public Effekt {
public:
    Recorder(std::uint32_t startTime, std::uint32_t endTime, std::string label, std::vector<Drawn>& log)
        : Effekt(startTime, endTime), label(std::move(label)), log(log)
    {
    }
    void Draw(std::uint32_t time, float beat) override { log.push_back({label, time, beat}); }

private:
    std::string label;
    std::vector<Drawn>& log;
};

class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::internal::CaptureStderr();
        window.Open(160, 120, 32, false, {.hidden = true});
        testing::internal::GetCapturedStderr();
        window.SwapAndPoll();
        effects.Append(std::make_unique<Recorder>(1000, 2000, "first", drawn));
        effects.Append(std::make_unique<Recorder>(1500, 2500, "second", drawn));
        effects.Append(std::make_unique<Recorder>(0, 1000, "before", drawn));
    }

    // One frame at the given clock reading; returns what was drawn.
    std::vector<Drawn> FrameAt(double seconds)
    {
        drawn.clear();
        clock.position = seconds;
        loop.DrawFrame();
        window.SwapAndPoll();
        return drawn;
    }

    DemoWindow window;
    HandClock clock;
    std::vector<Drawn> drawn;
    EffectList effects;
    FrameLoop loop{effects, window, clock};
};

}  // namespace

TEST_F(FrameLoopTest, DrawsOnlyInsideTheOpenWindows)
{
    EXPECT_EQ(FrameAt(1.0), std::vector<Drawn>{});
    EXPECT_EQ(FrameAt(1.0015), (std::vector<Drawn>{{"first", 1001, 0.0f}}));
    EXPECT_EQ(FrameAt(0.999), (std::vector<Drawn>{{"before", 999, 0.0f}}));
    EXPECT_EQ(FrameAt(2.0), (std::vector<Drawn>{{"second", 2000, 0.0f}}));
    EXPECT_EQ(FrameAt(2.5), std::vector<Drawn>{});
}

TEST_F(FrameLoopTest, OverlappingEffectsDrawInScriptOrder)
{
    EXPECT_EQ(FrameAt(1.75), (std::vector<Drawn>{{"first", 1750, 0.0f}, {"second", 1750, 0.0f}}));
}

TEST_F(FrameLoopTest, TimeIsTheClockTruncatedToMilliseconds)
{
    EXPECT_EQ(FrameAt(1.2999).front().time, 1299u);
    EXPECT_EQ(MillisecondsOf(4294967.2955), 4294967295u);
    EXPECT_EQ(MillisecondsOf(4294967.296), 0u) << "only the low 32 bits are kept";
}

TEST_F(FrameLoopTest, EveryEffectOfAFrameGetsTheSameBeat)
{
    for (int bin = 0; bin < 16; ++bin) {
        clock.spectrum[static_cast<std::size_t>(bin)] = 0.5f / 16.0f;
    }
    for (const Drawn& effect : FrameAt(1.75)) {
        EXPECT_FLOAT_EQ(effect.beat, 0.015625f);
    }
    loop.ForceBeat(0.75f);
    EXPECT_EQ(FrameAt(1.75).back().beat, 0.75f);
}

TEST_F(FrameLoopTest, ReleasedArrowsSeekOneSecond)
{
    clock.position = 10.0;
    Release(SDLK_RIGHT);
    window.SwapAndPoll();
    loop.DrawFrame();
    EXPECT_EQ(clock.seeks, std::vector<double>{11.0});

    Release(SDLK_LEFT);
    window.SwapAndPoll();
    loop.DrawFrame();
    EXPECT_EQ(clock.seeks, (std::vector<double>{11.0, 10.0}));

    window.SwapAndPoll();  // nothing released: no seek
    loop.DrawFrame();
    EXPECT_EQ(clock.seeks.size(), 2u);
}

TEST_F(FrameLoopTest, BothArrowsInOneFrameSeekForwardThenBack)
{
    clock.position = 5.5;
    Release(SDLK_LEFT);
    Release(SDLK_RIGHT);
    window.SwapAndPoll();
    loop.DrawFrame();
    EXPECT_EQ(clock.seeks, (std::vector<double>{6.5, 5.5}));
}

TEST_F(FrameLoopTest, EscapeEndsTheLoopAfterTheFrameInWhichItWasReleased)
{
    clock.position = 1.5;
    Release(SDLK_ESCAPE);
    loop.Run();
    EXPECT_EQ(drawn.size(), 1u);
}

TEST_F(FrameLoopTest, AThrownMessageLeavesTheLoop)
{
    effects.Append(std::make_unique<Effekter::EndDemo>(5000, 6000));
    clock.position = 5.001;
    EXPECT_THROW(loop.Run(), DemoMessage);
}

TEST_F(FrameLoopTest, EachNewKeyAsksForWhatItNames)
{
    const std::pair<SDL_Keycode, bool KeyRequests::*> keys[] = {
        {SDLK_SPACE, &KeyRequests::pause},          {SDLK_LEFTBRACKET, &KeyRequests::loopStart},
        {SDLK_RIGHTBRACKET, &KeyRequests::loopEnd}, {SDLK_BACKSPACE, &KeyRequests::loopClear},
        {SDLK_F5, &KeyRequests::reload},
    };
    for (const auto& [key, request] : keys) {
        Release(key);
        window.SwapAndPoll();
        EXPECT_TRUE(window.Requests().*request) << SDL_GetKeyName(key);
        window.SwapAndPoll();
        EXPECT_FALSE(window.Requests().*request) << "once per release";
    }
    Release(SDLK_RIGHT, KMOD_LSHIFT);
    Release(SDLK_LEFT, KMOD_RSHIFT);
    window.SwapAndPoll();
    EXPECT_TRUE(window.Requests().seekFarForward);
    EXPECT_TRUE(window.Requests().seekFarBack);
    EXPECT_FALSE(window.Requests().seekForward) << "the plain arrows keep their one second";
    EXPECT_FALSE(window.Requests().seekBack);

    Press(SDLK_SPACE);
    window.SwapAndPoll();
    EXPECT_FALSE(window.Requests().pause) << "keys act on release";
}

TEST_F(FrameLoopTest, PausedFramesGoOnBeingDrawnAtTheSameTime)
{
    clock.position = 1.25;
    Release(SDLK_SPACE);
    window.SwapAndPoll();
    loop.DrawFrame();
    EXPECT_EQ(clock.pauses, std::vector<bool>{true});
    EXPECT_EQ(FrameAt(1.25), (std::vector<Drawn>{{"first", 1250, 0.0f}}));
}

// F5 builds the show again from its script while the music goes on.
TEST_F(FrameLoopTest, AReloadKeepsTheMusicTime)
{
    ScriptFolder show;
    show.WriteScript("data/music.ogg\n0\n1\nFlashWhite\n1000\n3000\n");
    const KeywordTable keywords = DemoKeywords();
    EffectList shown;
    LiveShow live(keywords, shown, false);
    std::string musicFile;
    std::uint32_t startOffset = 0;
    testing::internal::CaptureStderr();
    live.Load(window, musicFile, startOffset);
    FrameLoop reloading(shown, window, clock);
    reloading.SetLiveShow(&live);
    const Effekt* before = &shown[0];
    show.WriteScript("data/music.ogg\n0\n1\nFlashWhite\n1500\n2500\n");
    clock.position = 1.75;
    Release(SDLK_F5);
    window.SwapAndPoll();
    EXPECT_EQ(reloading.DrawFrame(), 1750u);
    testing::internal::GetCapturedStderr();
    EXPECT_NE(&shown[0], before);
    EXPECT_EQ(shown[0].startTime, 1500u);
    EXPECT_TRUE(clock.seeks.empty()) << "no jump back to the start";
}

// Editing, the show holds paused at the start of its end instead of ending,
// with a note, and goes on when moved away from there.
TEST_F(FrameLoopTest, EditingTheShowHoldsAtTheStartOfItsEnd)
{
    effects.Append(std::make_unique<Effekter::EndDemo>(3000, 100000));
    EXPECT_THROW(FrameAt(3.5), DemoMessage) << "playing, the show ends";

    loop.HoldAtTheEnd();
    EXPECT_EQ(FrameAt(3.5), std::vector<Drawn>{}) << "nothing is open at the end's start but the end";
    ASSERT_FALSE(clock.seeks.empty());
    EXPECT_DOUBLE_EQ(clock.seeks.back(), 3.0005);
    ASSERT_FALSE(clock.pauses.empty());
    EXPECT_TRUE(clock.pauses.back());
    EXPECT_NE(loop.EndNote().find("3000 ms"), std::string::npos) << loop.EndNote();

    EXPECT_EQ(FrameAt(1.2), (std::vector<Drawn>{{"first", 1200, 0.0f}}));
    EXPECT_EQ(loop.EndNote(), "") << "moved away from the end";
}
