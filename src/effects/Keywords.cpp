#include "effects/Keywords.h"

#include "script/EndDemo.h"
#include "script/Overlays.h"
#include "script/PluginLoader.h"

using namespace Effekter;

KeywordTable DemoKeywords()
{
    return {
        {"Plugin",
         [](std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::string path = extras.RequireLine();
             return std::make_unique<PluginLoader>(startTime, endTime, path, extras.Stream());
         }},
        {"Overlays", WindowOnly<Overlays>()},
        {"EndDemo", WindowOnly<EndDemo>()},
    };
}
