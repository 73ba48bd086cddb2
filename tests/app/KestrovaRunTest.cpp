#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdlib>

#include "core/DemoMessage.h"
#include "support/Pictures.h"
#include "support/ScriptFolder.h"
#include "support/TemporaryFolder.h"
#include "support/TestAudio.h"

#include <sndfile.h>

namespace {

struct Outcome {
    int exitCode;
    std::string debugOutput;
};

// Runs the demo program in a show folder, as a viewer would, but without a
// message box to click.
class KestrovaRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::vector<float> tone = BinSine(4, 44100 * 3, 0.5f);
        audio.Write("music.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, tone);
        std::filesystem::copy_file(audio.Root() / "music.wav", show.Root() / "data/music.wav");
    }

    // launcher goes before the program (a time limit); the program starts in
    // startFolder, the show's folder unless another is given.
    Outcome Run(const std::string& arguments, const std::string& size = "160x120", const std::string& launcher = "",
                const std::filesystem::path& startFolder = {}) const
    {
        const std::filesystem::path errors = show.Root() / "stderr.txt";
        const std::filesystem::path start = startFolder.empty() ? show.Root() : startFolder;
        const std::string command = "cd '" + start.string() + "' && " + launcher + " '" + KESTROVA_PROGRAM +
                                    "' --no-message-box --windowed --size " + size + " --data '" + show.Root().string() + "' " +
                                    arguments + " 2> '" + errors.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(errors)};
    }

    struct Said {
        int exitCode;
        std::string output;
        std::string errors;
    };

    // Runs the program with these arguments alone (after the launcher),
    // started in the music's folder, keeping what it prints.
    Said RunAlone(const std::string& arguments, const std::string& launcher = "") const
    {
        const std::filesystem::path output = audio.Root() / "stdout.txt";
        const std::filesystem::path errors = audio.Root() / "stderr.txt";
        const std::string command = "cd '" + audio.Root().string() + "' && " + launcher + " '" + KESTROVA_PROGRAM + "' " + arguments +
                                    " > '" + output.string() + "' 2> '" + errors.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(output), ReadBytes(errors)};
    }

    TestAudioFolder audio;
    ScriptFolder show;
};

// The program lies beside the build's show, which gives the effects' files
// a show's folder lacks; the program knows itself by its real path.
const std::string buildShow = std::filesystem::canonical(KESTROVA_PROGRAM).parent_path().string();

std::string FromTheBuild(const std::string& file)
{
    return file + " comes from the show in " + buildShow + "\n";
}

// What the debug output says of a file that could not be read or used.
constexpr std::array<const char*, 8> problems{"Unable to load", "Error opening", "Unable to locate shader handle",
                                              "Compiler error", "Linker error", "Exception", "is damaged",
                                              "not a regular file"};

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++count;
    }
    return count;
}

