#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "gfx/FrameWindow.h"
#include "script/EffectList.h"
#include "script/KeywordTable.h"

// Reads data/demo.txt from the working directory: the music file, the start
// offset in whole seconds and the entry count, then one effect per entry,
// constructed in script order while the loading screen shows progress.
class DemoScript {
public:
    // Throws a DemoMessage when the script cannot be read, names an unknown
    // keyword or ends inside an entry, and passes on the effects' own errors.
    static void Load(const KeywordTable& keywords, EffectList& effects, FrameWindow& window, std::string& musicFile,
                     std::uint32_t& startOffset);

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
};
