#include <gtest/gtest.h>

#include <bit>
#include <chrono>
#include <optional>

#include "app/FrameLoop.h"
#include "effects/ShaderShow.h"
#include "gfx/Guards.h"
#include "support/HandClock.h"
#include "support/ScriptFolder.h"
#include "sync/RocketFile.h"
#include "sync/TestEditor.h"
#include "ui/DemoWindow.h"

namespace {

TestEditor::Key KeyOf(std::uint32_t row, float value)
{
    return {row, std::bit_cast<std::uint32_t>(value), 0};
}

// A show of one shader whose grey is its uniform "level", played by the
// frame loop with a Rocket editor connected.
class EditorSync : public ::testing::Test {
protected:
    void SetUp() override
    {
        testing::internal::CaptureStderr();
        window.Open(64, 48, 32, false, {.hidden = true});
        ASSERT_EQ(glewInit(), GLEW_OK);
        RestoreScreenProjection();
        folder.WriteFile("data/level.fs", "#version 110\nuniform float level;\n"
                                          "void main() { gl_FragColor = vec4(vec3(level), 1.0); }\n");
        effects.Append(std::make_unique<Effekter::ShaderShow>(0, 100000, "data/level.fs", ""));
        sync.emplace(ShowSync::Options{.editor = EditorAddress{"127.0.0.1", editor.Port()}});
        loop.SetSync(&*sync);
        clock.position = 1.0;  // inside the shader's window
        testing::internal::GetCapturedStderr();
    }

    void TearDown() override
    {
        testing::internal::CaptureStderr();
        loop.SetSync(nullptr);
        sync.reset();  // may keep unsaved keys; said on standard error
        testing::internal::GetCapturedStderr();
    }

    // Frames until the editor has been asked for the level's track.
    void Connect()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (std::chrono::steady_clock::now() < deadline &&
               std::find(editor.AskedTracks().begin(), editor.AskedTracks().end(), "level") == editor.AskedTracks().end()) {
            Frame();
        }
        ASSERT_TRUE(editor.HasDemo());
    }

    // One frame, then the editor hears what it was sent.
    std::uint8_t Frame()
    {
        testing::internal::CaptureStderr();
        loop.DrawFrame();
        testing::internal::GetCapturedStderr();
        GLubyte pixel[4]{};
        glReadPixels(32, 24, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
        window.SwapAndPoll();
        editor.Serve();
        return pixel[0];
    }

    ScriptFolder folder;
    TestEditor editor;
    DemoWindow window;
    const CEnabler texturing{GL_TEXTURE_2D};
    EffectList effects;
    HandClock clock;
    std::optional<ShowSync> sync;
    FrameLoop loop{effects, window, clock};
};

}  // namespace

TEST_F(EditorSync, AKeyTheEditorSetsChangesTheNextFramesUniform)
{
    Connect();
    EXPECT_EQ(Frame(), 0) << "no keys yet: the shader's own value";
    editor.SendKey("level", KeyOf(0, 0.5f));
    EXPECT_EQ(Frame(), 128);
    editor.SendKey("level", KeyOf(0, 1.0f));
    EXPECT_EQ(Frame(), 255);
    editor.SendDeleteKey("level", 0);
    EXPECT_EQ(Frame(), 255) << "a track without keys leaves the uniform as it was last set";
}

TEST_F(EditorSync, TheEditorsRowSeeksTheMusicAndTheShowsRowIsToldBack)
{
    Connect();
    // 120 beats a minute, 8 rows a beat: row 160 begins at 10 s.
    editor.SendRow(160);
    Frame();
    ASSERT_FALSE(clock.seeks.empty());
    EXPECT_DOUBLE_EQ(clock.seeks.back(), 10.0005);
    Frame();
    EXPECT_TRUE(editor.ToldRows().empty() || editor.ToldRows().back() != 159) << "the row lands where the editor put it";

    clock.position = 2.0;  // a seek made in the show
    Frame();
    ASSERT_FALSE(editor.ToldRows().empty());
    EXPECT_EQ(editor.ToldRows().back(), 32u);
}

TEST_F(EditorSync, TheEditorsPausePausesAndItsSaveWritesTheTracksFile)
{
    Connect();
    editor.SendPause(1);
    Frame();
    ASSERT_FALSE(clock.pauses.empty());
    EXPECT_TRUE(clock.pauses.back());
    editor.SendPause(0);
    Frame();
    EXPECT_FALSE(clock.pauses.back());

    editor.SendKey("level", KeyOf(24, 0.25f));
    editor.SendSave();
    Frame();
    const SyncTracks saved = ReadRocketFile(ShowSync::defaultFile);
    ASSERT_NE(saved.Find("level"), nullptr);
    EXPECT_EQ(saved.Find("level")->Keys(), (std::vector<TrackKey>{{24, 0.25f, KeyInterpolation::Step}}));
    EXPECT_FALSE(sync->Unsaved());
}