RGBQUAD CentreOf(const std::filesystem::path& frame)
{
    FIBITMAP* picture = FreeImage_Load(FIF_PNG, frame.c_str(), 0);
    RGBQUAD centre{};
    if (picture == nullptr) {
        ADD_FAILURE() << "no frame " << frame;
        return centre;
    }
    FreeImage_GetPixelColor(picture, FreeImage_GetWidth(picture) / 2, FreeImage_GetHeight(picture) / 2, &centre);
    FreeImage_Unload(picture);
    return centre;
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(KestrovaRun, TheShowEndsWithEndOfShowAndExitCodeZero)
{
    show.WriteScript("data/music.wav\n0\n2\nFlashWhite\n0\n300\nEndDemo\n300\n100000");
    const Outcome outcome = Run("");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Loaded FlashWhite with start time 0 and end time 300\n");
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: End of show\n");
}

// Every message but the show's own endings is a failure the caller can see.
TEST_F(KestrovaRun, AFatalMessageExitsWithOne)
{
    show.WriteScript("data/music.wav\n0\n1\nSpinningCube\n0\n300");
    Outcome outcome = Run("");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: Unknown entry 'SpinningCube' in file, please correct\n");

    show.WriteScript("data/nothing.ogg\n0\n1\nEndDemo\n0\n300");
    outcome = Run("");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: Unable to load music: data/nothing.ogg\n");

    show.WriteScript("data/music.wav\n0\n1\nFlashWhite\n0\n1000");
    const std::filesystem::path blocked = show.Root() / "data/music.wav/frames";  // under a file
    outcome = Run("--render 500 --out '" + blocked.string() + "'");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: Unable to write " + blocked.string() + "\n");
    EXPECT_FALSE(Contains(outcome.debugOutput, "Loaded")) << "refused before the show loads";

    std::filesystem::remove(show.Root() / "data/demo.txt");
    outcome = Run("");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: Unable to load data/demo.txt in " + show.Root().string() + "\n");
}

// A batch run never waits for a click, whether a display is there or not.
TEST_F(KestrovaRun, RenderingEndsOnAnErrorWithoutAMessageBox)
{
    show.WriteScript("data/music.wav\n0\n1\nSpinningCube\n0\n300");
    const Said said = RunAlone("--data '" + show.Root().string() + "' --render 100 --out frames", "timeout 20");
    EXPECT_EQ(said.exitCode, 1) << "a box would have held the run until the time limit";
    EXPECT_PRED2(Contains, said.errors, "Exception: Unknown entry 'SpinningCube' in file, please correct\n");
}

// Without X, SDL would open an invisible window and the dialog would wait
// for a click that can never come.
TEST_F(KestrovaRun, WithoutADisplayALiveRunEndsAtOnceAndSaysWhatWorks)
{
    show.WriteScript("data/music.wav\n0\n1\nFlashWhite\n0\n300");
    const std::string noDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY timeout 10";
    for (const char* choice : {"", "--no-dialog --windowed"}) {
        const Said said = RunAlone("--data '" + show.Root().string() + "' " + std::string(choice), noDisplay);
        EXPECT_EQ(said.exitCode, 1) << choice;
        EXPECT_PRED2(Contains, said.errors, "Exception: The show needs a display: set DISPLAY or WAYLAND_DISPLAY");
        EXPECT_PRED2(Contains, said.errors, "--render, --capture and --check work.\n");
        EXPECT_FALSE(Contains(said.errors, "Loaded")) << choice;
    }
    const Said rendered = RunAlone("--data '" + show.Root().string() + "' --render 100 --out frames", noDisplay);
    EXPECT_EQ(rendered.exitCode, 0) << rendered.errors;
}

// SDL draws its boxes with the X server's fonts; a server with none (only
// its built-in cursor font) shows no box, and the run still ends as it would.
TEST_F(KestrovaRun, AMessageBoxThatCannotBeShownChangesNothingButALine)
{
    show.WriteScript("data/music.wav\n0\n1\nEndDemo\n100\n100000");
    const Said said = RunAlone("--data '" + show.Root().string() + "' --windowed --size 160x120",
                               "timeout 30 xvfb-run -a -s '-fp built-ins -screen 0 640x480x24'");
    EXPECT_EQ(said.exitCode, 0) << said.errors;
    EXPECT_PRED2(Contains, said.errors, "Exception: End of show\nThe message box cannot be shown: ");
}

// Opened by name, a named pipe blocks until some writer comes: the show
// opens nothing but regular files, and each refusal names the file.
TEST_F(KestrovaRun, NothingButRegularFilesIsOpened)
{
    std::filesystem::create_directories(show.Root() / "data/rubber");
    for (const char* pipe : {"data/pipe.wav", "data/pipe.jpg", "data/pipe.so", "data/rubber/simple.3ds"}) {
        ASSERT_EQ(mkfifo((show.Root() / pipe).c_str(), 0600), 0) << pipe;
    }
    const std::string render = "--render 100 --out frames";
    const std::string timeLimit = "timeout 20";
    show.WriteScript("data/pipe.wav\n0\n1\nFlashWhite\n0\n300");
    Outcome outcome = Run(render, "160x120", timeLimit);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: Unable to load music: data/pipe.wav (not a regular file)\n");

    show.WriteScript("data/music.wav\n0\n3\nAlphaBlendImage\n0\n1000\ndata/pipe.jpg\nUP\nRubber3d\n0\n1000\n"
                     "Plugin\n0\n1000\ndata/pipe.so\n");
    outcome = Run(render, "160x120", timeLimit);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Unable to load image: data/pipe.jpg (not a regular file)\n");
    EXPECT_PRED2(Contains, outcome.debugOutput, "Unable to load model: data/rubber/simple.3ds (not a regular file)\n");
    EXPECT_PRED2(Contains, outcome.debugOutput,
                 "data/pipe.so is not a regular file\nException: Unable to load plugin: data/pipe.so\n");

    std::filesystem::remove(show.Root() / "data/demo.txt");
    ASSERT_EQ(mkfifo((show.Root() / "data/demo.txt").c_str(), 0600), 0);
    outcome = Run(render, "160x120", timeLimit);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: Unable to load data/demo.txt in " + show.Root().string() + "\n");
}

// SDL turns Ctrl+C and SIGTERM into a quit that only the frame loop sees;
// while the show loads they end the program as they end any other.
TEST_F(KestrovaRun, ASignalWhileLoadingEndsTheRunAtOnce)
{
    const std::string plugin = std::string(TEST_PLUGIN_DIR) + "/slow_plugin.so";  // half a minute to start
    show.WriteScript("data/music.wav\n0\n1\nPlugin\n0\n1000\n" + plugin + "\n");
    for (const auto& [signal, status] : {std::pair{"TERM", 128 + SIGTERM}, std::pair{"INT", 128 + SIGINT}}) {
        const auto start = std::chrono::steady_clock::now();
        const Outcome outcome = Run("", "160x120", std::string("timeout --preserve-status -s ") + signal + " 2");
        EXPECT_EQ(outcome.exitCode, status) << signal;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << signal;
    }
}

TEST_F(KestrovaRun, ATracksFileThatCannotBeReadStopsTheStart)
{
    show.WriteScript("data/music.wav\n0\n1\nFlashWhite\n0\n300");
    show.WriteFile("data/demo.rocket", "<tracks>\n<track name=\"glow\">\n<key row=\"4\" value=\"1\" interpolation=\"9\"/>\n"
                                       "</track>\n</tracks>\n");
    Outcome outcome = Run("--render 100 --out frames");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: Unable to read tracks file data/demo.rocket, line 3: ");
    EXPECT_FALSE(Contains(outcome.debugOutput, "Loaded")) << "stopped before the show loads";

    const std::filesystem::path missing = show.Root() / "keys.rocket";
    outcome = Run("--sync keys.rocket --render 100 --out frames");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: Unable to read tracks file " + missing.string());
}

// The music loops, so a show that ends after it only stops when the viewer
// closes the window (SDL turns SIGINT into a close), which is no failure.
TEST_F(KestrovaRun, AShowEndingAfterTheMusicSaysSoAndClosingTheWindowExitsWithZero)
{
    show.WriteScript("data/music.wav\n0\n2\nEndDemo\n7000\n8000\nEndDemo\n4500\n100000");
    const Outcome outcome = Run("", "160x120", "timeout --preserve-status -s INT 2");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_PRED2(Contains, outcome.debugOutput,
                 "The show ends at 4500 ms, after the music's end at 3000 ms: the music loops until the show is stopped\n");
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: You quit?\n");
}

TEST_F(KestrovaRun, RenderingPastTheEndOfTheShowNamesTheTimesLeftOut)
{
    show.WriteScript("data/music.wav\n0\n2\nFlashWhite\n0\n2000\nEndDemo\n1000\n100000");
    const std::filesystem::path out = show.Root() / "frames";
    const Outcome outcome = Run("--render 500,2500,1500 --out '" + out.string() + "'");
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.debugOutput,
                 "Exception: The show ended (End of show) at 1016 ms, before these times could be rendered: 2500, 1500\n");
    EXPECT_TRUE(std::filesystem::exists(out / "0000000500.png"));
    EXPECT_FALSE(std::filesystem::exists(out / "0000001500.png"));
}

