#include "effects/Keywords.h"

#include "effects/AlphaBlendImage.h"
#include "effects/Banger.h"
#include "effects/ChaosZoomer.h"
#include "effects/Circles.h"
#include "effects/ColorBox.h"
#include "effects/Faces.h"
#include "effects/FlashWhite.h"
#include "effects/NanoBall.h"
#include "effects/Plasma2D.h"
#include "effects/PolarCoords.h"
#include "effects/Rubber3d.h"
#include "effects/ShaderShow.h"
#include "effects/ShaderSuite3D.h"
#include "effects/Solaris.h"
#include "effects/Stroboskop.h"
#include "effects/Tunnel.h"
#include "effects/TwistBox.h"
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
        {"Plasma2D",
         [](std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::int32_t seed = extras.RequireNumber();
             return std::make_unique<Plasma2D>(startTime, endTime, seed);
         }},
        {"Banger", WindowOnly<Banger>()},
        {"FlashWhite", WindowOnly<FlashWhite>()},
        {"PolarCoords", WindowOnly<PolarCoords>()},
        {"AlphaBlendImage",
         [](std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::string imagePath = extras.RequireLine();
             const std::string modeWord = extras.RequireLine();
             return std::make_unique<AlphaBlendImage>(startTime, endTime, imagePath, modeWord);
         }},
        {"Faces", WindowOnly<Faces>()},
        {"TwistBox", WindowOnly<TwistBox>()},
        {"Circles", WindowOnly<Circles>()},
        {"Rubber3d", WindowOnly<Rubber3d>()},
        {"ChaosZoomer", WindowOnly<ChaosZoomer>()},
        {"ShaderSuite3D", WindowOnly<ShaderSuite3D>()},
        {"Stroboskop", WindowOnly<Stroboskop>()},
        {"Tunnel", WindowOnly<Tunnel>()},
        {"Zoomba", WindowOnly<Zoomba>()},
        {"Zoombb", WindowOnly<Zoombb>()},
        {"ColorBox", WindowOnly<ColorBox>()},
        {"Solaris", WindowOnly<Solaris>()},
        {"NanoBall", WindowOnly<NanoBall>()},
        {"Overlays", WindowOnly<Overlays>()},
        {"EndDemo", WindowOnly<EndDemo>()},
        {"ShaderShow",
         [](std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::string shaderPath = extras.RequireLine();
             const std::string imagePath = extras.RequireLine();
             return std::make_unique<ShaderShow>(startTime, endTime, shaderPath, imagePath);
         }},
    };
}
