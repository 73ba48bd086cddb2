#include "script/DemoScript.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "core/FileReads.h"
#include "core/PrintableText.h"
#include "gfx/PicturePrefetch.h"
#include "script/KeywordSuggestion.h"
#include "script/LoadingScreen.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

[[noreturn]] void ThrowNoMusic()
{
    throw DemoMessage("The script data/demo.txt does not name its music file on its first line, please correct");
}

const KeywordEntry* FindEntry(const KeywordTable& keywords, const std::string& keyword)
{
    for (const KeywordEntry& entry : keywords) {
        if (entry.keyword == keyword) {
            return &entry;
        }
    }
    return nullptr;
}

// The loading screen appears once the header has said how many entries follow.
class LoadingScreenProgress : public DemoScript::Progress {
public:
    explicit LoadingScreenProgress(FrameWindow& window) : window(window) {}

    void Begin(int announcedEntries) override { screen.emplace(window, announcedEntries); }
    void Step() override { screen->Step(); }

private:
    FrameWindow& window;
    std::optional<LoadingScreen> screen;
};

class SilentProgress : public DemoScript::Progress {
public:
    void Begin(int) override {}
    void Step() override {}
};

// Collects the files one entry reads while it is built, and passes them on
// to whoever listened before.
class FileRecorder : public FileReadListener {
public:
    explicit FileRecorder(EntrySource& source) : source(source), previous(SetFileReadListener(this)) {}
    ~FileRecorder() override { SetFileReadListener(previous); }
    FileRecorder(const FileRecorder&) = delete;
    FileRecorder& operator=(const FileRecorder&) = delete;

    void FileRead(const std::string& path) override
    {
        if (std::find(source.files.begin(), source.files.end(), path) == source.files.end()) {
            source.files.push_back(path);
        }
        if (previous != nullptr) {
            previous->FileRead(path);
        }
    }

    void FileUnreadable(const std::string& path) override
    {
        if (previous != nullptr) {
            previous->FileUnreadable(path);
        }
    }

private:
    EntrySource& source;
    FileReadListener* previous;
};

// What a check says of a file an entry could not read.
std::string UnreadableNote(const std::string& path)
{
    if (path.empty()) {
        return "the picture named by an empty line cannot be read";
    }
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return FormatText("the %s %s cannot be read", extension == ".3ds" ? "model" : "picture", path.c_str());
}

// While one entry is built for a check: the files it could not read, as
// errors at its line, and the last file it read, which a failure of its
// construction most likely concerns.
class EntryFiles : public FileReadListener {
public:
    EntryFiles(ScriptProblems& problems, int line, std::string keyword)
        : problems(problems), line(line), keyword(std::move(keyword)), previous(SetFileReadListener(this))
    {
    }
    ~EntryFiles() override { SetFileReadListener(previous); }
    EntryFiles(const EntryFiles&) = delete;
    EntryFiles& operator=(const EntryFiles&) = delete;

    void FileRead(const std::string& path) override
    {
        lastRead = path;
        if (previous != nullptr) {
            previous->FileRead(path);
        }
    }

    void FileUnreadable(const std::string& path) override
    {
        if (std::find(unreadable.begin(), unreadable.end(), path) == unreadable.end()) {
            unreadable.push_back(path);
            problems.Error(line, FormatText("%s: %s", keyword.c_str(), UnreadableNote(path).c_str()));
        }
        if (previous != nullptr) {
            previous->FileUnreadable(path);
        }
    }

    const std::string& LastRead() const { return lastRead; }

private:
    ScriptProblems& problems;
    int line;
    std::string keyword;
    std::string lastRead;
    std::vector<std::string> unreadable;
    FileReadListener* previous;
};

// Reads the rest of an entry whose keyword has been read and builds it;
// source, when given, gets the files it reads, and check the entry's window.
// A word that is no keyword, as it stands. Bytes that are no text (a
// binary file named as the script) are shown escaped and cut short, and
// then the line they stand on tells where to look.
DemoMessage UnknownEntry(const std::string& keyword, int line)
{
    const std::string shown = PrintableText(keyword, keywordShown);
    if (shown == keyword || line == 0) {
        return DemoMessage(FormatText("Unknown entry '%s' in file, please correct", shown.c_str()));
    }
    return DemoMessage(FormatText("Unknown entry '%s' in file, please correct (%s line %d)", shown.c_str(),
                                  ScriptReader::scriptPath, line));
}

