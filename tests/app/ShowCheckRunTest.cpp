#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>

#include "support/Pictures.h"
#include "support/ScriptFolder.h"
#include "support/TemporaryFolder.h"
#include "support/TestAudio.h"

#include <sndfile.h>

namespace {

struct Checked {
    int exitCode;
    std::string report;       // standard output
    std::string debugOutput;  // standard error
};

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

// kestrova --check run in a show folder as a demo maker would run it; the
// time limit only keeps a check that waits for someone from hanging the test.
class ShowCheckRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        audio.Write("music.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, BinSine(4, 44100 * 3, 0.5f));
        std::filesystem::copy_file(audio.Root() / "music.wav", show.Root() / "data/music.wav");
    }

    Checked Check(const std::filesystem::path& folder, const std::string& arguments = "",
                  const std::string& environment = "") const
    {
        const std::filesystem::path out = outputs.Path() / "out.txt";
        const std::filesystem::path errors = outputs.Path() / "err.txt";
        const std::string command = "cd '" + folder.string() + "' && " + environment + " timeout 60 '" + KESTROVA_PROGRAM +
                                    "' --check " + arguments + " > '" + out.string() + "' 2> '" + errors.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(out), ReadBytes(errors)};
    }

    TestAudioFolder audio;
    ScriptFolder show;
    TemporaryFolder outputs;
};

}  // namespace

// One problem of every kind, each on its line, whatever came before it.
TEST_F(ShowCheckRun, EveryProblemIsReportedWithItsLineAndAnErrorExitsWithOne)
{
    // A model that is no model, among its effect's own files.
    std::filesystem::copy(std::filesystem::path(SHOW_FOLDER) / "data/rubber", show.Root() / "data/rubber");
    show.WriteFile("data/rubber/simple.3ds", "not a model");
    show.WriteFile("data/broken.fs", "void main() { gl_FragColor = vec4(1.0) }\n");
    show.WriteFile("data/demo.rocket", "<tracks>\n<track name=\"glow\">\n<key row=\"4\" value=\"1\" interpolation=\"9\"/>\n"
                                       "</track>\n</tracks>\n");
    const std::string plugin = std::string(TEST_PLUGIN_DIR) + "/plugin_without_draw.so";
    show.WriteScript("data/music.wav\n0\n10\n"
                     "Plasm2D\n0\n1000\n5\n"                                              // line 4
                     "FlashWhite\n13OOO\n100\n"                                           // 8
                     "FlashWhite\n2000\n1000\n"                                           // 11
                     "FlashWhite\n2500\n4000\n"                                           // 14
                     "AlphaBlendImage\n0\n1000\ndata/pictures/missing.jpg\nUP\n"          // 17
                     "Rubber3d\n0\n1000\n"                                                // 22
                     "ShaderShow\n0\n1000\ndata/broken.fs\ndata/pictures/missing.jpg\n"   // 25
                     "Plugin\n0\n1000\n" + plugin + "\n1 0 0\n"                           // 30
                     "EndDemo\n3500\n5000\n");                                            // 35
    const Checked checked = Check(show.Root());
    EXPECT_EQ(checked.exitCode, 1) << checked.debugOutput;
    const std::string& report = checked.report;
    EXPECT_PRED2(Contains, report, "data/demo.txt:4: error: unknown keyword 'Plasm2D' (did you mean Plasma2D?)\n");
    EXPECT_PRED2(Contains, report, "data/demo.txt:9: warning: '13OOO' is read as 13\n");
    EXPECT_PRED2(Contains, report,
                 "data/demo.txt:11: error: the window of FlashWhite ends at 1000, before it starts at 2000: it is never "
                 "drawn\n");
    EXPECT_PRED2(Contains, report,
                 "data/demo.txt:14: warning: the window of FlashWhite ends at 4000, after the music's end at 3000 ms");
    EXPECT_PRED2(Contains, report,
                 "data/demo.txt:17: error: AlphaBlendImage: the picture data/pictures/missing.jpg cannot be read\n");
    EXPECT_PRED2(Contains, report, "data/demo.txt:22: error: Rubber3d: the model data/rubber/simple.3ds cannot be read\n");
    EXPECT_PRED2(Contains, report, "data/demo.txt:25: error: ShaderShow: Compiler error ");
    EXPECT_PRED2(Contains, report, "... while compiling:\n data/broken.fs\n    1: void main() { gl_FragColor = vec4(1.0) }\n");
    EXPECT_PRED2(Contains, report, "data/demo.txt:30: error: Plugin: Unable to fint Draw function in plugin: " + plugin + "\n");
    EXPECT_PRED2(Contains, report, "data/demo.txt:35: warning: the show ends at 3500, after the music's end at 3000 ms");
    EXPECT_PRED2(Contains, report, "data/demo.rocket: error: Unable to read tracks file data/demo.rocket, line 3: ");
    EXPECT_TRUE(report.ends_with("\ndata/demo.txt: 7 errors, 3 warnings\n")) << report;
    EXPECT_PRED2(Contains, checked.debugOutput, "data/demo.txt line 9: '13OOO' is read as 13\n");
    EXPECT_FALSE(Contains(checked.debugOutput, "Exception:")) << "problems are reported, not thrown";
}

