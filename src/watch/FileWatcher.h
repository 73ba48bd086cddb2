#pragma once

#include <array>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

// Tells which of a set of files were saved, through inotify on the folders
// that hold them, so that every way an editor saves is seen: writing in
// place, writing another file and renaming it over this one, deleting and
// creating it again. A file named through a symbolic link is watched where
// the link leads. A save is reported once, when the file has not changed
// for a moment (an editor may write it in several steps) and exists again.
// Nothing is allocated while nothing changes.
class FileWatcher {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr auto settleTime = std::chrono::milliseconds(150);

    // Throws a DemoMessage when the system gives no inotify.
    FileWatcher();
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // Watches these files from now on, instead of those before.
    void Watch(const std::vector<std::string>& files);

    // The watched files (as Watch was given them) saved and settled by now.
    std::vector<std::string> TakeSaved(Clock::time_point now = Clock::now());

private:
    void ReadEvents(Clock::time_point now);

    int inotify;
    std::map<int, std::string> folders;                // watch descriptor: folder
    std::map<std::string, std::string> watched;        // where a file is: its name as given
    std::map<std::string, Clock::time_point> changed;  // where a changed file is: its last change
    alignas(8) std::array<char, 16384> events{};
};
