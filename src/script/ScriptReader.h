#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

// Reads the demo script's values, one per line, straight from a C stream:
// a plug-in reads its own lines from the same stream and the reader goes on
// after them, so nothing is buffered here.
//
// A line starting with '#' is a comment wherever it stands; trailing spaces,
// tabs and line ends are removed, leading blanks kept; a blank line is an
// empty value, never skipped.
class ScriptReader {
public:
    explicit ScriptReader(std::FILE* stream) : stream(stream) {}

    // The next value; nothing when the end of the file came before any line.
    std::optional<std::string> ReadLine();

    // The next value by the C atoi rules: leading blanks, a sign, digits up
    // to the first other character; no digits reads as 0.
    std::optional<std::int32_t> ReadNumber();

    // Start of a script entry: values read from here on belong to it.
    void BeginEntry(const std::string& keyword);

    // Values of the current entry that must be there: the end of the file
    // instead is an error naming the entry.
    std::string RequireLine();
    std::int32_t RequireNumber();
    [[noreturn]] void ThrowUnexpectedEnd() const;

    // Reads on over blank lines; true when the file ends before any value
    // with text, which makes what was left only trailing blank lines.
    bool OnlyBlankLinesRemain();

    // The end of the file has been seen by a read.
    bool AtEnd() const { return std::feof(stream) != 0; }

    std::FILE* Stream() const { return stream; }

private:
    std::FILE* stream;
    std::string entryKeyword;
};

// The atoi conversion on its own, for any text.
std::int32_t ParseNumber(const std::string& text);
