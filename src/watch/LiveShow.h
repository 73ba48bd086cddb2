#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "script/DemoScript.h"
#include "script/EffectList.h"
#include "script/KeywordTable.h"
#include "watch/FileWatcher.h"

// The running show, built again while it plays when its files change or
// when asked: a changed script rebuilds the whole show, any other file only
// the entries that read it, each in its place; a changed plug-in library is
// loaded afresh with its entries. A rebuild that fails changes nothing that
// runs: its message is kept, to be shown over the show, until a rebuild
// succeeds.
class LiveShow {
public:
    static constexpr const char* scriptPath = "data/demo.txt";

    // Rebuilds effects, the show of data/demo.txt, once Load has built it.
    LiveShow(const KeywordTable& keywords, EffectList& effects, bool watching);

    // Loads the show the first time, with its loading screen, as
    // DemoScript::Load does; watching, it records what each entry reads.
    void Load(FrameWindow& window, std::string& musicFile, std::uint32_t& startOffset,
              const DemoScript::MusicNamed& musicNamed = {});

    // Another file to watch, outside the show's entries (the tracks file):
    // its saves, and F5, call rebuild, whose message, when it throws, is the
    // failure to show like that of any rebuild.
    void WatchAlso(std::string path, std::function<void()> rebuild);

    // Called before and after every change to the effect list, so that
    // whatever holds on to the effects can let go of them and take them up
    // again.
    void OnListChange(std::function<void()> before, std::function<void()> after);

    // Once a frame: with reload (F5) the whole show from the script, its
    // libraries afresh; watching, whatever changed on disk. Allocates
    // nothing while nothing changed. True when something was rebuilt, or
    // tried: an old show, or a failed new one, has gone.
    bool Update(bool reload);

    // The message of the last rebuild when it failed, else empty. An
    // entry's message names its script line: "data/demo.txt line 40
    // (ShaderShow): ...", as do those of the first load while watching.
    const std::string& Failure() const { return failure; }

    // Every file the show read, the script first (and those a failed
    // rebuild tried to read, so that mending them is seen too), and those
    // watched besides.
    std::vector<std::string> Files() const;

    bool RebuildAll(bool freshLibraries);
    bool RebuildChanged(const std::vector<std::string>& changed);

private:
    // Runs build; on success hands over through the hooks, on failure keeps
    // the message.
    bool Attempt(const std::function<void()>& build);

    const KeywordTable& keywords;
    EffectList& effects;
    std::vector<EntrySource> sources;  // one per effect, once recorded
    std::vector<std::string> attempted;  // files a failed rebuild read
    std::string musicFile;
    std::string failure;
    struct OtherFile {
        std::string path;
        std::function<void()> rebuild;
    };
    // Rebuilds what the other files make; false when one failed.
    void RebuildOthers(const std::vector<std::string>& changed, bool all);

    std::vector<OtherFile> others;
    std::optional<FileWatcher> watcher;
    std::function<void()> beforeChange = [] {};
    std::function<void()> afterChange = [] {};
};
