#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "sync/EditorLink.h"
#include "ui/DisplaySettings.h"

// Everything the command line can ask of a run.
struct RunOptions {
    bool showDialog = true;
    std::optional<bool> windowed;  // --windowed or --fullscreen
    std::optional<int> width;      // --size WxH
    std::optional<int> height;
    std::string dataDirectory;     // the folder holding data/, as ChooseShowFolder finds it; empty: the working folder
    bool showMessageBox = true;
    std::string logFile;           // absolute, like every file named on the command line

    // Offline rendering: frames at these music times (ms) are written as PNG
    // files into renderDirectory. Empty: no rendering.
    std::vector<std::uint32_t> renderTimes;
    std::string renderDirectory;   // absolute
    int framesPerSecond = 60;
    std::uint32_t renderFrom = 0;
    std::optional<float> forcedBeat;

    // Capture: the show from renderFrom to captureTo (default: its end) as a
    // video file. Empty: no capture.
    std::string captureFile;       // absolute
    std::optional<std::uint32_t> captureTo;
    int quality = 18;              // the H.264 constant rate factor

    // Live editing: the show rebuilt when the files it read change.
    bool watch = false;
    // A span of music time (ms) played over and over: [first, second).
    std::optional<std::pair<std::uint32_t, std::uint32_t>> loop;

    // Tracks: the file (absolute; empty: data/demo.rocket beside the
    // script) and the Rocket editor to connect to, if any.
    std::string syncFile;
    std::optional<EditorAddress> syncEditor;

    // --check: the show loaded without playing it, and every problem in it
    // reported.
    bool check = false;

    bool Rendering() const { return !renderTimes.empty(); }
    bool Capturing() const { return !captureFile.empty(); }
    // Without a visible window, a sound device or real time.
    bool Offline() const { return Rendering() || Capturing(); }
};

// A mistake on the command line: explained in one line on standard error.
inline constexpr int usageErrorStatus = 2;

// The options, or the exit code to end with at once (after --help,
// --version, --new, which makes a show folder, or a mistake on the command
// line, which is explained on standard error). Files and folders named on
// the command line are made absolute against the folder the program was
// started in, so that --data, which changes the working folder, does not
// move them.
std::variant<RunOptions, int> ParseCommandLine(int argc, char** argv);

// The display when the setup dialog is skipped: what Run in the untouched
// dialog gives, with the size and the window mode the command line chose.
DisplaySettings SettingsWithoutDialog(const RunOptions& options);
