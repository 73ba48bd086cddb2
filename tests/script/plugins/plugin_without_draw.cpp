// Exports Init but no Draw; its Init must never run.
#include <cstdlib>

#include "PluginInterface.h"

KESTROVA_PLUGIN_EXPORT void Init(FILE*, int32_t, int32_t)
{
    std::abort();
}
