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
// the link leads. A file whose folder is not there yet (a demo maker's
// replacement for an asset of the installed show) is seen when the folder
// and the file appear, and so is a folder deleted and made again. A save is
// reported once, when the file has not changed for a moment (an editor may
// write it in several steps) and exists again. Nothing is allocated while
// nothing changes.
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
    // Watches the folders of the watched files; one that is not there is
    // watched through the nearest folder above it that is.
    void WatchFolders();
    // After a folder on the way to a watched file appeared or went: watches
    // anew, and counts the watched files found in folders that appeared as
    // saved now, since they may have been written before their folder was
    // watched.
    void FollowFolderChanges(Clock::time_point now);
    bool LeadsToMissingFolder(const std::string& folder) const;

    int inotify;
    std::map<int, std::string> folders;                // watch descriptor: folder
    std::set<std::string> missingFolders;              // folders of watched files that are not there
    std::map<std::string, std::string> watched;        // where a file is: its name as given
    std::map<std::string, Clock::time_point> changed;  // where a changed file is: its last change
    alignas(8) std::array<char, 16384> events{};
};
