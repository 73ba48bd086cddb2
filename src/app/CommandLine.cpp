#include "app/CommandLine.h"

#include <CLI/CLI.hpp>

#include "app/ShowFolder.h"

#include <filesystem>
#include <regex>

namespace {

constexpr int largestSide = 16384;

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
        ->check(CLI::ExistingDirectory)
        ->type_name("DIR");
    const std::filesystem::path workingFolder = std::filesystem::current_path();
    const std::filesystem::path programFile = RunningProgramFile();
    app.footer([&] {
        return "Without --data the show is read from " + ChooseShowFolder("", workingFolder, programFile).string() +
               "/data/demo.txt:\nthe working folder when it holds data/demo.txt, else the installed show.";
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
    app.add_option("--fps", options.framesPerSecond, "Frames per second of offline rendering (default 60)")
        ->check(CLI::Range(1, 1000))
        ->needs(render);
    app.add_option("--from", options.renderFrom, "Music time (ms) to start offline rendering from (default 0)")
        ->needs(render)
        ->type_name("MS");
    app.add_option_function<float>(
           "--beat", [&](float beat) { options.forcedBeat = beat; }, "Beat level (0 to 1) to render with instead of the music's")
        ->check(CLI::Range(0.0f, 1.0f))
        ->needs(render);

    try {
        app.parse(argc, argv);
        for (const std::uint32_t time : options.renderTimes) {
            if (time < options.renderFrom) {
                throw CLI::ValidationError("--render", "the time " + std::to_string(time) + " lies before --from " +
                                                           std::to_string(options.renderFrom));
            }
        }
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }

    options.dataDirectory = ChooseShowFolder(options.dataDirectory, workingFolder, programFile).string();
    MakeAbsolute(options.logFile);
    MakeAbsolute(options.renderDirectory);

    // Any choice of display on the command line makes the dialog unnecessary.
    options.showDialog = !noDialog && !options.windowed && !options.width && !options.Rendering();
    options.showMessageBox = !noMessageBox;
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
