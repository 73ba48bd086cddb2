#include "script/ScriptReader.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <memory>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "core/PrintableText.h"
#include "core/RegularFile.h"
#include "script/KeywordSuggestion.h"
#include "script/ScriptProblems.h"

namespace {

struct FreeDeleter {
    void operator()(char* memory) const { std::free(memory); }
};

// One whole line, however long, without splitting it; nothing at the end.
std::optional<std::string> ReadRawLine(std::FILE* stream)
{
    char* buffer = nullptr;
    std::size_t capacity = 0;
    const ssize_t length = getline(&buffer, &capacity, stream);
    const std::unique_ptr<char, FreeDeleter> owner(buffer);
    if (length < 0) {
        return std::nullopt;
    }
    return std::string(buffer, static_cast<std::size_t>(length));
}

// The line breaks among the stream's bytes from one position to the next;
// the stream is left where it was, at `to`. Nothing when they cannot be
// read again.
std::optional<long> LineBreaksBetween(std::FILE* stream, long from, long to)
{
    long breaks = 0;
    bool whole = std::fseek(stream, from, SEEK_SET) == 0;
    char buffer[4096];
    for (long left = to - from; whole && left > 0;) {
        const std::size_t read = std::fread(buffer, 1, static_cast<std::size_t>(std::min<long>(left, sizeof buffer)), stream);
        whole = read > 0;
        breaks += std::count(buffer, buffer + read, '\n');
        left -= static_cast<long>(read);
    }
    if (std::fseek(stream, to, SEEK_SET) != 0 || !whole) {
        return std::nullopt;
    }
    return breaks;
}

}  // namespace

ScriptReader::ScriptReader(std::FILE* stream, int firstLine)
    : stream(stream), countedTo(std::ftell(stream)), lineAtCounted(firstLine)
{
}

int ScriptReader::NextLine()
{
    if (countedTo < 0) {
        return 0;
    }
    // Bytes read by someone else since this reader's last line (a plug-in's
    // Init) are counted from the stream itself.
    const long position = std::ftell(stream);
    if (position == countedTo) {
        return lineAtCounted;
    }
    const std::optional<long> breaks =
        position < countedTo ? std::nullopt : LineBreaksBetween(stream, countedTo, position);
    if (!breaks) {
        countedTo = -1;
        return 0;
    }
    lineAtCounted += static_cast<int>(*breaks);
    countedTo = position;
    return lineAtCounted;
}

std::optional<std::string> ScriptReader::ReadLine()
{
    std::optional<std::string> line;
    do {
        valueLine = NextLine();
        line = ReadRawLine(stream);
        if (line && countedTo >= 0) {
            countedTo += static_cast<long>(line->size());
            lineAtCounted += line->back() == '\n' ? 1 : 0;
        }
    } while (line && !line->empty() && line->front() == '#');

    if (line) {
        const std::size_t last = line->find_last_not_of(" \n\r\t");
        line->erase(last == std::string::npos ? 0 : last + 1);
    }
    return line;
}

std::optional<std::int32_t> ScriptReader::ReadNumber()
{
    const std::optional<std::string> line = ReadLine();
    if (!line) {
        return std::nullopt;
    }
    return Number(*line);
}

void ScriptReader::BeginEntry(const std::string& keyword)
{
    entryKeyword = keyword;
    entryLine = valueLine;
}

bool ScriptReader::OnlyBlankLinesRemain()
{
    std::optional<std::string> line;
    do {
        line = ReadLine();
    } while (line && line->empty());
    return !line;
}

std::string ScriptReader::RequireLine()
{
    std::optional<std::string> line = ReadLine();
    if (!line) {
        ThrowUnexpectedEnd();
    }
    return std::move(*line);
}

std::int32_t ScriptReader::RequireNumber()
{
    return Number(RequireLine());
}

void ScriptReader::ThrowUnexpectedEnd() const
{
    throw DemoMessage(
        FormatText("The script ends inside the entry '%s', please correct", PrintableText(entryKeyword, keywordShown).c_str()));
}

std::int32_t ScriptReader::Number(const std::string& text)
{
    const std::int32_t number = ParseNumber(text);
    if (!IsWholeNumber(text)) {
        const std::string note = text.empty() ? FormatText("a blank line is read as %d", number)
                                              : FormatText("'%s' is read as %d", text.c_str(), number);
        DebugOutput(valueLine > 0 ? FormatText("%s line %d: %s\n", scriptPath, valueLine, note.c_str())
                                  : FormatText("%s: %s\n", scriptPath, note.c_str()));
        if (problems != nullptr) {
            problems->Warning(valueLine, note);
        }
    }
    return number;
}

std::int32_t ParseNumber(const std::string& text)
{
    // glibc's atoi is strtol narrowed to int: out-of-range values wrap the
    // same way here instead of being undefined.
    return static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10));
}

bool IsWholeNumber(const std::string& text)
{
    errno = 0;
    char* end = nullptr;
    const long number = std::strtol(text.c_str(), &end, 10);
    return end != text.c_str() && end == text.c_str() + text.size() && errno != ERANGE &&
           number >= std::numeric_limits<std::int32_t>::min() && number <= std::numeric_limits<std::int32_t>::max();
}

std::optional<std::string> ReadScriptText()
{
    if (IsSpecialFile(ScriptReader::scriptPath)) {
        return std::nullopt;
    }
    std::FILE* opened = std::fopen(ScriptReader::scriptPath, "r");
    if (opened == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(opened, std::fclose);
    std::string text;
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        text.append(buffer, read);
    }
    return text;
}

std::string ScriptUnreadableMessage()
{
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::current_path(error);
    return std::string("Unable to load ") + ScriptReader::scriptPath + (error ? "" : " in " + folder.string());
}
