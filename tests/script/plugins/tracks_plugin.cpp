// Asks for one track in Init and records what it reads of it in Draw, so
// tests can look at it through the exported variables.
#include "PluginInterface.h"

#define RECORDED __attribute__((visibility("default")))

namespace {
KestrovaTrackFunctions functions{};
const KestrovaTrack* level = nullptr;
}  // namespace

extern "C" {
RECORDED int initTracksCalls;
RECORDED int hadValue;
RECORDED float drawnLevel;
}

KESTROVA_PLUGIN_EXPORT void InitTracks(const KestrovaTrackFunctions* given)
{
    ++initTracksCalls;
    functions = *given;
}

KESTROVA_PLUGIN_EXPORT void Init(FILE*, int32_t, int32_t)
{
    level = functions.findTrack(functions.tracks, "plug:level");
}

KESTROVA_PLUGIN_EXPORT void Draw(uint32_t time, float)
{
    drawnLevel = -1.0f;
    hadValue = functions.trackValue(functions.tracks, level, time, &drawnLevel);
}
