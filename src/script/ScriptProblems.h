#pragma once

#include <string>
#include <vector>

// The problems a check of the show finds, each in a file and, where it is
// known, at a line of it, reported as compilers report theirs.
class ScriptProblems {
public:
    enum class Severity { error, warning };

    struct Problem {
        Severity severity;
        std::string file;
        int line;  // 0: no line in particular
        std::string text;
    };

    // The script's name heads the summary; problems are its own unless
    // another file is named.
    explicit ScriptProblems(std::string script) : script(std::move(script)) {}

    void Error(int line, std::string text) { Add(Severity::error, script, line, std::move(text)); }
    void Warning(int line, std::string text) { Add(Severity::warning, script, line, std::move(text)); }
    void ErrorIn(std::string file, std::string text) { Add(Severity::error, std::move(file), 0, std::move(text)); }
    void WarningIn(std::string file, std::string text) { Add(Severity::warning, std::move(file), 0, std::move(text)); }

    const std::vector<Problem>& All() const { return problems; }
    int Count(Severity severity) const;

    // One line per problem, "FILE:LINE: error: TEXT" (without ":LINE" where
    // no line is known): the script's in the order of its lines, then the
    // other files' in the order found; last the summary, "SCRIPT: 2 errors,
    // 1 warning" or "SCRIPT: no problems".
    std::string Report() const;

private:
    void Add(Severity severity, std::string file, int line, std::string text);

    std::string script;
    std::vector<Problem> problems;
};
