#pragma once

#include <cstdint>
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
};
