#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

class ScriptProblems;

// The script's whole text; nothing when it cannot be read, or when what
// stands at its path is no regular file.
std::optional<std::string> ReadScriptText();

// What a show whose script cannot be read ends with: "Unable to load
// data/demo.txt", and the folder it was looked for in, which the viewer may
// not have chosen.
std::string ScriptUnreadableMessage();

// Reads the demo script's values, one per line, straight from a C stream:
// a plug-in reads its own lines from the same stream and the reader goes on
// after them, so nothing is buffered here.
//
// A line starting with '#' is a comment wherever it stands; trailing spaces,
// tabs and line ends are removed, leading blanks kept; a blank line is an
// empty value, never skipped.
//
// Each value's line is known from the stream's position, so the lines a
// plug-in took count too; on a stream whose position cannot be told (a
// pipe) lines are 0, unknown.
class ScriptReader {
public:
    // The one script of a show, as messages name it.
    static constexpr const char* scriptPath = "data/demo.txt";

    // firstLine: the script's line the stream stands at, for a part of the
    // script read on its own.
    explicit ScriptReader(std::FILE* stream, int firstLine = 1);

    // The next value; nothing when the end of the file came before any line.
    std::optional<std::string> ReadLine();

    // The next value by the C atoi rules: leading blanks, a sign, digits up
    // to the first other character; no digits reads as 0. A value that says
    // more or other than the number read (text after it, no digits, more
    // than 32 bits hold) is read all the same, and said in a line of debug
    // output naming its line, and to the problems when they are set.
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

    // The line of the last value read, and of the current entry's keyword.
    int Line() const { return valueLine; }
    int EntryLine() const { return entryLine; }
    // The line the next read starts on.
    int NextLine();

    // Numbers read as something other than they say are also reported
    // here, as warnings; null stops that.
    void ReportTo(ScriptProblems* problemList) { problems = problemList; }

private:
    std::int32_t Number(const std::string& text);

    std::FILE* stream;
    std::string entryKeyword;
    int entryLine = 0;
    int valueLine = 0;
    long countedTo;      // the stream position up to which lines are counted; -1: not known
    int lineAtCounted;   // the line at that position
    ScriptProblems* problems = nullptr;
};

// The atoi conversion on its own, for any text.
std::int32_t ParseNumber(const std::string& text);

// Whether the text says exactly the number the atoi rules read from it.
bool IsWholeNumber(const std::string& text);
