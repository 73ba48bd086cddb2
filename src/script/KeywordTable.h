#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "script/Effekt.h"
#include "script/ScriptReader.h"

// How the script loader turns one keyword into an effect: the factory gets
// the entry's start and end times and reads the keyword's extra values from
// the script itself, in their order, before constructing the effect.
using EffectFactory = std::function<std::unique_ptr<Effekt>(std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras)>;

struct KeywordEntry {
    std::string keyword;
    EffectFactory build;
    std::vector<std::string> pictures = {};  // the files its effect loads, in order, for the loader to decode ahead
};

// Matched exactly and case-sensitively, first match wins.
using KeywordTable = std::vector<KeywordEntry>;

// A factory for effects constructed from their window alone.
template <class EffectType>
EffectFactory WindowOnly()
{
    return [](std::uint32_t startTime, std::uint32_t endTime, ScriptReader&) -> std::unique_ptr<Effekt> {
        return std::make_unique<EffectType>(startTime, endTime);
    };
}