TEST_F(KestrovaRun, AnOutputFolderIsFoundFromWhereTheProgramStarted)
{
    show.WriteScript("data/music.wav\n0\n1\nFlashWhite\n0\n1000");
    const Outcome outcome = Run("--render 500 --out frames", "160x120", "", audio.Root());
    EXPECT_EQ(outcome.exitCode, 0) << outcome.debugOutput;
    EXPECT_TRUE(std::filesystem::exists(audio.Root() / "frames/0000000500.png"));
    EXPECT_FALSE(std::filesystem::exists(show.Root() / "frames"));
}

TEST_F(KestrovaRun, TheLogFileGetsTheDebugOutputToo)
{
    show.WriteScript("data/music.wav\n0\n1\nEndDemo\n100\n100000");
    const std::filesystem::path log = show.Root() / "run.log";
    const Outcome outcome = Run("--log '" + log.string() + "'");
    EXPECT_PRED2(Contains, ReadBytes(log), "Exception: End of show\n");
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: End of show\n");
}

TEST_F(KestrovaRun, RenderingWritesTheRequestedFramesTheSameEveryTime)
{
    ASSERT_TRUE(WriteTwoBandPicture((show.Root() / "data/card.png").string(), FIF_PNG, 24, {255, 179, 71, 255},
                                    {14, 77, 100, 255}, 64));
    show.WriteScript(
        "data/music.wav\n0\n3\nAlphaBlendImage\n0\n2000\ndata/card.png\nRANDOM\nFlashWhite\n500\n900\nEndDemo\n5000\n6000");
    const std::filesystem::path first = show.Root() / "first";
    const std::filesystem::path second = show.Root() / "second";
    const Outcome outcome = Run("--render 700,100,1333 --out '" + first.string() + "' --beat 0.5");
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_FALSE(Contains(outcome.debugOutput, "Exception")) << outcome.debugOutput;
    Run("--render 700,100,1333 --out '" + second.string() + "' --beat 0.5");

    for (const char* name : {"0000000100.png", "0000000700.png", "0000001333.png"}) {
        const std::string bytes = ReadBytes(first / name);
        EXPECT_GT(bytes.size(), 100u) << name;
        EXPECT_EQ(bytes, ReadBytes(second / name)) << name;
    }
    EXPECT_NE(ReadBytes(first / "0000000100.png"), ReadBytes(first / "0000000700.png")) << "the flash shows at 700 ms";
}

