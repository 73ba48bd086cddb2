#include "watch/FileWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/DemoMessage.h"

namespace {

constexpr std::uint32_t savedEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM;

// Where the file really lies: through any links, from the root.
std::string Location(const std::string& file)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(file, error);
    // A link to a file, followed as far as it leads; a missing file keeps its name.
    for (int hops = 0; hops < 16 && std::filesystem::is_symlink(path, error); ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    const std::filesystem::path folder = std::filesystem::weakly_canonical(path.parent_path(), error);
    return (folder / path.filename()).lexically_normal().string();
}

std::string FolderOf(const std::string& location)
{
    return std::filesystem::path(location).parent_path().string();
}

// The folder when it is there, else the nearest one above it that is.
std::string NearestFolder(std::filesystem::path folder)
{
    std::error_code error;
    while (!std::filesystem::is_directory(folder, error) && folder.has_relative_path()) {
        folder = folder.parent_path();
    }
    return folder.string();
}

}  // namespace

FileWatcher::FileWatcher() : inotify(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
{
    if (inotify < 0) {
        throw DemoMessage(FormatText("Unable to watch files (%s)", std::strerror(errno)));
    }
}

FileWatcher::~FileWatcher()
{
    close(inotify);
}

void FileWatcher::Watch(const std::vector<std::string>& files)
{
    std::map<std::string, std::string> nowWatched;
    for (const std::string& file : files) {
        nowWatched[Location(file)] = file;
    }
    watched = std::move(nowWatched);
    WatchFolders();
    // A save still settling is told later, if its file is still watched.
    for (auto change = changed.begin(); change != changed.end();) {
        change = watched.count(change->first) != 0 ? std::next(change) : changed.erase(change);
    }
}

void FileWatcher::WatchFolders()
{
    std::set<std::string> wanted;
    missingFolders.clear();
    for (const auto& file : watched) {
        const std::string folder = FolderOf(file.first);
        const std::string nearest = NearestFolder(folder);
        if (nearest != folder) {
            missingFolders.insert(folder);
        }
        wanted.insert(nearest);
    }
    // Folders still wanted keep their watch, and the events already queued
    // for it.
    for (auto folder = folders.begin(); folder != folders.end();) {
        if (wanted.erase(folder->second) == 0) {
            inotify_rm_watch(inotify, folder->first);
            folder = folders.erase(folder);
        } else {
            ++folder;
        }
    }
    for (const std::string& folder : wanted) {
        const int descriptor = inotify_add_watch(inotify, folder.c_str(), savedEvents);
        if (descriptor >= 0) {
            folders[descriptor] = folder;
        }
    }
}

bool FileWatcher::LeadsToMissingFolder(const std::string& folder) const
{
    const std::string inside = folder + "/";
    return std::any_of(missingFolders.begin(), missingFolders.end(), [&](const std::string& missing) {
        return missing == folder || missing.starts_with(inside);
    });
}

void FileWatcher::FollowFolderChanges(Clock::time_point now)
{
    const std::set<std::string> wereMissing = missingFolders;
    WatchFolders();
    for (const auto& file : watched) {
        const std::string folder = FolderOf(file.first);
        std::error_code error;
        if (wereMissing.count(folder) != 0 && missingFolders.count(folder) == 0 &&
            std::filesystem::exists(file.first, error)) {
            changed[file.first] = now;
        }
    }
}

void FileWatcher::ReadEvents(Clock::time_point now)
{
    bool foldersChanged = false;
    for (;;) {
        const ssize_t length = read(inotify, events.data(), events.size());
        if (length <= 0) {
            break;  // nothing more for now (EAGAIN), or the watcher is broken
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events.data() + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if ((event->mask & IN_IGNORED) != 0) {
                // The folder went (or its watch was removed here): one made
                // again in its place is waited for from the folder above.
                foldersChanged = folders.erase(event->wd) != 0 || foldersChanged;
                continue;
            }
            const auto folder = folders.find(event->wd);
            if (folder == folders.end() || event->len == 0) {
                continue;
            }
            const std::string location = folder->second + "/" + event->name;
            if (watched.count(location) != 0) {
                changed[location] = now;
            } else if ((event->mask & IN_ISDIR) != 0 && LeadsToMissingFolder(location)) {
                foldersChanged = true;
            }
        }
    }
    if (foldersChanged) {
        FollowFolderChanges(now);
    }
}

std::vector<std::string> FileWatcher::TakeSaved(Clock::time_point now)
{
    ReadEvents(now);
    std::vector<std::string> saved;
    for (auto change = changed.begin(); change != changed.end();) {
        std::error_code error;
        if (now - change->second >= settleTime && std::filesystem::exists(change->first, error)) {
            saved.push_back(watched[change->first]);
            change = changed.erase(change);
        } else {
            ++change;
        }
    }
    return saved;
}
