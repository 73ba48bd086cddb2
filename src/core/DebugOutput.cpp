#include "core/DebugOutput.h"

#include <algorithm>
#include <mutex>

namespace {

// A longer line is cut: a path or a value a script got wrong can be a
// megabyte long, and the rest of the log must stay readable.
constexpr std::size_t longestLine = 4096;

std::FILE* logFile = nullptr;

// The line being written, which may be written in several parts, on any
// thread.
std::mutex lineMutex;
std::size_t lineLength = 0;
std::size_t leftOut = 0;

void WriteTo(std::FILE* file, std::string_view text)
{
    std::fwrite(text.data(), 1, text.size(), file);
    std::fflush(file);
}

void Write(std::string_view text)
{
    WriteTo(stderr, text);
    if (logFile != nullptr) {
        WriteTo(logFile, text);
    }
}

// The text line by line, each line cut at the longest, with a note of how
// much was left out before its line break.
void WriteCut(std::string_view text)
{
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view part = text.substr(0, end);
        const std::size_t room = longestLine - std::min(longestLine, lineLength);
        Write(part.substr(0, room));
        leftOut += part.size() - std::min(room, part.size());
        lineLength += part.size();
        if (end == std::string_view::npos) {
            return;
        }
        if (leftOut > 0) {
            char note[64];
            std::snprintf(note, sizeof note, " [%zu more bytes left out]", leftOut);
            Write(note);
        }
        Write("\n");
        lineLength = 0;
        leftOut = 0;
        text.remove_prefix(end + 1);
    }
}

}  // namespace

void DebugOutput(std::string_view text)
{
    const std::lock_guard lock(lineMutex);
    if (lineLength + text.size() > longestLine) {
        WriteCut(text);
        return;
    }
    Write(text);
    const std::size_t lastBreak = text.rfind('\n');
    lineLength = lastBreak == std::string_view::npos ? lineLength + text.size() : text.size() - lastBreak - 1;
}

void SetDebugLogFile(std::FILE* file)
{
    const std::lock_guard lock(lineMutex);
    logFile = file;
}
