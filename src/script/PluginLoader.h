#pragma once

#include <cstdio>
#include <string>

#include "script/Effekt.h"
#include "script/PluginInterface.h"

namespace Effekter {

// An effect that lives in a shared library named by the script. The library
// stays loaded until the process ends.
class PluginLoader : public Effekt {
public:
    // Loads the library, finds Init and Draw, then lets Init read its own
    // lines from the script. Throws when the library or either function is
    // missing; Init is not called then.
    PluginLoader(std::uint32_t startTime, std::uint32_t endTime, const std::string& path, std::FILE* script);

    void Draw(std::uint32_t time, float beat) override;

    void* library;
    PluginInitFunction initEntry;
    PluginDrawFunction drawEntry;
};

}  // namespace Effekter
