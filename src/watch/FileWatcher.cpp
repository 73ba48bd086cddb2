#include "watch/FileWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

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
    std::set<std::string> wanted;
    for (const std::string& file : files) {
        const std::string location = Location(file);
        nowWatched[location] = file;
        wanted.insert(std::filesystem::path(location).parent_path().string());
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
    watched = std::move(nowWatched);
    // A save still settling is told later, if its file is still watched.
    for (auto change = changed.begin(); change != changed.end();) {
        change = watched.count(change->first) != 0 ? std::next(change) : changed.erase(change);
    }
}

void FileWatcher::ReadEvents(Clock::time_point now)
{
    for (;;) {
        const ssize_t length = read(inotify, events.data(), events.size());
        if (length <= 0) {
            return;  // nothing more for now (EAGAIN), or the watcher is broken
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(events.data() + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = folders.find(event->wd);
            if (folder == folders.end() || event->len == 0) {
                continue;
            }
            const std::string location = folder->second + "/" + event->name;
            if (watched.count(location) != 0) {
                changed[location] = now;
            }
        }
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
