// A plug-in whose Init takes half a minute, as a load that waits on
// something slow would: only a signal ends the run sooner.
#include <unistd.h>

#include "PluginInterface.h"

KESTROVA_PLUGIN_EXPORT void Init(FILE*, int32_t, int32_t)
{
    sleep(30);
}

KESTROVA_PLUGIN_EXPORT void Draw(uint32_t, float) {}
