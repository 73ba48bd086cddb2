// Feeds arbitrary bytes to the script loader as data/demo.txt, with effects
// that stand in for the real ones: each reads the same values after its
// window as the effect its keyword names, and draws nothing, so no GL is
// needed. Whatever the bytes, the loader either builds the show or reports
// a message; it never crashes, and it counts one progress step per entry.
// A check of the same bytes never throws, and builds every entry of a
// script the loader builds.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/DemoMessage.h"
#include "script/DemoScript.h"

namespace {

class StandIn : public Effekt {
public:
    using Effekt::Effekt;
    void Draw(std::uint32_t, float) override {}
};

enum class Value { Line, Number };

// The values each keyword reads after its window, as its real factory does.
KeywordEntry StandInFor(std::string keyword, std::vector<Value> values)
{
    return {std::move(keyword), [values](std::uint32_t start, std::uint32_t end, ScriptReader& extras) -> std::unique_ptr<Effekt> {
                for (const Value value : values) {
                    if (value == Value::Line) {
                        extras.RequireLine();
                    } else {
                        extras.RequireNumber();
                    }
                }
                return std::make_unique<StandIn>(start, end);
            }};
}

KeywordTable StandInKeywords()
{
    KeywordTable keywords = {
        StandInFor("Plugin", {Value::Line}),
        StandInFor("Plasma2D", {Value::Number}),
        StandInFor("AlphaBlendImage", {Value::Line, Value::Line}),
        StandInFor("ShaderShow", {Value::Line, Value::Line}),
    };
    for (const char* keyword : {"Banger", "FlashWhite", "PolarCoords", "Faces", "TwistBox", "Circles", "Rubber3d", "ChaosZoomer",
                                "ShaderSuite3D", "Stroboskop", "Tunnel", "Zoomba", "Zoombb", "ColorBox", "Solaris", "NanoBall",
                                "Overlays", "EndDemo"}) {
        keywords.push_back(StandInFor(keyword, {}));
    }
    return keywords;
}

class CountingProgress : public DemoScript::Progress {
public:
    void Begin(int) override { ++begun; }
    void Step() override
    {
        if (begun != 1) {
            __builtin_trap();  // a step before the header was read
        }
        ++steps;
    }

    int begun = 0;
    std::size_t steps = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const KeywordTable keywords = StandInKeywords();
    std::string text(reinterpret_cast<const char*>(data), size);
    std::FILE* script = size == 0 ? nullptr : fmemopen(text.data(), text.size(), "r");
    if (script == nullptr) {
        return 0;
    }
    CountingProgress progress;
    EffectList effects;
    std::string musicFile;
    std::uint32_t startOffset = 0;
    bool loaded = true;
    try {
        DemoScript::Read(keywords, effects, script, progress, musicFile, startOffset);
    } catch (const DemoMessage&) {
        loaded = false;
    }
    std::fclose(script);
    // Every entry built had its progress step; a failed entry may have had one too.
    if (effects.Size() > progress.steps || (loaded && (effects.Size() != progress.steps || musicFile.empty()))) {
        __builtin_trap();
    }

    ScriptCheck check;
    EffectList checked;
    DemoScript::CheckText(keywords, checked, text, check);
    if (loaded && (checked.Size() != effects.Size() || check.musicFile != musicFile || check.startOffset != startOffset)) {
        __builtin_trap();
    }
    return 0;
}
