#include "app/CommandLine.h"

#include <CLI/CLI.hpp>

#include "app/NewShow.h"
#include "app/ShowFolder.h"

#include <filesystem>
#include <memory>
#include <regex>

namespace {

constexpr int largestSide = 16384;

const std::string keysAndStatuses = R"(

Keys: Right and Left (on release) move the music one second forward or back,
ten with Shift; Space pauses and resumes; [ and ] set a loop's start and end,
Backspace clears it; F5 rebuilds the show; Ctrl+S saves the tracks; F1 shows
the tweak panel; Escape ends the run.

Exit status: 0 when the show ends, after Escape and after "You quit?";
255 (-1) when the setup dialog is cancelled; 1 after any other message, and
with --check when it finds an error; 2 for a mistake on the command line;
130 when a capture is stopped with Ctrl+C or SIGTERM. While the show loads,
Ctrl+C and SIGTERM end the run as they end any program (130, 143).)";

// "WxH" with two positive sides no larger than any display.
std::string ParseSize(const std::string& text, RunOptions& options)
{
    static const std::regex pattern(R"((\d{1,5})[xX](\d{1,5}))");
    std::smatch match;
    if (!std::regex_match(text, match, pattern)) {
        return "expected WIDTHxHEIGHT, for example 1280x720";
    }
    const int width = std::stoi(match[1]);
    const int height = std::stoi(match[2]);
    if (width < 1 || height < 1 || width > largestSide || height > largestSide) {
        return "each side must lie between 1 and " + std::to_string(largestSide);
    }
    options.width = width;
    options.height = height;
    return "";
}

// A video's sides are even (the colour planes have half the size) and at
// most those of 4K video.
constexpr int widestCapture = 3840;
constexpr int tallestCapture = 2160;

void CheckOfflineOptions(const RunOptions& options, const std::vector<CLI::Option*>& offline, bool offlineRun)
{
    for (const CLI::Option* option : offline) {
        if (option->count() > 0 && !offlineRun) {
            throw CLI::ValidationError(option->get_name(), "needs --render or --capture");
        }
    }
    for (const std::uint32_t time : options.renderTimes) {
        if (time < options.renderFrom) {
            throw CLI::ValidationError("--render", "the time " + std::to_string(time) + " lies before --from " +
                                                       std::to_string(options.renderFrom));
        }
    }
    if (options.captureTo && *options.captureTo <= options.renderFrom) {
        throw CLI::ValidationError("--to", "must lie after --from " + std::to_string(options.renderFrom));
    }
    if (!options.captureFile.empty() && options.width) {
        if (*options.width % 2 != 0 || *options.height % 2 != 0 || *options.width > widestCapture ||
            *options.height > tallestCapture) {
            throw CLI::ValidationError("--size", "a video needs an even width and height of at most " +
                                                     std::to_string(widestCapture) + "x" + std::to_string(tallestCapture));
        }
    }
}

// "FROM-TO" in milliseconds, FROM before TO.
std::string ParseLoop(const std::string& text, RunOptions& options)
{
    static const std::regex pattern(R"((\d{1,10})-(\d{1,10}))");
    std::smatch match;
    if (!std::regex_match(text, match, pattern)) {
        return "expected FROM-TO in milliseconds, for example 12000-20000";
    }
    const unsigned long long from = std::stoull(match[1]);
    const unsigned long long to = std::stoull(match[2]);
    if (from >= to || to > 0xFFFFFFFFull) {
        return "FROM must lie before TO";
    }
    options.loop = {static_cast<std::uint32_t>(from), static_cast<std::uint32_t>(to)};
    return "";
}

// --new makes a folder and plays nothing: only --music goes with it.
void CheckNewShowOptions(const CLI::App& app, const CLI::Option* newShow, const CLI::Option* music)
{
    if (newShow->count() == 0) {
        return;
    }
    for (const CLI::Option* option : app.get_options()) {
        if (option != newShow && option != music && option->count() > 0) {
            throw CLI::ValidationError(option->get_name(), "does not go with --new, which takes only --music");
        }
    }
}

