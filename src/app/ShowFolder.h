#pragma once

#include <filesystem>
#include <string>

// Where a run finds its show, the folder that holds data/: the one given
// with --data; else the working folder when it holds a script, so that a
// demo maker's folder is used as it is; else the show installed with the
// program, found from the program's own location so that a moved
// installation still finds it; else the working folder, whose missing
// script is then reported as usual.
std::filesystem::path ChooseShowFolder(const std::string& dataOption, const std::filesystem::path& workingFolder,
                                       const std::filesystem::path& programFile);

// The installed show's folder for a program at this path: the build's
// relative path from the program's folder to the show, applied to it.
std::filesystem::path InstalledShowFolder(const std::filesystem::path& programFile);

// The running program's own file, as the system knows it.
std::filesystem::path RunningProgramFile();

// The show whose files stand in for those a show's folder lacks: the
// installed show when it holds a script, else the program's own folder when
// it holds one (a build, whose data/ lies beside the program); never the
// show's folder itself. Empty when there is none.
std::filesystem::path FallbackShowFolder(const std::filesystem::path& programFile, const std::filesystem::path& showFolder);
