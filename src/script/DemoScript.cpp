#include "script/DemoScript.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "script/LoadingScreen.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

const EffectFactory* FindKeyword(const KeywordTable& keywords, const std::string& keyword)
{
    for (const KeywordEntry& entry : keywords) {
        if (entry.keyword == keyword) {
            return &entry.build;
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

}  // namespace

void DemoScript::Load(const KeywordTable& keywords, EffectList& effects, FrameWindow& window, std::string& musicFile,
                      std::uint32_t& startOffset)
{
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen("data/demo.txt", "r"));
    if (!file) {
        throw DemoMessage("Unable to load data/demo.txt");
    }
    LoadingScreenProgress progress(window);
    Read(keywords, effects, file.get(), progress, musicFile, startOffset);
}

void DemoScript::Read(const KeywordTable& keywords, EffectList& effects, std::FILE* script, Progress& progress,
                      std::string& musicFile, std::uint32_t& startOffset)
{
    ScriptReader reader(script);

    musicFile = reader.ReadLine().value_or("");
    if (musicFile.empty()) {
        throw DemoMessage("The script data/demo.txt does not name its music file on its first line, please correct");
    }
    startOffset = static_cast<std::uint32_t>(reader.ReadNumber().value_or(0));
    const int entryCount = reader.ReadNumber().value_or(0);

    progress.Begin(entryCount);

    while (!reader.AtEnd()) {
        const std::optional<std::string> keyword = reader.ReadLine();
        if (!keyword) {
            break;  // a line break or comments after the last entry
        }
        if (keyword->empty() && reader.OnlyBlankLinesRemain()) {
            break;
        }
        reader.BeginEntry(*keyword);
        const std::optional<std::int32_t> start = reader.ReadNumber();
        const std::optional<std::int32_t> end = start ? reader.ReadNumber() : std::nullopt;
        if (!end) {
            reader.ThrowUnexpectedEnd();
        }

        progress.Step();

        const EffectFactory* build = FindKeyword(keywords, *keyword);
        if (build == nullptr) {
            throw DemoMessage(FormatText("Unknown entry '%s' in file, please correct", keyword->c_str()));
        }
        std::unique_ptr<Effekt> effect = (*build)(static_cast<std::uint32_t>(*start), static_cast<std::uint32_t>(*end), reader);
        DebugOutput(FormatText("Loaded %s with start time %i and end time %i\n", keyword->c_str(), *start, *end));
        effects.Append(std::move(effect));
    }
}
