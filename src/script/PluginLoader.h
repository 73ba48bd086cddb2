#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "script/Effekt.h"
#include "script/PluginInterface.h"
#include "sync/SyncTracks.h"

namespace Effekter {

// An effect that lives in a shared library named by the script. The library
// stays loaded until the process ends.
class PluginLoader : public Effekt {
public:
    // While one lives, every library is loaded from a fresh copy of its
    // file: a library changed on disk could not be loaded again from its
    // own path, which gives back the version already loaded.
    class FreshLibraries {
    public:
        FreshLibraries() { ++active; }
        ~FreshLibraries() { --active; }
        FreshLibraries(const FreshLibraries&) = delete;
        FreshLibraries& operator=(const FreshLibraries&) = delete;

        static bool Active() { return active > 0; }

    private:
        static inline int active = 0;
    };

    // Loads the library, finds Init and Draw, gives a library that exports
    // InitTracks the show's tracks (tracks of its own when none are given),
    // then lets Init read its own lines from the script. Throws when the
    // library or either function is missing; nothing is called then.
    PluginLoader(std::uint32_t startTime, std::uint32_t endTime, const std::string& path, std::FILE* script,
                 SyncTracks* tracks = nullptr);

    void Draw(std::uint32_t time, float beat) override;

    void* library;
    PluginInitFunction initEntry;
    PluginDrawFunction drawEntry;

private:
    std::unique_ptr<SyncTracks> ownTracks;  // for a plug-in that asks for tracks in a run without any
};

}  // namespace Effekter
