#include "core/DebugOutput.h"

namespace {
std::FILE* logFile = nullptr;

void WriteTo(std::FILE* file, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}
}  // namespace

void DebugOutput(std::string_view text)
{
    WriteTo(stderr, text);
    if (logFile != nullptr) {
        WriteTo(logFile, text);
    }
}

void SetDebugLogFile(std::FILE* file)
{
    logFile = file;
}