TEST_F(KestrovaRun, RenderedFramesHaveTheChosenSize)
{
    show.WriteScript("data/music.wav\n0\n1\nFlashWhite\n0\n1000");
    const std::filesystem::path out = show.Root() / "frames";
    Run("--render 500 --out '" + out.string() + "'", "200x100");
    FIBITMAP* frame = FreeImage_Load(FIF_PNG, (out / "0000000500.png").c_str(), 0);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(FreeImage_GetWidth(frame), 200u);
    EXPECT_EQ(FreeImage_GetHeight(frame), 100u);
    RGBQUAD centre{};
    FreeImage_GetPixelColor(frame, 100, 50, &centre);
    EXPECT_NEAR(centre.rgbRed, 128, 2) << "half way through the flash";
    FreeImage_Unload(frame);
}

// The pictures are decoded ahead on other threads while the show is built:
// every message comes from the entry that names the picture, in order, and
// a picture named twice shows the same in both places.
TEST_F(KestrovaRun, PicturesDecodedAheadChangeNothingSaidOrDrawn)
{
    const Rgba top{255, 179, 71, 255};
    const Rgba bottom{14, 77, 100, 255};
    ASSERT_TRUE(WriteTwoBandPicture((show.Root() / "data/card.png").string(), FIF_PNG, 24, top, bottom, 64));
    show.WriteScript("data/music.wav\n0\n4\n"
                     "AlphaBlendImage\n0\n2000\ndata/missing.png\nUP\n"
                     "AlphaBlendImage\n0\n2000\ndata/card.png\nUP\n"
                     "AlphaBlendImage\n0\n2000\ndata/card.png\nDOWN\n"
                     "EndDemo\n5000\n6000\n");
    const std::filesystem::path out = show.Root() / "frames";
    const Outcome outcome = Run("--render 1000 --out '" + out.string() + "'");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.debugOutput;

    std::size_t at = 0;
    for (const std::string& line : {FromTheBuild("data/overlay/loader.jpg"), std::string("Unable to load image: data/missing.png\n"),
                                    std::string("Loaded AlphaBlendImage with start time 0 and end time 2000\n"),
                                    std::string("Loaded AlphaBlendImage with start time 0 and end time 2000\n"),
                                    std::string("Loaded AlphaBlendImage with start time 0 and end time 2000\n"),
                                    std::string("Loaded EndDemo with start time 5000 and end time 6000\n")}) {
        const std::size_t found = outcome.debugOutput.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing, or out of order: " << line << outcome.debugOutput;
        at = found + 1;
    }
    EXPECT_EQ(outcome.debugOutput.find("Unable to load image: data/card.png"), std::string::npos);

    // Half way through both slides the card fills the window upright.
    FIBITMAP* frame = FreeImage_Load(FIF_PNG, (out / "0000001000.png").c_str(), 0);
    ASSERT_NE(frame, nullptr);
    RGBQUAD upper{}, lower{};
    FreeImage_GetPixelColor(frame, 80, 110, &upper);  // FreeImage counts rows from the bottom
    FreeImage_GetPixelColor(frame, 80, 10, &lower);
    FreeImage_Unload(frame);
    EXPECT_EQ((Rgba{upper.rgbRed, upper.rgbGreen, upper.rgbBlue, 255}), top);
    EXPECT_EQ((Rgba{lower.rgbRed, lower.rgbGreen, lower.rgbBlue, 255}), bottom);
}

