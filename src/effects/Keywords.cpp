#include "effects/Keywords.h"

#include "effects/AlphaBlendImage.h"
#include "effects/ColorBox.h"
#include "effects/FlashWhite.h"
#include "effects/NanoBall.h"
#include "effects/Solaris.h"
#include "effects/Stroboskop.h"
#include "effects/Tunnel.h"
#include "effects/Zoomba.h"
#include "effects/Zoombb.h"
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
        {"FlashWhite", WindowOnly<FlashWhite>()},
        {"AlphaBlendImage",
         [](std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::string imagePath = extras.RequireLine();
             const std::string modeWord = extras.RequireLine();
             return std::make_unique<AlphaBlendImage>(startTime, endTime, imagePath, modeWord);
         }},
        {"Stroboskop", WindowOnly<Stroboskop>()},
        {"Tunnel", WindowOnly<Tunnel>()},
        {"Zoomba", WindowOnly<Zoomba>()},
        {"Zoombb", WindowOnly<Zoombb>()},
        {"ColorBox", WindowOnly<ColorBox>()},
        {"Solaris", WindowOnly<Solaris>()},
        {"NanoBall", WindowOnly<NanoBall>()},
        {"Overlays", WindowOnly<Overlays>()},
        {"EndDemo", WindowOnly<EndDemo>()},
    };
}
