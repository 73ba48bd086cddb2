// Counts heap allocations, of the program and of Dear ImGui, while the frame
// loop runs with the tweak panel hidden: there must be none.
#include <gtest/gtest.h>

#include <imgui.h>

#include <cstdlib>

#include "app/FrameLoop.h"
#include "gfx/Guards.h"
#include "script/Overlays.h"
#include "support/AllocationCount.h"
#include "ui/DemoWindow.h"
#include "ui/TweakPanel.h"

namespace {

void* CountedImGuiAlloc(std::size_t size, void*)
{
    AllocationCount::Count();
    return std::malloc(size);
}

void CountedImGuiFree(void* memory, void*)
{
    std::free(memory);
}

// A clock that stands at 1.5 s with a silent spectrum.
class StillClock : public MusicStream {
public:
    void Play() override {}
    double Position() override { return 1.5; }
    void SetPosition(double) override {}
    void SetPaused(bool) override {}
    void FillSpectrum(std::span<float, spectrumBins> bins) override { std::fill(bins.begin(), bins.end(), 0.0f); }
};

void PushEvents()
{
    SDL_Event motion{};
    motion.type = SDL_MOUSEMOTION;
    motion.motion.x = 20;
    motion.motion.y = 30;
    SDL_PushEvent(&motion);
    SDL_Event key{};
    key.type = SDL_KEYUP;
    key.key.keysym.sym = SDLK_SPACE;
    SDL_PushEvent(&key);
}

}  // namespace

TEST(PanelAllocations, NoneWhileThePanelIsHidden)
{
    ImGui::SetAllocatorFunctions(CountedImGuiAlloc, CountedImGuiFree);
    DemoWindow window;
    testing::internal::CaptureStderr();
    window.Open(320, 240, 32, false, {.hidden = true});
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(glewInit(), GLEW_OK);
    RestoreScreenProjection();
    const CEnabler texturing(GL_TEXTURE_2D);
    EffectList effects;
    // An effect that draws nothing: what the GL driver allocates is not the loop's.
    effects.Append(std::make_unique<Effekter::Overlays>(1000, 2000));
    TweakPanel panel(window, effects);
    StillClock clock;
    FrameLoop loop(effects, window, clock, &panel);
    loop.DrawFrame();
    window.SwapAndPoll();

    AllocationCount::Start();
    for (int frame = 0; frame < 100; ++frame) {
        PushEvents();
        loop.DrawFrame();
        window.SwapAndPoll();
    }
    EXPECT_EQ(AllocationCount::Stop(), 0);

    // Shown, the panel does allocate at first: the count sees it.
    SDL_Event f1{};
    f1.type = SDL_KEYUP;
    f1.key.keysym.sym = SDLK_F1;
    SDL_PushEvent(&f1);
    window.SwapAndPoll();
    ASSERT_TRUE(panel.Visible());
    AllocationCount::Start();
    loop.DrawFrame();
    EXPECT_GT(AllocationCount::Stop(), 0);
    panel.Terminate();
}
