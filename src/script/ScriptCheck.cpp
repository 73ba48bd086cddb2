#include "script/ScriptCheck.h"

#include <algorithm>
#include <limits>

#include "core/DemoMessage.h"

namespace {

constexpr const char* showEndKeyword = "EndDemo";

// The EndDemo window a show played from `from` on reaches first, as
// ShowEndTime finds it in the built show; null when it reaches none.
const EntryWindow* ShowEnd(const std::vector<EntryWindow>& windows, std::uint32_t from)
{
    const EntryWindow* first = nullptr;
    for (const EntryWindow& window : windows) {
        const std::uint64_t firstFrame = std::max<std::uint64_t>(from, std::uint64_t{window.start} + 1);
        if (window.keyword == showEndKeyword && firstFrame < window.end && (first == nullptr || window.start < first->start)) {
            first = &window;
        }
    }
    return first;
}

}  // namespace

void CheckWindowOpens(const EntryWindow& window, ScriptProblems& problems)
{
    if (window.end > window.start + 1ull) {
        return;
    }
    const char* outcome = window.keyword == showEndKeyword ? "it never ends the show" : "it is never drawn";
    if (window.end < window.start) {
        problems.Error(window.line, FormatText("the window of %s ends at %u, before it starts at %u: %s", window.keyword.c_str(),
                                               window.end, window.start, outcome));
        return;
    }
    problems.Error(window.line, FormatText("the window of %s from %u to %u holds no time (it is open while %u < t < %u): %s",
                                           window.keyword.c_str(), window.start, window.end, window.start, window.end,
                                           outcome));
}

void CheckWindowsWithinMusic(const ScriptCheck& check, double musicMilliseconds, ScriptProblems& problems)
{
    const std::uint32_t from = check.startOffset * 1000u;
    const EntryWindow* endDemo = ShowEnd(check.windows, from);
    const double showEnd = endDemo != nullptr ? std::max(from, endDemo->start) : std::numeric_limits<double>::infinity();
    if (showEnd >= musicMilliseconds && endDemo != nullptr) {
        problems.Warning(endDemo->line,
                         FormatText("the show ends at %.0f, after the music's end at %.0f ms: the music loops until the show "
                                    "is stopped",
                                    showEnd, musicMilliseconds));
    }
    for (const EntryWindow& window : check.windows) {
        // Only a part of the window the show still plays, past the music's end, is lost.
        const double lostFrom = std::max<double>(window.start, musicMilliseconds);
        const double lostTo = std::min<double>(window.end, showEnd);
        if (window.keyword == showEndKeyword || lostFrom >= lostTo || window.end <= window.start + 1ull) {
            continue;
        }
        if (window.start >= musicMilliseconds) {
            problems.Warning(window.line, FormatText("the window of %s starts at %u, after the music's end at %.0f ms: as the "
                                                     "music loops, only --render and --capture draw it",
                                                     window.keyword.c_str(), window.start, musicMilliseconds));
        } else {
            problems.Warning(window.line, FormatText("the window of %s ends at %u, after the music's end at %.0f ms: as the "
                                                     "music loops, only --render and --capture draw its end",
                                                     window.keyword.c_str(), window.end, musicMilliseconds));
        }
    }
}
