#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "support/TemporaryFolder.h"
#include "ui/SetupForm.h"

namespace {

struct Printed {
    std::string output;
    std::string errors;
};

std::variant<RunOptions, int> Parse(std::initializer_list<std::string> arguments, Printed* printed = nullptr)
{
    std::vector<std::string> words{"kestrova"};
    words.insert(words.end(), arguments);
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    auto result = ParseCommandLine(static_cast<int>(argv.size()), argv.data());
    Printed said{testing::internal::GetCapturedStdout(), testing::internal::GetCapturedStderr()};
    if (printed != nullptr) {
        *printed = said;
    }
    return result;
}

RunOptions Options(std::initializer_list<std::string> arguments)
{
    auto result = Parse(arguments);
    if (!std::holds_alternative<RunOptions>(result)) {
        ADD_FAILURE() << "the command line was refused";
        return {};
    }
    return std::get<RunOptions>(result);
}

// Refused as a usage error: status 2 and one line saying why, then where
// to read more.
bool Refused(std::initializer_list<std::string> arguments)
{
    Printed printed;
    auto result = Parse(arguments, &printed);
    if (!std::holds_alternative<int>(result)) {
        return false;
    }
    EXPECT_EQ(std::get<int>(result), 2);
    EXPECT_TRUE(printed.output.empty()) << printed.output;
    EXPECT_EQ(std::count(printed.errors.begin(), printed.errors.end(), '\n'), 2) << printed.errors;
    EXPECT_EQ(printed.errors.rfind("kestrova: ", 0), 0u) << printed.errors;
    EXPECT_NE(printed.errors.find("\nRun kestrova --help for more information.\n"), std::string::npos) << printed.errors;
    return true;
}

}  // namespace

TEST(CommandLine, NothingGivenShowsTheDialogAndTheMessageBox)
{
    const RunOptions options = Options({});
    EXPECT_TRUE(options.showDialog);
    EXPECT_TRUE(options.showMessageBox);
    EXPECT_FALSE(options.Rendering());
    EXPECT_FALSE(options.windowed);
}

TEST(CommandLine, ADisplayChoiceSkipsTheDialog)
{
    EXPECT_FALSE(Options({"--no-dialog"}).showDialog);
    EXPECT_EQ(Options({"--windowed"}).windowed, true);
    EXPECT_FALSE(Options({"--windowed"}).showDialog);
    EXPECT_EQ(Options({"--fullscreen"}).windowed, false);
    EXPECT_FALSE(Options({"--fullscreen"}).showDialog);
    const RunOptions sized = Options({"--size", "1280x720"});
    EXPECT_EQ(sized.width, 1280);
    EXPECT_EQ(sized.height, 720);
    EXPECT_FALSE(sized.showDialog);
}

TEST(CommandLine, RefusesContradictionsAndNonsense)
{
    EXPECT_TRUE(Refused({"--windowed", "--fullscreen"}));
    EXPECT_TRUE(Refused({"--size", "1280"}));
    EXPECT_TRUE(Refused({"--size", "0x720"}));
    EXPECT_TRUE(Refused({"--size", "99999x720"}));
    EXPECT_TRUE(Refused({"--data", "/no/such/folder"}));
    EXPECT_TRUE(Refused({"--bogus"}));
}

TEST(CommandLine, RenderingTakesTimesAnOutputFolderAndOptions)
{
    const RunOptions options =
        Options({"--render", "12000,500,30000", "--out", "frames", "--fps", "30", "--from", "400", "--beat", "0.5"});
    EXPECT_TRUE(options.Rendering());
    EXPECT_EQ(options.renderTimes, (std::vector<std::uint32_t>{12000, 500, 30000}));
    EXPECT_EQ(options.renderDirectory, (std::filesystem::current_path() / "frames").string());
    EXPECT_EQ(options.framesPerSecond, 30);
    EXPECT_EQ(options.renderFrom, 400u);
    EXPECT_EQ(options.forcedBeat, 0.5f);
    EXPECT_FALSE(options.showDialog);
    EXPECT_FALSE(options.showMessageBox) << "nothing may wait for a click in a batch job";
}

TEST(CommandLine, RenderingDefaultsToSixtyFramesFromTheStart)
{
    const RunOptions options = Options({"--render", "1000", "--out", "frames"});
    EXPECT_EQ(options.framesPerSecond, 60);
    EXPECT_EQ(options.renderFrom, 0u);
    EXPECT_FALSE(options.forcedBeat);
}

