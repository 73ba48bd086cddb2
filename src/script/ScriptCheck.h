#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/ScriptProblems.h"
#include "script/ScriptReader.h"

// One entry's window of music time as the script gives it, at the line of
// its keyword.
struct EntryWindow {
    int line = 0;
    std::string keyword;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

// What a check of the script learns while it builds the show: the problems
// found, the music and where the script names it, and every entry's window.
struct ScriptCheck {
    ScriptProblems problems{ScriptReader::scriptPath};
    std::string musicFile;
    int musicLine = 0;
    std::uint32_t startOffset = 0;  // seconds
    std::vector<EntryWindow> windows;
};

// An error when the window holds no whole millisecond (the effect draws
// while start < t < end): the entry is never drawn, or an EndDemo never
// ends the show.
void CheckWindowOpens(const EntryWindow& window, ScriptProblems& problems);

// Warnings for the parts of the show the music does not reach: the music
// loops, so while it plays nothing past its end is drawn before the show
// ends (only --render and --capture draw there). An EndDemo reached after
// the music's end means a show that never ends by itself.
void CheckWindowsWithinMusic(const ScriptCheck& check, double musicMilliseconds, ScriptProblems& problems);
