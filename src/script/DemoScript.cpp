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
#include "gfx/PicturePrefetch.h"
#include "script/LoadingScreen.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

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

private:
    EntrySource& source;
    FileReadListener* previous;
};

// Reads the rest of an entry whose keyword has been read and builds it;
// source, when given, gets the files it reads.
std::unique_ptr<Effekt> BuildEntryOf(const KeywordTable& keywords, const std::string& keyword, ScriptReader& reader,
                                     DemoScript::Progress& progress, EntrySource* source)
{
    reader.BeginEntry(keyword);
    const std::optional<std::int32_t> start = reader.ReadNumber();
    const std::optional<std::int32_t> end = start ? reader.ReadNumber() : std::nullopt;
    if (!end) {
        reader.ThrowUnexpectedEnd();
    }

    progress.Step();

    const KeywordEntry* found = FindEntry(keywords, keyword);
    if (found == nullptr) {
        throw DemoMessage(FormatText("Unknown entry '%s' in file, please correct", keyword.c_str()));
    }
    std::optional<FileRecorder> recorder;
    if (source != nullptr) {
        recorder.emplace(*source);
    }
    std::unique_ptr<Effekt> effect = found->build(static_cast<std::uint32_t>(*start), static_cast<std::uint32_t>(*end), reader);
    DebugOutput(FormatText("Loaded %s with start time %i and end time %i\n", keyword.c_str(), *start, *end));
    return effect;
}

// The loader itself; with sources (and the script's text) it also records
// what each entry was built from.
void ReadShow(const KeywordTable& keywords, EffectList& effects, std::FILE* script, DemoScript::Progress& progress,
              std::string& musicFile, std::uint32_t& startOffset, std::vector<EntrySource>* sources,
              const std::string* text, const DemoScript::MusicNamed& musicNamed = {})
{
    ScriptReader reader(script);

    musicFile = reader.ReadLine().value_or("");
    if (musicFile.empty()) {
        throw DemoMessage("The script data/demo.txt does not name its music file on its first line, please correct");
    }
    if (musicNamed) {
        musicNamed(musicFile);
    }
    startOffset = static_cast<std::uint32_t>(reader.ReadNumber().value_or(0));
    const int entryCount = reader.ReadNumber().value_or(0);

    progress.Begin(entryCount);

    while (!reader.AtEnd()) {
        const long entryStart = sources != nullptr ? std::ftell(script) : 0;
        const std::optional<std::string> keyword = reader.ReadLine();
        if (!keyword) {
            break;  // a line break or comments after the last entry
        }
        if (keyword->empty() && reader.OnlyBlankLinesRemain()) {
            break;
        }
        EntrySource source;
        effects.Append(BuildEntryOf(keywords, *keyword, reader, progress, sources != nullptr ? &source : nullptr));
        if (sources != nullptr) {
            source.text = text->substr(static_cast<std::size_t>(entryStart),
                                       static_cast<std::size_t>(std::ftell(script) - entryStart));
            sources->push_back(std::move(source));
        }
    }
}

// The pictures the show will load, in the order it loads them, as far as
// the script's text tells: the loading screen's, then for every line that
// names a keyword the pictures of its effect, and every value that names a
// picture file. A wrong guess costs only time.
std::vector<std::string> PicturesAhead(const KeywordTable& keywords, const std::string& text)
{
    std::vector<std::string> pictures{LoadingScreen::pictureFile};
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
        throw DemoMessage("Unable to load data/demo.txt");
    }
    return stream;
}

}  // namespace

void DemoScript::Load(const KeywordTable& keywords, EffectList& effects, FrameWindow& window, std::string& musicFile,
                      std::uint32_t& startOffset, std::vector<EntrySource>* sources, const MusicNamed& musicNamed)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen("data/demo.txt", "r"));
    if (!file) {
        throw DemoMessage("Unable to load data/demo.txt");
    }
    std::string text;
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
        text.append(buffer, read);
    }
    // The pictures decode on other threads while the entries are built.
    PicturePrefetch prefetch(PicturesAhead(keywords, text));
    const PicturePrefetchScope prefetching(prefetch);
    LoadingScreenProgress progress(window);
    std::vector<EntrySource> unrecorded;
    ReadRecorded(keywords, effects, text, progress, musicFile, startOffset, sources != nullptr ? *sources : unrecorded,
                 musicNamed);
}

void DemoScript::Read(const KeywordTable& keywords, EffectList& effects, std::FILE* script, Progress& progress,
                      std::string& musicFile, std::uint32_t& startOffset)
{
    ReadShow(keywords, effects, script, progress, musicFile, startOffset, nullptr, nullptr);
}

void DemoScript::ReadRecorded(const KeywordTable& keywords, EffectList& effects, const std::string& script,
                              Progress& progress, std::string& musicFile, std::uint32_t& startOffset,
                              std::vector<EntrySource>& sources, const MusicNamed& musicNamed)
{
    if (script.empty()) {
        // fmemopen refuses an empty buffer; an empty script names no music.
        throw DemoMessage("The script data/demo.txt does not name its music file on its first line, please correct");
    }
    const auto stream = OpenText(script);
    ReadShow(keywords, effects, stream.get(), progress, musicFile, startOffset, &sources, &script, musicNamed);
}

std::unique_ptr<Effekt> DemoScript::BuildEntry(const KeywordTable& keywords, EntrySource& source)
{
    const auto stream = OpenText(source.text);
    ScriptReader reader(stream.get());
    const std::optional<std::string> keyword = reader.ReadLine();
    EntrySource rebuilt{source.text, {}};
    std::unique_ptr<Effekt> effect = BuildEntryOf(keywords, keyword.value_or(""), reader, NoProgress(), &rebuilt);
    source = std::move(rebuilt);
    return effect;
}

DemoScript::Progress& DemoScript::NoProgress()
{
    static SilentProgress silent;
    return silent;
}