TEST(CommandLine, RefusesIncompleteOrImpossibleRendering)
{
    EXPECT_TRUE(Refused({"--render", "1000"}));
    EXPECT_TRUE(Refused({"--out", "frames"}));
    EXPECT_TRUE(Refused({"--fps", "30"}));
    EXPECT_TRUE(Refused({"--render", "1000", "--out", "f", "--fps", "0"}));
    EXPECT_TRUE(Refused({"--render", "1000", "--out", "f", "--beat", "1.5"}));
    EXPECT_TRUE(Refused({"--render", "1000", "--out", "f", "--from", "2000"}));
}

TEST(CommandLine, CaptureTakesAVideoFileAndTheOfflineOptions)
{
    const RunOptions options = Options({"--capture", "show.mp4", "--fps", "30", "--from", "400", "--to", "9000",
                                        "--quality", "23", "--size", "1920x1080"});
    EXPECT_TRUE(options.Capturing());
    EXPECT_FALSE(options.Rendering());
    EXPECT_EQ(options.captureFile, (std::filesystem::current_path() / "show.mp4").string());
    EXPECT_EQ(options.framesPerSecond, 30);
    EXPECT_EQ(options.renderFrom, 400u);
    EXPECT_EQ(options.captureTo, 9000u);
    EXPECT_EQ(options.quality, 23);
    EXPECT_FALSE(options.showDialog);
    EXPECT_FALSE(options.showMessageBox) << "nothing may wait for a click in a batch job";

    const RunOptions defaults = Options({"--capture", "show.mkv"});
    EXPECT_EQ(defaults.quality, 18);
    EXPECT_FALSE(defaults.captureTo);
    EXPECT_EQ(defaults.framesPerSecond, 60);

    EXPECT_TRUE(Refused({"--capture", "a.mp4", "--render", "1000", "--out", "f"}));
    EXPECT_TRUE(Refused({"--to", "1000"}));
    EXPECT_TRUE(Refused({"--quality", "20"}));
    EXPECT_TRUE(Refused({"--capture", "a.mp4", "--quality", "52"}));
    EXPECT_TRUE(Refused({"--capture", "a.mp4", "--from", "5000", "--to", "5000"}));
    EXPECT_TRUE(Refused({"--capture", "a.mp4", "--size", "641x480"}));
    EXPECT_TRUE(Refused({"--capture", "a.mp4", "--size", "3842x2160"}));
    EXPECT_FALSE(Refused({"--capture", "a.mp4", "--size", "3840x2160"}));
    EXPECT_FALSE(Refused({"--size", "641x480"})) << "only a video needs even sides";
}

TEST(CommandLine, WatchingAndLoopingBelongToALiveRun)
{
    const RunOptions options = Options({"--watch", "--loop", "12000-20000"});
    EXPECT_TRUE(options.watch);
    EXPECT_EQ(options.loop, (std::pair<std::uint32_t, std::uint32_t>{12000, 20000}));
    EXPECT_FALSE(Options({}).watch);
    EXPECT_FALSE(Options({}).loop);
    EXPECT_TRUE(Refused({"--loop", "20000-12000"}));
    EXPECT_TRUE(Refused({"--loop", "5000-5000"}));
    EXPECT_TRUE(Refused({"--loop", "5000"}));
    EXPECT_TRUE(Refused({"--watch", "--render", "1000", "--out", "f"}));
    EXPECT_TRUE(Refused({"--loop", "0-1000", "--capture", "a.mp4"}));
}

TEST(CommandLine, TracksComeFromAFileAndAnEditor)
{
    EXPECT_EQ(Options({}).syncFile, "") << "data/demo.rocket beside the script";
    EXPECT_FALSE(Options({}).syncEditor);
    const RunOptions named = Options({"--sync", "keys/show.rocket"});
    EXPECT_EQ(named.syncFile, (std::filesystem::current_path() / "keys/show.rocket").string())
        << "found from the folder the program started in";

    const auto editor = [](std::initializer_list<std::string> arguments) {
        const std::optional<EditorAddress> address = Options(arguments).syncEditor;
        return address ? address->host + ":" + std::to_string(address->port) : "none";
    };
    EXPECT_EQ(editor({"--sync-editor"}), "localhost:1338");
    EXPECT_EQ(editor({"--sync-editor", "4000"}), "localhost:4000");
    EXPECT_EQ(editor({"--sync-editor", "studio:1338"}), "studio:1338");
    EXPECT_EQ(editor({"--sync-editor", "--windowed"}), "localhost:1338") << "an option after it is no address";
    EXPECT_TRUE(Refused({"--sync-editor", "studio:"}));
    EXPECT_TRUE(Refused({"--sync-editor", "70000"}));
    EXPECT_TRUE(Refused({"--sync-editor", "1338", "--render", "1000", "--out", "f"})) << "a rendering has no editor";
    EXPECT_FALSE(Refused({"--sync", "a.rocket", "--render", "1000", "--out", "f"}));
}

