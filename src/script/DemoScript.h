#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gfx/FrameWindow.h"
#include "script/EffectList.h"
#include "script/KeywordTable.h"
#include "script/ScriptCheck.h"

// What one entry of a show was built from, so that it can be built again
// when one of its files changes.
struct EntrySource {
    std::string text;                // its lines of the script, from the keyword on
    std::vector<std::string> files;  // every file its construction read, as the script names them
    int firstLine = 1;               // the script's line its text starts on
};

// Reads data/demo.txt from the working directory: the music file, the start
// offset in whole seconds and the entry count, then one effect per entry,
// constructed in script order while the loading screen shows progress.
class DemoScript {
public:
    // Told the music file as soon as the script's first line names it, so
    // that decoding can begin while the show is built.
    using MusicNamed = std::function<void(const std::string& musicFile)>;

    // Throws a DemoMessage when the script cannot be read, names an unknown
    // keyword or ends inside an entry, and passes on the effects' own errors.
    // With sources, says for each entry what it was built from.
    static void Load(const KeywordTable& keywords, EffectList& effects, FrameWindow& window, std::string& musicFile,
                     std::uint32_t& startOffset, std::vector<EntrySource>* sources = nullptr,
                     const MusicNamed& musicNamed = {});

    // What the loader shows while it builds the show: the entry count the
    // script announces once its header is read, then one step per entry.
    class Progress {
    public:
        virtual ~Progress() = default;
        virtual void Begin(int announcedEntries) = 0;
        virtual void Step() = 0;
    };

    // The same from a script already open, with any display of progress.
    static void Read(const KeywordTable& keywords, EffectList& effects, std::FILE* script, Progress& progress,
                     std::string& musicFile, std::uint32_t& startOffset);

    // The same from the script's text, saying for each entry, in list
    // order, what it was built from.
    static void ReadRecorded(const KeywordTable& keywords, EffectList& effects, const std::string& script,
                             Progress& progress, std::string& musicFile, std::uint32_t& startOffset,
                             std::vector<EntrySource>& sources, const MusicNamed& musicNamed = {});

    // One entry built again from what it was built from; the files it reads
    // now are recorded anew. Throws as loading the script would.
    static std::unique_ptr<Effekt> BuildEntry(const KeywordTable& keywords, EntrySource& source);

    // A Progress that shows nothing: a show rebuilt while it plays.
    static Progress& NoProgress();

    // Builds every entry of data/demo.txt it can, for a check of the show:
    // instead of stopping at a problem it records it in check, at its line,
    // and goes on. A picture or model an entry cannot read is an error of
    // that entry, as is anything its construction throws.
    static void Check(const KeywordTable& keywords, EffectList& effects, ScriptCheck& check,
                      const MusicNamed& musicNamed = {});

    // The same from the script's text.
    static void CheckText(const KeywordTable& keywords, EffectList& effects, const std::string& script, ScriptCheck& check,
                          const MusicNamed& musicNamed = {});

    // While one lives, the message of an entry that fails to build names
    // its line and keyword first: "data/demo.txt line 40 (ShaderShow): ...".
    class MessagesNameLines {
    public:
        MessagesNameLines() { ++active; }
        ~MessagesNameLines() { --active; }
        MessagesNameLines(const MessagesNameLines&) = delete;
        MessagesNameLines& operator=(const MessagesNameLines&) = delete;

        static bool Active() { return active > 0; }

    private:
        static inline int active = 0;
    };
};