std::unique_ptr<Effekt> BuildBegunEntry(const KeywordTable& keywords, const std::string& keyword, ScriptReader& reader,
                                        DemoScript::Progress& progress, EntrySource* source, ScriptCheck* check)
{
    const std::optional<std::int32_t> start = reader.ReadNumber();
    const std::optional<std::int32_t> end = start ? reader.ReadNumber() : std::nullopt;
    if (!end) {
        reader.ThrowUnexpectedEnd();
    }
    if (check != nullptr) {
        check->windows.push_back(
            {reader.EntryLine(), keyword, static_cast<std::uint32_t>(*start), static_cast<std::uint32_t>(*end)});
        CheckWindowOpens(check->windows.back(), check->problems);
    }

    progress.Step();

    const KeywordEntry* found = FindEntry(keywords, keyword);
    if (found == nullptr) {
        // Where messages name lines anyway, the line is not said twice.
        throw UnknownEntry(keyword, DemoScript::MessagesNameLines::Active() ? 0 : reader.EntryLine());
    }
    std::optional<FileRecorder> recorder;
    if (source != nullptr) {
        recorder.emplace(*source);
    }
    std::unique_ptr<Effekt> effect = found->build(static_cast<std::uint32_t>(*start), static_cast<std::uint32_t>(*end), reader);
    DebugOutput(FormatText("Loaded %s with start time %i and end time %i\n", keyword.c_str(), *start, *end));
    return effect;
}

std::unique_ptr<Effekt> BuildEntryOf(const KeywordTable& keywords, const std::string& keyword, ScriptReader& reader,
                                     DemoScript::Progress& progress, EntrySource* source, ScriptCheck* check = nullptr)
{
    reader.BeginEntry(keyword);
    try {
        return BuildBegunEntry(keywords, keyword, reader, progress, source, check);
    } catch (const DemoMessage& message) {
        if (!DemoScript::MessagesNameLines::Active() || message.IsEnding() || reader.EntryLine() == 0) {
            throw;
        }
        throw DemoMessage(FormatText("%s line %d (%s): %s", ScriptReader::scriptPath, reader.EntryLine(),
                                     PrintableText(keyword, keywordShown).c_str(), message.what()));
    }
}

// After an entry that could not be read whole (an unknown keyword, or a
// construction that failed before reading all its values, a plug-in's own
// lines among them), what follows cannot be told from its values: lines are
// passed over up to a known keyword, or one nearly known, which is given back.
std::optional<std::string> SkipToKeyword(const KeywordTable& keywords, ScriptReader& reader)
{
    std::optional<std::string> line;
    do {
        line = reader.ReadLine();
    } while (line && FindEntry(keywords, *line) == nullptr && !NearestKeyword(keywords, *line));
    return line;
}

// Builds one entry for a check, recording what goes wrong instead of
// stopping; false when it could not be built.
bool CheckEntry(const KeywordTable& keywords, const std::string& keyword, ScriptReader& reader, EffectList& effects,
                ScriptCheck& check)
{
    const EntryFiles files(check.problems, reader.Line(), keyword);
    try {
        effects.Append(BuildEntryOf(keywords, keyword, reader, DemoScript::NoProgress(), nullptr, &check));
        return true;
    } catch (const DemoMessage& message) {
        // A compiler's message may not name the shader it was given.
        const bool named = files.LastRead().empty() || message.Text().find(files.LastRead()) != std::string::npos;
        const std::string text = named ? message.Text() : files.LastRead() + ": " + message.Text();
        check.problems.Error(reader.EntryLine(), FormatText("%s: %s", keyword.c_str(), text.c_str()));
        return false;
    }
}