TEST(CommandLine, HelpAndVersionEndTheRunSuccessfully)
{
    Printed printed;
    EXPECT_EQ(std::get<int>(Parse({"--help"}, &printed)), 0);
    const std::string& help = printed.output;
    EXPECT_NE(help.find("  --data DIR "), std::string::npos) << "options read as their values' names";
    EXPECT_NE(help.find("  --fps N "), std::string::npos);
    EXPECT_NE(help.find("1 to 1000"), std::string::npos) << "ranges in words";
    for (const char* noise : {":DIR", ":INT", ":FLOAT", ":FILE", "Needs:", "Excludes:"}) {
        EXPECT_EQ(help.find(noise), std::string::npos) << noise;
    }
    for (const char* said : {"Escape ends the run", "F1 shows", "Ctrl+S saves", "Exit status: 0 when the show ends",
                             "255 (-1) when the setup dialog is cancelled", "2 for a mistake on the command line",
                             "130 when a capture is stopped"}) {
        EXPECT_NE(help.find(said), std::string::npos) << said;
    }
    EXPECT_EQ(std::get<int>(Parse({"--version"})), 0);
}

TEST(CommandLine, NoMessageBoxAndLogFile)
{
    const RunOptions options = Options({"--no-message-box", "--log", "run.log"});
    EXPECT_FALSE(options.showMessageBox);
    EXPECT_EQ(options.logFile, (std::filesystem::current_path() / "run.log").string());
    EXPECT_EQ(Options({"--log", "/var/log/../tmp/run.log"}).logFile, "/var/tmp/run.log");
}

// Skipping the dialog must not give what the dialog itself never would.
TEST(CommandLine, WithoutTheDialogTheSettingsAreThoseOfRunInTheUntouchedDialog)
{
    const std::vector<DisplayMode> modes = {{800, 600, 32}, {1280, 720, 32}};
    for (const auto& arguments : {std::initializer_list<std::string>{"--windowed", "--size", "1280x720"},
                                  std::initializer_list<std::string>{"--no-dialog"}}) {
        const DisplaySettings chosen = SettingsWithoutDialog(Options(arguments));
        SetupForm form(chosen, ResolutionList(modes, 32, {1280, 720}));
        form.PressRun();
        DisplaySettings dialog = chosen;
        form.ApplyTo(dialog);
        EXPECT_EQ(chosen.alwaysOnTop, dialog.alwaysOnTop);
        EXPECT_EQ(chosen.verticalSync, dialog.verticalSync);
        EXPECT_EQ(chosen.multisampling, dialog.multisampling);
        EXPECT_EQ(chosen.windowed, dialog.windowed);
    }
    EXPECT_FALSE(SettingsWithoutDialog(Options({"--windowed"})).alwaysOnTop);
}

TEST(CommandLine, MusicBelongsToANewShow)
{
    const TemporaryFolder folder;
    const std::string music = (folder.Path() / "song.ogg").string();
    std::ofstream(music) << "music";
    EXPECT_TRUE(Refused({"--music", music})) << "only --new takes it";
    EXPECT_TRUE(Refused({"--music", music, "--render", "1000", "--out", "f"}));
}

// A check plays nothing and waits for nobody: it goes with the show's folder
// and tracks, and with no way of playing.
TEST(CommandLine, ACheckTakesTheShowAndItsTracksButNothingThatPlays)
{
    const RunOptions options = Options({"--check", "--sync", "keys.rocket"});
    EXPECT_TRUE(options.check);
    EXPECT_FALSE(options.showDialog);
    EXPECT_FALSE(options.showMessageBox);
    EXPECT_EQ(options.syncFile, (std::filesystem::current_path() / "keys.rocket").string());
    EXPECT_TRUE(Options({"--check", "--data", std::filesystem::current_path().string()}).check);
    EXPECT_FALSE(Options({}).check);
    EXPECT_TRUE(Refused({"--check", "--render", "1000", "--out", "f"}));
    EXPECT_TRUE(Refused({"--check", "--capture", "a.mp4"}));
    EXPECT_TRUE(Refused({"--check", "--watch"}));
    EXPECT_TRUE(Refused({"--check", "--loop", "0-1000"}));
    EXPECT_TRUE(Refused({"--check", "--sync-editor"}));
    EXPECT_TRUE(Refused({"--check", "--fps", "30"}));
}
