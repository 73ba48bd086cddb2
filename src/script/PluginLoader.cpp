#include "script/PluginLoader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "core/FileReads.h"
#include "core/RegularFile.h"

namespace Effekter {

namespace {

// Loads a copy of the library's file under a name of its own; once loaded,
// the copy's file is no longer needed.
void* OpenFreshCopy(const std::string& path)
{
    static int copies = 0;
    const std::filesystem::path copy =
        std::filesystem::temp_directory_path() /
        FormatText("kestrova-%d-%d-%s", static_cast<int>(getpid()), ++copies, std::filesystem::path(path).filename().c_str());
    std::error_code error;
    if (!std::filesystem::copy_file(path, copy, std::filesystem::copy_options::overwrite_existing, error)) {
        return nullptr;
    }
    void* library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
    std::filesystem::remove(copy, error);
    return library;
}

void* OpenLibrary(const std::string& path)
{
    NoteFileRead(path);
    if (IsSpecialFile(path)) {
        DebugOutput(FormatText("%s is not a regular file\n", path.c_str()));
        throw DemoMessage(FormatText("Unable to load plugin: %s", path.c_str()));
    }
    void* library = PluginLoader::FreshLibraries::Active() ? OpenFreshCopy(path) : dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        const char* reason = dlerror();
        DebugOutput(FormatText("%s\n", reason != nullptr ? reason : "the library cannot be copied"));
        throw DemoMessage(FormatText("Unable to load plugin: %s", path.c_str()));
    }
    return library;
}

template <class Function>
Function FindFunction(void* library, const char* symbol, const std::string& path)
{
    void* address = dlsym(library, symbol);
    if (address == nullptr) {
        dlclose(library);  // nothing of the failed entry stays behind
        throw DemoMessage(FormatText("Unable to fint %s function in plugin: %s", symbol, path.c_str()));
    }
    return reinterpret_cast<Function>(address);
}

// The plug-in's handles are the show's own tracks and track.
SyncTracks& TracksOf(KestrovaTracks* tracks)
{
    return *reinterpret_cast<SyncTracks*>(tracks);
}

const KestrovaTrack* FindTrack(KestrovaTracks* tracks, const char* name)
{
    return reinterpret_cast<const KestrovaTrack*>(&TracksOf(tracks).Drive(name != nullptr ? name : ""));
}

int TrackValue(const KestrovaTracks* tracks, const KestrovaTrack* handle, std::uint32_t time, float* value)
{
    const SyncTrack& track = *reinterpret_cast<const SyncTrack*>(handle);
    if (!track.HasKeys()) {
        return 0;
    }
    *value = static_cast<float>(track.ValueAt(reinterpret_cast<const SyncTracks*>(tracks)->RowAt(time)));
    return 1;
}

}  // namespace

PluginLoader::PluginLoader(std::uint32_t startTime, std::uint32_t endTime, const std::string& path, std::FILE* script,
                           SyncTracks* tracks)
    : Effekt(startTime, endTime),
      library(OpenLibrary(path)),
      initEntry(FindFunction<PluginInitFunction>(library, "Init", path)),
      drawEntry(FindFunction<PluginDrawFunction>(library, "Draw", path))
{
    if (const auto initTracks = reinterpret_cast<PluginInitTracksFunction>(dlsym(library, "InitTracks"))) {
        if (tracks == nullptr) {
            ownTracks = std::make_unique<SyncTracks>();
            tracks = ownTracks.get();
        }
        const KestrovaTrackFunctions functions{reinterpret_cast<KestrovaTracks*>(tracks), FindTrack, TrackValue};
        initTracks(&functions);
    }
    initEntry(script, static_cast<std::int32_t>(startTime), static_cast<std::int32_t>(endTime));
}

void PluginLoader::Draw(std::uint32_t time, float beat)
{
    drawEntry(time, beat);
}

}  // namespace Effekter