// A loop plays from its start at once: a show whose end lies just inside the
// loop ends within a second, not after the music has played up to it.
TEST_F(KestrovaRun, ALoopStartsPlayingAtItsStart)
{
    audio.Write("long.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, BinSine(4, 44100 * 10, 0.5f));
    std::filesystem::copy_file(audio.Root() / "long.wav", show.Root() / "data/long.wav");
    show.WriteScript("data/long.wav\n0\n1\nEndDemo\n8600\n100000");
    const Outcome outcome = Run("--loop 8500-9000", "160x120", "timeout 4");
    EXPECT_EQ(outcome.exitCode, 0) << outcome.debugOutput;
    EXPECT_PRED2(Contains, outcome.debugOutput, "Exception: End of show\n");
}

// A demo maker's folder needs only its script and its music: every
// built-in effect's pictures, shaders and models come from the build's show,
// each said once however many entries read it.
TEST_F(KestrovaRun, AFolderWithOnlyAScriptAndMusicPlaysEveryKeyword)
{
    // Each keyword with its values after the window, half a second each.
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"AlphaBlendImage", "data/pictures/northern.jpg\nUP\n"},
        {"FlashWhite", ""},
        {"Plasma2D", "7\n"},
        {"PolarCoords", ""},
        {"Banger", ""},
        {"Circles", ""},
        {"Faces", ""},
        {"TwistBox", ""},
        {"Rubber3d", ""},
        {"ChaosZoomer", ""},
        {"ShaderSuite3D", ""},
        {"ShaderShow", "data/shadershow/tunnel.fs\ndata/shadershow/panels.jpg\n"},
        {"Stroboskop", ""},
        {"Tunnel", ""},
        {"Zoomba", ""},
        {"Zoombb", ""},
        {"ColorBox", ""},
        {"Solaris", ""},
        {"NanoBall", ""},
        {"Overlays", ""},
        {"EndDemo", ""}};
    audio.Write("long.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 44100, 1, BinSine(4, 44100 * 12, 0.5f));
    std::filesystem::copy_file(audio.Root() / "long.wav", show.Root() / "data/long.wav");
    std::string script = "data/long.wav\n0\n" + std::to_string(entries.size()) + "\n";
    std::string times;
    for (unsigned entry = 0; entry < entries.size(); ++entry) {
        script += entries[entry].first + "\n" + std::to_string(entry * 500) + "\n" + std::to_string(entry * 500 + 500) + "\n" +
                  entries[entry].second;
        if (entry + 1 < entries.size()) {
            times += (times.empty() ? "" : ",") + std::to_string(entry * 500 + 250);
        }
    }
    show.WriteScript(script);
    const std::filesystem::path out = show.Root() / "frames";
    const Outcome outcome = Run("--render " + times + " --out '" + out.string() + "'");

    EXPECT_EQ(outcome.exitCode, 0) << outcome.debugOutput;
    for (const char* problem : problems) {
        EXPECT_FALSE(Contains(outcome.debugOutput, problem)) << outcome.debugOutput;
    }
    for (const auto& entry : entries) {
        EXPECT_PRED2(Contains, outcome.debugOutput, "Loaded " + entry.first + " with start time");
    }
    for (const char* shared : {"data/rubber/env.jpg", "data/rubber/simple.3ds", "data/circles/circles.txt", "data/zoomer/bg.jpg"}) {
        EXPECT_EQ(Count(outcome.debugOutput, FromTheBuild(shared)), 1u) << shared;
    }
    EXPECT_EQ(Count(outcome.debugOutput, " comes from the show in "), Count(outcome.debugOutput, FromTheBuild("")))
        << "only from the build's show";
    for (unsigned entry = 0; entry + 1 < entries.size(); ++entry) {
        EXPECT_TRUE(std::filesystem::exists(out / FormatText("%010u.png", entry * 500 + 250))) << entries[entry].first;
    }
}

