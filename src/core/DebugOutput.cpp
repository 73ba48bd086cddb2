#include "core/DebugOutput.h"

#include <cstdio>

void DebugOutput(std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}