// Warnings alone leave the exit status 0; a tracks file named but not there
// yet is what a live run makes.
TEST_F(ShowCheckRun, WarningsAloneExitWithZero)
{
    show.WriteScript("data/music.wav\n0\n1\nFlashWhite\n0\n300ms\n");
    const Checked checked = Check(show.Root(), "--sync keys.rocket");
    EXPECT_EQ(checked.exitCode, 0) << checked.debugOutput;
    const std::string keys = (show.Root() / "keys.rocket").string();
    EXPECT_EQ(checked.report, "data/demo.txt:6: warning: '300ms' is read as 300\n" + keys +
                                  ": warning: there is no such tracks file yet: the show plays without tracks, and --render "
                                  "and --capture refuse to start\n"
                                  "data/demo.txt: 2 warnings\n");
}

TEST_F(ShowCheckRun, AMissingScriptIsAnError)
{
    std::filesystem::remove(show.Root() / "data/demo.txt");
    const Checked checked = Check(show.Root());
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_EQ(checked.report, "data/demo.txt: error: the script cannot be read\ndata/demo.txt: 1 error\n");
}

TEST_F(ShowCheckRun, MusicThatCannotBeDecodedIsAnErrorAtItsLine)
{
    show.WriteScript("# the music\ndata/nothing.ogg\n0\n1\nFlashWhite\n0\n300\n");
    const Checked checked = Check(show.Root());
    EXPECT_EQ(checked.exitCode, 1);
    EXPECT_EQ(checked.report, "data/demo.txt:2: error: Unable to load music: data/nothing.ogg\ndata/demo.txt: 1 error\n");
}

// The shipped show is clean, and checking it is quick.
TEST_F(ShowCheckRun, TheShippedShowChecksClean)
{
    const Checked checked = Check(show.Root(), std::string("--data '") + SHOW_FOLDER + "'");
    EXPECT_EQ(checked.exitCode, 0) << checked.debugOutput;
    EXPECT_EQ(checked.report, "data/demo.txt: no problems\n");
    EXPECT_PRED2(Contains, checked.debugOutput, "Loaded EndDemo with start time");
}

// Like --render, a check needs no X display: SDL's offscreen driver serves,
// and shaders still compile there.
TEST_F(ShowCheckRun, AFolderChecksWithoutAnyDisplay)
{
    ASSERT_TRUE(WriteTwoBandPicture((show.Root() / "data/card.png").string(), FIF_PNG, 24, {255, 0, 0, 255}, {0, 0, 255, 255}));
    show.WriteFile("data/solid.fs", "uniform float time;\nuniform float beat;\n"
                                    "void main() { gl_FragColor = vec4(1.0) + vec4(0.0 * time * beat); }\n");
    show.WriteFile("data/broken.fs", "void main() { gl_FragColor = vec4(1.0) }\n");
    show.WriteScript("data/music.wav\n0\n2\nShaderShow\n0\n1000\ndata/solid.fs\ndata/card.png\n"
                     "ShaderShow\n0\n1000\ndata/broken.fs\ndata/card.png\n");
    Checked checked = Check(show.Root(), "", "env -u DISPLAY -u WAYLAND_DISPLAY");
    EXPECT_EQ(checked.exitCode, 1) << checked.debugOutput;
    EXPECT_PRED2(Contains, checked.report, "data/demo.txt:9: error: ShaderShow: Compiler error ");
    EXPECT_PRED2(Contains, checked.report, "... while compiling:\n data/broken.fs\n");

    show.WriteScript("data/music.wav\n0\n1\nShaderShow\n0\n1000\ndata/solid.fs\ndata/card.png\n");
    checked = Check(show.Root(), "", "env -u DISPLAY -u WAYLAND_DISPLAY");
    EXPECT_EQ(checked.exitCode, 0) << checked.debugOutput;
    EXPECT_EQ(checked.report, "data/demo.txt: no problems\n");
}
