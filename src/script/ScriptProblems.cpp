#include "script/ScriptProblems.h"

#include <algorithm>

#include "core/DemoMessage.h"

namespace {

std::string Counted(int count, const char* noun)
{
    return FormatText("%d %s%s", count, noun, count == 1 ? "" : "s");
}

}  // namespace

void ScriptProblems::Add(Severity severity, std::string file, int line, std::string text)
{
    // A message ending in a line break (a driver's log) still makes one line.
    text.erase(text.find_last_not_of(" \t\r\n") + 1);
    problems.push_back({severity, std::move(file), line, std::move(text)});
}

int ScriptProblems::Count(Severity severity) const
{
    return static_cast<int>(std::count_if(problems.begin(), problems.end(),
                                          [severity](const Problem& problem) { return problem.severity == severity; }));
}

std::string ScriptProblems::Report() const
{
    std::vector<const Problem*> ordered;
    for (const Problem& problem : problems) {
        ordered.push_back(&problem);
    }
    // The script's problems were found in several passes (the entries, then
    // the music's length): they are put back in the order of its lines.
    std::stable_sort(ordered.begin(), ordered.end(), [this](const Problem* first, const Problem* second) {
        const bool firstInScript = first->file == script;
        const bool secondInScript = second->file == script;
        if (firstInScript != secondInScript) {
            return firstInScript;
        }
        return firstInScript && first->line < second->line;
    });
    std::string report;
    for (const Problem* problem : ordered) {
        const std::string place = problem->line > 0 ? FormatText("%s:%d", problem->file.c_str(), problem->line) : problem->file;
        report += FormatText("%s: %s: %s\n", place.c_str(), problem->severity == Severity::error ? "error" : "warning",
                             problem->text.c_str());
    }
    const int errors = Count(Severity::error);
    const int warnings = Count(Severity::warning);
    std::string summary;
    if (errors > 0) {
        summary = Counted(errors, "error");
    }
    if (warnings > 0) {
        summary += (summary.empty() ? "" : ", ") + Counted(warnings, "warning");
    }
    report += FormatText("%s: %s\n", script.c_str(), summary.empty() ? "no problems" : summary.c_str());
    return report;
}
