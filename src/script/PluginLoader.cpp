#include "script/PluginLoader.h"

#include <dlfcn.h>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"

namespace Effekter {

namespace {

void* OpenLibrary(const std::string& path)
{
    void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        DebugOutput(FormatText("%s\n", dlerror()));
        throw DemoMessage(FormatText("Unable to load plugin: %s", path.c_str()));
    }
    return library;
}

template <class Function>
Function FindFunction(void* library, const char* symbol, const std::string& path)
{
    void* address = dlsym(library, symbol);
    if (address == nullptr) {
        throw DemoMessage(FormatText("Unable to fint %s function in plugin: %s", symbol, path.c_str()));
    }
    return reinterpret_cast<Function>(address);
}

}  // namespace

PluginLoader::PluginLoader(std::uint32_t startTime, std::uint32_t endTime, const std::string& path, std::FILE* script)
    : Effekt(startTime, endTime),
      library(OpenLibrary(path)),
      initEntry(FindFunction<PluginInitFunction>(library, "Init", path)),
      drawEntry(FindFunction<PluginDrawFunction>(library, "Draw", path))
{
    initEntry(script, static_cast<std::int32_t>(startTime), static_cast<std::int32_t>(endTime));
}

void PluginLoader::Draw(std::uint32_t time, float beat)
{
    drawEntry(time, beat);
}

}  // namespace Effekter