// The entries, for a check: every one is tried, whatever went wrong before.
void CheckEntries(const KeywordTable& keywords, EffectList& effects, ScriptReader& reader, ScriptCheck& check)
{
    std::optional<std::string> keyword = reader.ReadLine();
    while (keyword) {
        if (keyword->empty()) {
            // Blank lines at the end are allowed; before another entry they
            // stop a load.
            const int blankLine = reader.Line();
            do {
                keyword = reader.ReadLine();
            } while (keyword && keyword->empty());
            if (keyword) {
                check.problems.Error(blankLine, UnknownKeywordNote(keywords, ""));
            }
        } else if (FindEntry(keywords, *keyword) == nullptr) {
            check.problems.Error(reader.Line(), UnknownKeywordNote(keywords, *keyword));
            keyword = SkipToKeyword(keywords, reader);
        } else if (CheckEntry(keywords, *keyword, reader, effects, check)) {
            keyword = reader.ReadLine();
        } else {
            keyword = SkipToKeyword(keywords, reader);
        }
    }
}

// What the loader is asked for besides the show: a display of progress,
// what each entry was built from (with the script's text), a check, and
// who wants to know the music.
struct ReadingOptions {
    DemoScript::Progress& progress;
    std::vector<EntrySource>* sources = nullptr;
    const std::string* text = nullptr;
    ScriptCheck* check = nullptr;
    const DemoScript::MusicNamed* musicNamed = nullptr;
};

// The loader itself.
void ReadShow(const KeywordTable& keywords, EffectList& effects, std::FILE* script, std::string& musicFile,
              std::uint32_t& startOffset, const ReadingOptions& options)
{
    ScriptReader reader(script);
    if (options.check != nullptr) {
        reader.ReportTo(&options.check->problems);
    }

    musicFile = reader.ReadLine().value_or("");
    if (musicFile.empty()) {
        ThrowNoMusic();
    }
    if (options.check != nullptr) {
        options.check->musicLine = reader.Line();
    }
    if (options.musicNamed != nullptr && *options.musicNamed) {
        (*options.musicNamed)(musicFile);
    }
    startOffset = static_cast<std::uint32_t>(reader.ReadNumber().value_or(0));
    const int entryCount = reader.ReadNumber().value_or(0);

    options.progress.Begin(entryCount);

    if (options.check != nullptr) {
        CheckEntries(keywords, effects, reader, *options.check);
        return;
    }
    while (!reader.AtEnd()) {
        const long entryStart = options.sources != nullptr ? std::ftell(script) : 0;
        const int firstLine = options.sources != nullptr ? reader.NextLine() : 0;
        const std::optional<std::string> keyword = reader.ReadLine();
        if (!keyword) {
            break;  // a line break or comments after the last entry
        }
        if (keyword->empty() && reader.OnlyBlankLinesRemain()) {
            break;
        }
        EntrySource source;
        effects.Append(
            BuildEntryOf(keywords, *keyword, reader, options.progress, options.sources != nullptr ? &source : nullptr));
        if (options.sources != nullptr) {
            source.text = options.text->substr(static_cast<std::size_t>(entryStart),
                                               static_cast<std::size_t>(std::ftell(script) - entryStart));
            source.firstLine = firstLine;
            options.sources->push_back(std::move(source));
        }
    }
}

// The pictures the entries will load, in the order they load them, as far
// as the script's text tells: for every line that names a keyword the
// pictures of its effect, and every value that names a picture file. A
// wrong guess costs only time.
std::vector<std::string> PicturesAhead(const KeywordTable& keywords, const std::string& text)
{
    std::vector<std::string> pictures;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (const KeywordEntry* entry = FindEntry(keywords, line)) {
            pictures.insert(pictures.end(), entry->pictures.begin(), entry->pictures.end());
            continue;
        }
        std::string extension = std::filesystem::path(line).extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
        if (extension == ".jpg" || extension == ".jpeg" || extension == ".png" || extension == ".bmp" || extension == ".tga") {
            pictures.push_back(line);
        }
    }
    return pictures;
}

