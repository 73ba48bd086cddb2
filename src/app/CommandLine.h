#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

// Everything the command line can ask of a run.
struct RunOptions {
    bool showDialog = true;
    std::optional<bool> windowed;  // --windowed or --fullscreen
    std::optional<int> width;      // --size WxH
    std::optional<int> height;
    std::string dataDirectory;     // the folder holding data/; empty: the working directory
    bool showMessageBox = true;
    std::string logFile;

    // Offline rendering: frames at these music times (ms) are written as PNG
    // files into renderDirectory. Empty: a live run.
    std::vector<std::uint32_t> renderTimes;
    std::string renderDirectory;
    int framesPerSecond = 60;
    std::uint32_t renderFrom = 0;
    std::optional<float> forcedBeat;

    bool Rendering() const { return !renderTimes.empty(); }
};

// The options, or the exit code to end with at once (after --help,
// --version or a mistake on the command line, which is explained on
// standard error).
std::variant<RunOptions, int> ParseCommandLine(int argc, char** argv);
