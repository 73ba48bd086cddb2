// Counts the heap allocations of the frame loop while it plays the shipped
// show offline: after the first frame there must be none.
//
// The software GL driver's own allocations are not counted: it compiles its
// rendering paths with LLVM, through the same operator new, whenever the GL
// state it meets is new to it.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <execinfo.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/DemoWindow.h"
#include "app/FrameLoop.h"
#include "effects/Keywords.h"
#include "gfx/Guards.h"
#include "music/DecodedMusic.h"
#include "music/SteppedMusicStream.h"
#include "script/DemoScript.h"
#include "script/EndDemo.h"
#include "support/AllocationCount.h"

namespace {

// The driver's allocations are recognised by the driver on the call stack:
// its compiler's inline templates may be resolved into this program itself.
bool CalledFromTheGlDriver()
{
    void* frames[96];
    const int depth = backtrace(frames, 96);
    for (int frame = 0; frame < depth; ++frame) {
        Dl_info info{};
        if (dladdr(frames[frame], &info) != 0 && info.dli_fname != nullptr &&
            (std::strstr(info.dli_fname, "/dri/") != nullptr || std::strstr(info.dli_fname, "libLLVM") != nullptr)) {
            return true;
        }
    }
    return false;
}
}  // namespace

TEST(FrameAllocations, NoneAfterTheFirstFrameOfTheShippedShow)
{
    ASSERT_EQ(chdir(SHOW_FOLDER), 0) << "the show is assembled in " << SHOW_FOLDER;
    DemoWindow window;
    testing::internal::CaptureStderr();
    window.Open(320, 240, 32, false, {.hidden = true});
    ASSERT_EQ(glewInit(), GLEW_OK);
    RestoreScreenProjection();
    const CEnabler texturing(GL_TEXTURE_2D);
    EffectList effects;
    std::string musicFile;
    std::uint32_t startOffset = 0;
    DemoScript::Load(DemoKeywords(), effects, window, musicFile, startOffset);
    testing::internal::GetCapturedStderr();

    SteppedMusicStream music(std::make_shared<const DecodedMusic>(DecodedMusic::Load(musicFile)));
    music.Play();
    FrameLoop loop(effects, window, music);
    // Up to where the show ends.
    std::uint32_t showEnd = 0;
    for (const auto& effect : effects) {
        showEnd = std::max(showEnd, effect->endTime);
    }
    for (const auto& effect : effects) {
        if (dynamic_cast<const Effekter::EndDemo*>(effect.get()) != nullptr) {
            showEnd = std::min(showEnd, effect->startTime);
        }
    }
    ASSERT_GT(showEnd, 1000u);

    loop.DrawFrame();
    window.SwapAndPoll();
    CalledFromTheGlDriver();  // the first stack walk loads the unwinder
    AllocationCount::Ignore(CalledFromTheGlDriver);
    AllocationCount::Start();
    constexpr int frames = 400;
    for (int frame = 0; frame < frames; ++frame) {
        // Spread over the whole show, so that every entry draws.
        music.SetPosition(static_cast<double>(showEnd) / 1000.0 * frame / frames);
        loop.DrawFrame();
        window.SwapAndPoll();
    }
    EXPECT_EQ(AllocationCount::Stop(), 0);
}