TEST_F(KestrovaRun, AFileAtAnAssetsPathReplacesIt)
{
    show.WriteFile("data/plasma/effekt2.fs", "#version 110\nvoid main()\n{\n    gl_FragColor = vec4(1.0, 0.0, 0.0, 1.0);\n}\n");
    show.WriteScript("data/music.wav\n0\n1\nPlasma2D\n0\n2000\n3\n");
    const std::filesystem::path out = show.Root() / "frames";
    const Outcome outcome = Run("--render 1000 --out '" + out.string() + "'");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.debugOutput;
    const RGBQUAD centre = CentreOf(out / "0000001000.png");
    EXPECT_EQ((Rgba{centre.rgbRed, centre.rgbGreen, centre.rgbBlue, 255}), (Rgba{255, 0, 0, 255})) << "the folder's own shader";
    EXPECT_FALSE(Contains(outcome.debugOutput, "data/plasma/effekt2.fs comes from")) << outcome.debugOutput;
    EXPECT_PRED2(Contains, outcome.debugOutput, FromTheBuild("data/plasma/__water.jpg"));
}

// --new makes a show that plays as it is, its shader following its tracks.
TEST_F(KestrovaRun, ANewShowPlaysAtOnce)
{
    const std::filesystem::path made = audio.Root() / "my show";
    const Said said = RunAlone("--new '" + made.string() + "'");
    ASSERT_EQ(said.exitCode, 0) << said.errors;
    EXPECT_PRED2(Contains, said.output, "kestrova --windowed --watch --data '" + made.string() + "'\n");
    EXPECT_PRED2(Contains, said.output, "come from the show in " + buildShow + ";");
    EXPECT_EQ(ReadBytes(made / "data/music/kestrova.ogg"), ReadBytes(buildShow + "/data/music/kestrova.ogg"));

    const std::string play = "--no-message-box --size 160x120 --data '" + made.string() + "' --render ";
    const std::filesystem::path out = audio.Root() / "frames";
    const Said played = RunAlone(play + "4000,12000,20000,29500,35000 --out '" + out.string() + "'");
    EXPECT_EQ(played.exitCode, 0) << played.errors;
    for (const char* problem : problems) {
        EXPECT_FALSE(Contains(played.errors, problem)) << played.errors;
    }
    EXPECT_EQ(Count(played.errors, "Loaded "), 8u) << "as many entries as the script's header says";
    for (const char* frame : {"0000004000.png", "0000012000.png", "0000020000.png", "0000029500.png", "0000035000.png"}) {
        EXPECT_TRUE(std::filesystem::exists(out / frame)) << frame;
    }

    std::filesystem::rename(made / "data/demo.rocket", audio.Root() / "kept.rocket");
    const std::filesystem::path unkeyed = audio.Root() / "unkeyed";
    ASSERT_EQ(RunAlone(play + "29500 --out '" + unkeyed.string() + "'").exitCode, 0);
    EXPECT_NE(ReadBytes(unkeyed / "0000029500.png"), ReadBytes(out / "0000029500.png")) << "the glow's keys show";
}

TEST_F(KestrovaRun, NewNeverOverwritesAShow)
{
    show.WriteScript("my own show");
    const Said said = RunAlone("--new '" + show.Root().string() + "'");
    EXPECT_EQ(said.exitCode, 1);
    EXPECT_PRED2(Contains, said.errors, "never overwrites");
    EXPECT_EQ(ReadBytes(show.Root() / "data/demo.txt"), "my own show");
    EXPECT_FALSE(std::filesystem::exists(show.Root() / "data/shaders"));
    EXPECT_FALSE(std::filesystem::exists(show.Root() / "data/demo.rocket"));

    const std::filesystem::path other = audio.Root() / "other";
    EXPECT_NE(RunAlone("--new '" + other.string() + "' --windowed").exitCode, 0) << "a new show is not played";
    EXPECT_FALSE(std::filesystem::exists(other));
}
