#include "script/ScriptReader.h"

#include <cstdlib>
#include <memory>

#include "core/DemoMessage.h"

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

}  // namespace

std::optional<std::string> ScriptReader::ReadLine()
{
    std::optional<std::string> line;
    do {
        line = ReadRawLine(stream);
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
    return ParseNumber(*line);
}

void ScriptReader::BeginEntry(const std::string& keyword)
{
    entryKeyword = keyword;
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
    return ParseNumber(RequireLine());
}

void ScriptReader::ThrowUnexpectedEnd() const
{
    throw DemoMessage(FormatText("The script ends inside the entry '%s', please correct", entryKeyword.c_str()));
}

std::int32_t ParseNumber(const std::string& text)
{
    // glibc's atoi is strtol narrowed to int: out-of-range values wrap the
    // same way here instead of being undefined.
    return static_cast<std::int32_t>(std::strtol(text.c_str(), nullptr, 10));
}
