// Reads two parameter lines in Init and remembers everything it is given, so
// tests can look at it through the exported variables.
#include <cstdio>

#include "PluginInterface.h"

#define RECORDED __attribute__((visibility("default")))

extern "C" {
RECORDED char firstLine[256];
RECORDED char secondLine[256];
RECORDED int32_t initStart;
RECORDED int32_t initEnd;
RECORDED int initCalls;
RECORDED uint32_t drawnTime;
RECORDED float drawnBeat;
}

KESTROVA_PLUGIN_EXPORT void Init(FILE* script, int32_t startTime, int32_t endTime)
{
    ++initCalls;
    initStart = startTime;
    initEnd = endTime;
    if (std::fgets(firstLine, sizeof firstLine, script) == nullptr) {
        firstLine[0] = '\0';
    }
    if (std::fgets(secondLine, sizeof secondLine, script) == nullptr) {
        secondLine[0] = '\0';
    }
}

KESTROVA_PLUGIN_EXPORT void Draw(uint32_t time, float beat)
{
    drawnTime = time;
    drawnBeat = beat;
}