// Options as "--data DIR": what an option needs or excludes is said when
// the command line asks for the impossible, not in every line of the help.
class PlainFormatter : public CLI::Formatter {
public:
    std::string make_option_opts(const CLI::Option* option) const override
    {
        return option->get_type_name().empty() ? "" : " " + option->get_type_name();
    }
};

void MakeAbsolute(std::string& path)
{
    if (!path.empty()) {
        path = std::filesystem::absolute(path).lexically_normal().string();
    }
}

}  // namespace

std::variant<RunOptions, int> ParseCommandLine(int argc, char** argv)
{
    RunOptions options;
    CLI::App app{"Kestrova: a real-time audiovisual demo.", "kestrova"};
    app.set_version_flag("--version", std::string("kestrova ") + KESTROVA_VERSION);
    app.formatter(std::make_shared<PlainFormatter>());
    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return "kestrova: " + std::string(error.what()) + "\nRun kestrova --help for more information.\n";
    });

    bool noDialog = false;
    app.add_flag("--no-dialog", noDialog, "Start without the video setup dialog");
    auto* windowed = app.add_flag_callback("--windowed", [&] { options.windowed = true; }, "Run in a resizable window");
    auto* fullscreen = app.add_flag_callback("--fullscreen", [&] { options.windowed = false; }, "Run full screen");
    windowed->excludes(fullscreen);
    app.add_option_function<std::string>(
           "--size", [&](const std::string& text) {
               const std::string problem = ParseSize(text, options);
               if (!problem.empty()) {
                   throw CLI::ValidationError("--size", problem);
               }
           },
           "Window or screen size, WIDTHxHEIGHT (default 1024x768)")
        ->type_name("WxH");
    app.add_option("--data", options.dataDirectory, "Folder to run in: the one that holds data/")
        ->check(CLI::ExistingDirectory.description(""))
        ->type_name("DIR");
    const std::filesystem::path workingFolder = std::filesystem::current_path();
    const std::filesystem::path programFile = RunningProgramFile();
    app.footer([&] {
        const std::filesystem::path show = ChooseShowFolder("", workingFolder, programFile);
        const std::filesystem::path fallback = FallbackShowFolder(programFile, show);
        return "Without --data the show is read from " + show.string() +
               "/data/demo.txt:\nthe working folder when it holds data/demo.txt, else the installed show." +
               (fallback.empty() ? std::string()
                                 : "\nThe effects' own files that a show's folder lacks come from the show in " +
                                       fallback.string() + ".") +
               keysAndStatuses;
    });
    bool noMessageBox = false;
    app.add_flag("--no-message-box", noMessageBox, "Report the end of the show and errors on standard error only");
    app.add_option("--log", options.logFile, "Also write the debug output to this file")->type_name("FILE");

    auto* render = app.add_option("--render", options.renderTimes,
                                  "Render offline, without sound, and write the frames at these music times (ms) as PNG files")
                       ->delimiter(',')
                       ->type_name("MS[,MS...]");
    auto* out = app.add_option("--out", options.renderDirectory, "Folder for the rendered frames")->type_name("DIR");
    render->needs(out);
    out->needs(render);
    auto* capture = app.add_option("--capture", options.captureFile,
                                   "Capture the show offline as a video with its music: FILE.mp4 (H.264, AAC) or "
                                   "FILE.mkv (H.264, FLAC)")
                        ->type_name("FILE");
    capture->excludes(render);
    // Options of offline playing, either kind.
    const std::vector<CLI::Option*> offline = {
        app.add_option("--fps", options.framesPerSecond, "Frames per second of rendering or capture, 1 to 1000 (default 60)")
            ->check(CLI::Range(1, 1000).description(""))
            ->type_name("N"),
        app.add_option("--from", options.renderFrom, "Music time (ms) to start rendering or capture from (default 0)")
            ->type_name("MS"),
        app.add_option_function<float>(
               "--beat", [&](float beat) { options.forcedBeat = beat; },
               "Beat level, 0 to 1, to render or capture with instead of the music's")
            ->check(CLI::Range(0.0f, 1.0f).description(""))
            ->type_name("B"),
    };
    app.add_option_function<std::uint32_t>(
           "--to", [&](std::uint32_t to) { options.captureTo = to; },
           "Music time (ms) to end the capture at (default: the end of the show, else of the music)")
        ->needs(capture)
        ->type_name("MS");
    app.add_option("--quality", options.quality, "Capture quality, H.264's CRF: 0 lossless to 51 worst (default 18)")
        ->check(CLI::Range(0, 51).description(""))
        ->needs(capture)
        ->type_name("Q");

    auto* watch = app.add_flag("--watch", options.watch,
                               "Rebuild the show when a file it read is saved (the script, pictures, shaders, models, "
                               "plug-ins, the tracks file); F5 rebuilds it by hand");
    auto* loop = app.add_option_function<std::string>(
                        "--loop", [&](const std::string& text) {
                            const std::string problem = ParseLoop(text, options);
                            if (!problem.empty()) {
                                throw CLI::ValidationError("--loop", problem);
                            }
                        },
                        "Play this span of music time over and over")
                     ->type_name("FROM-TO");
    app.add_option("--sync", options.syncFile, "Tracks file to play, edit and save (default data/demo.rocket)")
        ->type_name("FILE");
    std::string editorAddress;
    auto* editor = app.add_option("--sync-editor", editorAddress,
                                  "Connect to a Rocket editor at [HOST:]PORT (default localhost:1338): its keys drive "
                                  "the tracks, its row and pause the music")
                       ->expected(0, 1)
                       ->type_name("[HOST:]PORT");
    std::string newShowFolder;
    std::string newShowMusic;
    auto* newShow = app.add_option("--new", newShowFolder,
                                   "Make a show folder to start from (a commented script, the music, a shader to edit "
                                   "and tracks), never overwriting a file, and stop")
                        ->type_name("DIR");
    auto* newShowMusicOption = app.add_option("--music", newShowMusic, "Music for --new (default: the installed show's)")
                                   ->check(CLI::ExistingFile.description(""))
                                   ->needs(newShow)
                                   ->type_name("FILE");
    for (CLI::Option* liveOnly : {watch, loop, editor}) {
        liveOnly->excludes(render)->excludes(capture);
    }
    auto* check = app.add_flag("--check", options.check,
                               "Load the show without playing it and report every problem in it with its file and "
                               "line, then stop: exit 1 with any error");
    for (CLI::Option* playing : {render, capture, watch, loop, editor}) {
        check->excludes(playing);
    }

    try {
        app.parse(argc, argv);
        CheckOfflineOptions(options, offline, render->count() > 0 || capture->count() > 0);
        CheckNewShowOptions(app, newShow, newShowMusicOption);
        if (editor->count() > 0) {
            options.syncEditor = ParseEditorAddress(editorAddress.empty() ? "1338" : editorAddress);
            if (!options.syncEditor) {
                throw CLI::ValidationError("--sync-editor", "expected [HOST:]PORT, for example localhost:1338");
            }
        }
    } catch (const CLI::ParseError& error) {
        // --help and --version end here too, successfully.
        return app.exit(error) == 0 ? 0 : usageErrorStatus;
    }

    if (newShow->count() > 0) {
        MakeAbsolute(newShowFolder);
        MakeAbsolute(newShowMusic);
        return MakeNewShow(newShowFolder, newShowMusic);
    }
    options.dataDirectory = ChooseShowFolder(options.dataDirectory, workingFolder, programFile).string();
    MakeAbsolute(options.logFile);
    MakeAbsolute(options.renderDirectory);
    MakeAbsolute(options.captureFile);
    MakeAbsolute(options.syncFile);

    // Any choice of display on the command line makes the dialog unnecessary.
    options.showDialog = !noDialog && !options.windowed && !options.width && !options.Offline() && !options.check;
    // Rendering, capture and a check are batch jobs: nothing may wait for a
    // click.
    options.showMessageBox = !noMessageBox && !options.Offline() && !options.check;
    return options;
}

DisplaySettings SettingsWithoutDialog(const RunOptions& options)
{
    DisplaySettings settings;
    if (options.width) {
        settings.width = *options.width;
        settings.height = *options.height;
    }
    if (options.windowed) {
        settings.windowed = *options.windowed;
    }
    return settings;
}
