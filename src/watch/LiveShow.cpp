#include "watch/LiveShow.h"

#include <algorithm>
#include <optional>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "core/FileReads.h"
#include "script/PluginLoader.h"
#include "script/ScriptReader.h"

namespace {

std::string ReadScript()
{
    std::optional<std::string> text = ReadScriptText();
    if (!text) {
        throw DemoMessage(ScriptUnreadableMessage());
    }
    return std::move(*text);
}

// Every file read while it exists. A file that cannot be read fails the
// rebuild, as a shader that does not compile does: a show rebuilt without
// its picture or model would replace a good one with a white quad.
class AttemptRecorder : public FileReadListener {
public:
    explicit AttemptRecorder(std::vector<std::string>& files) : files(files), previous(SetFileReadListener(this)) {}
    ~AttemptRecorder() override { SetFileReadListener(previous); }
    AttemptRecorder(const AttemptRecorder&) = delete;
    AttemptRecorder& operator=(const AttemptRecorder&) = delete;

    void FileRead(const std::string& path) override { files.push_back(path); }
    void FileUnreadable(const std::string& path) override
    {
        throw DemoMessage(FormatText("Unable to load %s", path.c_str()));
    }

private:
    std::vector<std::string>& files;
    FileReadListener* previous;
};

bool Reads(const EntrySource& source, const std::vector<std::string>& changed)
{
    return std::any_of(changed.begin(), changed.end(), [&](const std::string& file) {
        return std::find(source.files.begin(), source.files.end(), file) != source.files.end();
    });
}

}  // namespace

LiveShow::LiveShow(const KeywordTable& keywords, EffectList& effects, bool watching)
    : keywords(keywords), effects(effects)
{
    if (watching) {
        watcher.emplace();
    }
}

void LiveShow::Load(FrameWindow& window, std::string& music, std::uint32_t& startOffset,
                    const DemoScript::MusicNamed& musicNamed)
{
    // Watching, the script is being edited: a message names its line.
    std::optional<DemoScript::MessagesNameLines> naming;
    if (watcher) {
        naming.emplace();
    }
    DemoScript::Load(keywords, effects, window, music, startOffset, watcher ? &sources : nullptr, musicNamed);
    musicFile = music;
    if (watcher) {
        watcher->Watch(Files());
    }
}

void LiveShow::WatchAlso(std::string path, std::function<void()> rebuild)
{
    others.push_back({std::move(path), std::move(rebuild)});
    if (watcher) {
        watcher->Watch(Files());
    }
}

void LiveShow::OnListChange(std::function<void()> before, std::function<void()> after)
{
    beforeChange = std::move(before);
    afterChange = std::move(after);
}

std::vector<std::string> LiveShow::Files() const
{
    std::vector<std::string> files{scriptPath};
    for (const EntrySource& source : sources) {
        files.insert(files.end(), source.files.begin(), source.files.end());
    }
    files.insert(files.end(), attempted.begin(), attempted.end());
    for (const OtherFile& other : others) {
        files.push_back(other.path);
    }
    std::sort(files.begin() + 1, files.end());
    files.erase(std::unique(files.begin() + 1, files.end()), files.end());
    return files;
}

bool LiveShow::Update(bool reload)
{
    bool rebuilt = false;
    if (reload) {
        RebuildAll(true);
        RebuildOthers({}, true);
        rebuilt = true;
    }
    if (watcher) {
        const std::vector<std::string> saved = watcher->TakeSaved();
        if (!saved.empty()) {
            RebuildChanged(saved);
            RebuildOthers(saved, false);
            rebuilt = true;
        }
        if (rebuilt) {
            watcher->Watch(Files());
        }
    }
    return rebuilt;
}

void LiveShow::RebuildOthers(const std::vector<std::string>& changed, bool all)
{
    for (const OtherFile& other : others) {
        if (all || std::find(changed.begin(), changed.end(), other.path) != changed.end()) {
            try {
                other.rebuild();
            } catch (const DemoMessage& message) {
                failure = message.Text();
                DebugOutput(FormatText("Reload failed: %s\n", failure.c_str()));
            }
        }
    }
}

bool LiveShow::Attempt(const std::function<void()>& build)
{
    std::vector<std::string> read;
    try {
        const AttemptRecorder recorder(read);
        const DemoScript::MessagesNameLines naming;
        build();
    } catch (const DemoMessage& message) {
        failure = message.Text();
        attempted = std::move(read);
        DebugOutput(FormatText("Reload failed: %s\n", failure.c_str()));
        return false;
    }
    failure.clear();
    attempted.clear();
    return true;
}

bool LiveShow::RebuildAll(bool freshLibraries)
{
    EffectList rebuilt;
    std::vector<EntrySource> rebuiltSources;
    return Attempt([&] {
        std::optional<Effekter::PluginLoader::FreshLibraries> fresh;
        if (freshLibraries) {
            fresh.emplace();
        }
        std::string music;
        std::uint32_t startOffset = 0;
        DemoScript::ReadRecorded(keywords, rebuilt, ReadScript(), DemoScript::NoProgress(), music, startOffset,
                                 rebuiltSources);
        if (music != musicFile) {
            // The music is the clock: it changes only with a new start.
            DebugOutput(FormatText("The script now names the music %s: it plays from the next start\n", music.c_str()));
        }
        beforeChange();
        effects.Swap(rebuilt);
        sources.swap(rebuiltSources);
        afterChange();
        // The old show goes with `rebuilt`, the GL context still current.
    });
}

bool LiveShow::RebuildChanged(const std::vector<std::string>& changed)
{
    // A file only a failed rebuild of the script read (a picture it could
    // not load, a new shader) belongs to no entry yet: the script is tried
    // again.
    const bool onlyAttempted = std::any_of(changed.begin(), changed.end(), [&](const std::string& file) {
        return std::find(attempted.begin(), attempted.end(), file) != attempted.end() &&
               std::none_of(sources.begin(), sources.end(), [&](const EntrySource& source) { return Reads(source, {file}); });
    });
    if (std::find(changed.begin(), changed.end(), scriptPath) != changed.end() || sources.size() != effects.Size() ||
        onlyAttempted) {
        return RebuildAll(false);
    }
    return Attempt([&] {
        std::vector<std::pair<std::size_t, std::unique_ptr<Effekt>>> rebuilt;
        std::vector<EntrySource> rebuiltSources;
        // Only the entries that read a changed file are built, so only
        // changed libraries come afresh.
        const Effekter::PluginLoader::FreshLibraries fresh;
        for (std::size_t index = 0; index < sources.size(); ++index) {
            if (Reads(sources[index], changed)) {
                EntrySource source = sources[index];
                rebuilt.emplace_back(index, DemoScript::BuildEntry(keywords, source));
                rebuiltSources.push_back(std::move(source));
            }
        }
        if (rebuilt.empty()) {
            return;
        }
        beforeChange();
        for (std::size_t entry = 0; entry < rebuilt.size(); ++entry) {
            effects.Replace(rebuilt[entry].first, std::move(rebuilt[entry].second));
            sources[rebuilt[entry].first] = std::move(rebuiltSources[entry]);
        }
        afterChange();
    });
}
