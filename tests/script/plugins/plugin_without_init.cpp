// Exports Draw but no Init.
#include "PluginInterface.h"

KESTROVA_PLUGIN_EXPORT void Draw(uint32_t, float) {}
