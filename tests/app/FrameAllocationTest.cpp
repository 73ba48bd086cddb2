// Counts the heap allocations of the frame loop while it plays the shipped
// show offline, and while it captures it: after the first frame there must
// be none.
//
// The software GL driver's own allocations are not counted: it compiles its
// rendering paths with LLVM, through the same operator new, whenever the GL
// state it meets is new to it.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <execinfo.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "app/FrameLoop.h"
#include "app/OfflinePlayback.h"
#include "capture/CaptureTimeline.h"
#include "capture/VideoCapture.h"
#include "effects/Keywords.h"
#include "effects/ShaderShow.h"
#include "gfx/Guards.h"
#include "gfx/ShaderInputs.h"
#include "music/DecodedMusic.h"
#include "music/SteppedMusicStream.h"
#include "script/DemoScript.h"
#include "script/EndDemo.h"
#include "support/AllocationCount.h"
#include "sync/ShowSync.h"
#include "sync/TestEditor.h"
#include "ui/DemoWindow.h"
#include "watch/LiveShow.h"

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

// Tracks of the test's own, in a file that is never there: the show
// folder, which other tests watch, is left as it is.
ShowSync::Options ScratchTracks()
{
    return {.file = (std::filesystem::temp_directory_path() / "kestrova-allocations.rocket").string(),
            .named = false,
            .offline = false,
            .editor = std::nullopt};
}

// The shipped show loaded in a small hidden window, and where it ends.
class FrameAllocations : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(chdir(SHOW_FOLDER), 0) << "the show is assembled in " << SHOW_FOLDER;
        testing::internal::CaptureStderr();
        window.Open(320, 240, 32, false, {.hidden = true});
        ASSERT_EQ(glewInit(), GLEW_OK);
        RestoreScreenProjection();
        std::uint32_t startOffset = 0;
        DemoScript::Load(DemoKeywords(), effects, window, musicFile, startOffset);
        testing::internal::GetCapturedStderr();
        showEnd = ShowEndTime(effects, 0).value_or(0);
        ASSERT_GT(showEnd, 1000u);
    }

    // Frames spread over the whole show, so that every entry draws; the
    // allocations they make.
    long AllocationsOver(int frames, FrameLoop& loop, MusicStream& music)
    {
        StartCounting();
        for (int frame = 0; frame < frames; ++frame) {
            music.SetPosition(static_cast<double>(showEnd) / 1000.0 * frame / frames);
            loop.DrawFrame();
            window.SwapAndPoll();
        }
        return AllocationCount::Stop();
    }

    // From here on, allocations count.
    void StartCounting()
    {
        CalledFromTheGlDriver();  // the first stack walk loads the unwinder
        AllocationCount::Ignore(CalledFromTheGlDriver);
        AllocationCount::Start();
    }

    DemoWindow window;
    const CEnabler texturing{GL_TEXTURE_2D};
    EffectList effects;
    std::string musicFile;
    std::uint32_t showEnd = 0;
};

}  // namespace

TEST_F(FrameAllocations, NoneAfterTheFirstFrameOfTheShippedShow)
{
    SteppedMusicStream music(std::make_shared<const DecodedMusic>(DecodedMusic::Load(musicFile)));
    music.Play();
    FrameLoop loop(effects, window, music);
    loop.DrawFrame();
    window.SwapAndPoll();
    EXPECT_EQ(AllocationsOver(400, loop, music), 0);
}

// Tracks add a row to every frame and a value written from each keyed track
// before the effects draw; with every value of the show keyed, that
// allocates nothing either.
TEST_F(FrameAllocations, NoneWhileTracksDriveEveryValue)
{
    ShowSync sync(ScratchTracks());
    SteppedMusicStream music(std::make_shared<const DecodedMusic>(DecodedMusic::Load(musicFile)));
    music.Play();
    FrameLoop loop(effects, window, music);
    loop.SetSync(&sync);
    ASSERT_FALSE(sync.Tracks().Driven().empty());
    for (SyncTrack* track : sync.Tracks().Driven()) {
        track->SetKey({0, 1.0f, KeyInterpolation::Smooth});
        track->SetKey({5000, 2.0f, KeyInterpolation::Step});
    }
    loop.DrawFrame();
    window.SwapAndPoll();
    EXPECT_EQ(AllocationsOver(200, loop, music), 0);
    for (SyncTrack* track : sync.Tracks().Driven()) {
        track->ClearKeys();  // nothing to keep when the run ends
    }
}