// A C stream over text in memory, which must outlive it.
std::unique_ptr<std::FILE, FileCloser> OpenText(const std::string& text)
{
    std::unique_ptr<std::FILE, FileCloser> stream(fmemopen(const_cast<char*>(text.data()), text.size(), "r"));
    if (!stream) {
        throw DemoMessage(ScriptUnreadableMessage());
    }
    return stream;
}

}  // namespace

void DemoScript::Load(const KeywordTable& keywords, EffectList& effects, FrameWindow& window, std::string& musicFile,
                      std::uint32_t& startOffset, std::vector<EntrySource>* sources, const MusicNamed& musicNamed)
{
    const std::optional<std::string> read = ReadScriptText();
    if (!read) {
        throw DemoMessage(ScriptUnreadableMessage());
    }
    const std::string& text = *read;
    // The pictures decode on other threads while the entries are built,
    // the loading screen's first.
    std::vector<std::string> pictures = PicturesAhead(keywords, text);
    pictures.insert(pictures.begin(), LoadingScreen::pictureFile);
    PicturePrefetch prefetch(pictures);
    const PicturePrefetchScope prefetching(prefetch);
    LoadingScreenProgress progress(window);
    std::vector<EntrySource> unrecorded;
    ReadRecorded(keywords, effects, text, progress, musicFile, startOffset, sources != nullptr ? *sources : unrecorded,
                 musicNamed);
}

void DemoScript::Read(const KeywordTable& keywords, EffectList& effects, std::FILE* script, Progress& progress,
                      std::string& musicFile, std::uint32_t& startOffset)
{
    ReadShow(keywords, effects, script, musicFile, startOffset, {.progress = progress});
}

void DemoScript::ReadRecorded(const KeywordTable& keywords, EffectList& effects, const std::string& script,
                              Progress& progress, std::string& musicFile, std::uint32_t& startOffset,
                              std::vector<EntrySource>& sources, const MusicNamed& musicNamed)
{
    if (script.empty()) {
        // fmemopen refuses an empty buffer; an empty script names no music.
        ThrowNoMusic();
    }
    const auto stream = OpenText(script);
    ReadShow(keywords, effects, stream.get(), musicFile, startOffset,
             {.progress = progress, .sources = &sources, .text = &script, .musicNamed = &musicNamed});
}

std::unique_ptr<Effekt> DemoScript::BuildEntry(const KeywordTable& keywords, EntrySource& source)
{
    const auto stream = OpenText(source.text);
    ScriptReader reader(stream.get(), source.firstLine);
    const std::optional<std::string> keyword = reader.ReadLine();
    EntrySource rebuilt{source.text, {}, source.firstLine};
    std::unique_ptr<Effekt> effect = BuildEntryOf(keywords, keyword.value_or(""), reader, NoProgress(), &rebuilt);
    source = std::move(rebuilt);
    return effect;
}

DemoScript::Progress& DemoScript::NoProgress()
{
    static SilentProgress silent;
    return silent;
}

void DemoScript::Check(const KeywordTable& keywords, EffectList& effects, ScriptCheck& check, const MusicNamed& musicNamed)
{
    const std::optional<std::string> read = ReadScriptText();
    if (!read) {
        check.problems.Error(0, "the script cannot be read");
        return;
    }
    const std::string& text = *read;
    PicturePrefetch prefetch(PicturesAhead(keywords, text));
    const PicturePrefetchScope prefetching(prefetch);
    CheckText(keywords, effects, text, check, musicNamed);
}

void DemoScript::CheckText(const KeywordTable& keywords, EffectList& effects, const std::string& script, ScriptCheck& check,
                           const MusicNamed& musicNamed)
{
    // Only the header can stop a check: without the music's name nothing
    // after it can be told apart.
    try {
        if (script.empty()) {
            ThrowNoMusic();
        }
        const auto stream = OpenText(script);
        ReadShow(keywords, effects, stream.get(), check.musicFile, check.startOffset,
                 {.progress = NoProgress(), .check = &check, .musicNamed = &musicNamed});
    } catch (const DemoMessage& message) {
        check.problems.Error(0, message.Text());
    }
}