// A connected editor adds a look at its socket and the row told to it to
// every frame; while the editor sends nothing, that allocates nothing.
TEST_F(FrameAllocations, NoneWhileAnEditorIsConnectedAndSilent)
{
    TestEditor editor;
    ShowSync::Options options = ScratchTracks();
    options.editor = EditorAddress{"127.0.0.1", editor.Port()};
    ShowSync sync(options);
    SteppedMusicStream music(std::make_shared<const DecodedMusic>(DecodedMusic::Load(musicFile)));
    music.Play();
    FrameLoop loop(effects, window, music);
    loop.SetSync(&sync);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (editor.AskedTracks().size() < sync.Tracks().Driven().size() && std::chrono::steady_clock::now() < deadline) {
        loop.DrawFrame();
        window.SwapAndPoll();
        editor.Serve();
    }
    ASSERT_EQ(editor.AskedTracks().size(), sync.Tracks().Driven().size());
    EXPECT_EQ(AllocationsOver(200, loop, music), 0) << "rows change every frame, so one is told every frame";
    editor.Serve();
    EXPECT_GE(editor.ToldRows().size(), 200u);
}

// A shader that reads every input adds the music's analysis, the textures
// it fills and the frame kept for the next to every frame: none allocates.
TEST_F(FrameAllocations, NoneWhileAShaderReadsEveryInput)
{
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "kestrova-allocations.fs";
    std::FILE* shader = std::fopen(file.c_str(), "w");
    ASSERT_NE(shader, nullptr);
    std::fputs("#version 410 core\nuniform float fGlobalTime; uniform float fFrameTime; uniform vec2 v2Resolution;\n"
               "uniform sampler1D texFFT; uniform sampler1D texFFTSmoothed; uniform sampler1D texFFTIntegrated;\n"
               "uniform sampler2D texPreviousFrame; uniform sampler2D iChannel0; uniform int iFrame; uniform vec4 iDate;\n"
               "in vec2 out_texcoord; layout(location = 0) out vec4 out_color;\n"
               "void main() { out_color = vec4(texture(texFFT, 0.1).r + texture(texFFTSmoothed, 0.1).r\n"
               "  + texture(texFFTIntegrated, 0.1).r + texture(iChannel0, vec2(0.1, 0.25)).x\n"
               "  + texture(texPreviousFrame, out_texcoord).r + fGlobalTime + fFrameTime + v2Resolution.x\n"
               "  + float(iFrame) + iDate.w); }\n",
               shader);
    std::fclose(shader);
    const auto music = std::make_shared<const DecodedMusic>(DecodedMusic::Load(musicFile));
    ShaderInputs inputs;
    EffectList hearing;
    hearing.Append(std::make_unique<Effekter::ShaderShow>(0, showEnd, file.string(), "", &inputs));
    std::filesystem::remove(file);
    inputs.SetMusic(music);
    SteppedMusicStream clock(music);
    clock.Play();
    FrameLoop loop(hearing, window, clock);
    loop.SetShaderInputs(&inputs);
    clock.SetPosition(1.0);
    loop.DrawFrame();
    window.SwapAndPoll();
    EXPECT_EQ(AllocationsOver(200, loop, clock), 0);
}

// Watching adds a look at the file watcher's events to every frame; while
// no file changes, that allocates nothing either.
TEST_F(FrameAllocations, NoneWhileWatchingAndNothingChanges)
{
    const KeywordTable keywords = DemoKeywords();
    EffectList watched;
    LiveShow live(keywords, watched, true);
    std::string music;
    std::uint32_t startOffset = 0;
    testing::internal::CaptureStderr();
    live.Load(window, music, startOffset);
    testing::internal::GetCapturedStderr();
    SteppedMusicStream clock(std::make_shared<const DecodedMusic>(DecodedMusic::Load(music)));
    clock.Play();
    FrameLoop loop(watched, window, clock);
    loop.SetLiveShow(&live);
    loop.DrawFrame();
    window.SwapAndPoll();
    EXPECT_EQ(AllocationsOver(200, loop, clock), 0);
}

// Capturing adds the read-back, the music's samples and the hand-over to the
// encoding thread to every frame, and still nothing is allocated.
TEST_F(FrameAllocations, NoneWhileCapturing)
{
    const auto music = std::make_shared<const DecodedMusic>(DecodedMusic::Load(musicFile));
    constexpr int fps = 30;
    const CaptureTimeline timeline(0, showEnd, fps, music->SampleRate());
    const std::string file = (std::filesystem::temp_directory_path() / "kestrova-allocations.mkv").string();
    {
        VideoCapture capture({.path = file, .width = 320, .height = 240, .framesPerSecond = fps, .quality = 30}, music,
                             timeline);
        OfflinePlayback playback(effects, window, music, 0, fps, std::nullopt);
        playback.Draw(0);
        capture.AddFrame();
        playback.Show();
        StartCounting();
        // Every 20th frame of the show, so that every entry draws.
        for (long frame = 20; frame < timeline.Frames(); frame += 20) {
            playback.Draw(frame);
            capture.AddFrame();
            playback.Show();
        }
        EXPECT_EQ(AllocationCount::Stop(), 0);
        capture.Finish();
    }
    EXPECT_GT(std::filesystem::file_size(file), 0u);
    std::filesystem::remove(file);
}
