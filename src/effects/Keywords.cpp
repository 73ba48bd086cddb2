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

namespace {

template <std::size_t... Sizes>
std::vector<std::string> Pictures(const std::array<const char*, Sizes>&... lists)
{
    std::vector<std::string> pictures;
    (pictures.insert(pictures.end(), lists.begin(), lists.end()), ...);
    return pictures;
}

}  // namespace

KeywordTable DemoKeywords(SyncTracks* tracks, ShaderInputs* shaderInputs)
{
    return {
        {"Plugin",
         [tracks](std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::string path = extras.RequireLine();
             return std::make_unique<PluginLoader>(startTime, endTime, path, extras.Stream(), tracks);
         }},
        {"Plasma2D",
         [](std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::int32_t seed = extras.RequireNumber();
             return std::make_unique<Plasma2D>(startTime, endTime, seed);
         },
         Pictures(Plasma2D::pictureFiles)},
        {"Banger", WindowOnly<Banger>(), Pictures(Banger::pictureFiles)},
        {"FlashWhite", WindowOnly<FlashWhite>()},
        {"PolarCoords", WindowOnly<PolarCoords>(), Pictures(PolarCoords::pictureFiles)},
        {"AlphaBlendImage",
         [](std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::string imagePath = extras.RequireLine();
             const std::string modeWord = extras.RequireLine();
             return std::make_unique<AlphaBlendImage>(startTime, endTime, imagePath, modeWord);
         }},
        {"Faces", WindowOnly<Faces>(), Pictures(Faces::pictureFiles)},
        {"TwistBox", WindowOnly<TwistBox>(), Pictures(TwistBox::pictureFiles)},
        {"Circles", WindowOnly<Circles>(), Pictures(Circles::pictureFiles)},
        {"Rubber3d", WindowOnly<Rubber3d>(), Pictures(Rubber3d::pictureFiles)},
        {"ChaosZoomer", WindowOnly<ChaosZoomer>(), Pictures(ChaosZoomer::pictureFiles)},
        {"ShaderSuite3D",
         [shaderInputs](std::uint32_t startTime, std::uint32_t endTime, ScriptReader&) -> std::unique_ptr<Effekt> {
             return std::make_unique<ShaderSuite3D>(startTime, endTime, shaderInputs);
         },
         Pictures(ShaderSuite3D::pictureFiles)},
        {"Stroboskop", WindowOnly<Stroboskop>(), Pictures(Stroboskop::pictureFiles)},
        {"Tunnel", WindowOnly<Tunnel>(), Pictures(Tunnel::pictureFiles)},
        {"Zoomba", WindowOnly<Zoomba>(), Pictures(Zoomba::pictureFiles, Zoomer::backdropFiles)},
        {"Zoombb", WindowOnly<Zoombb>(), Pictures(Zoombb::pictureFiles, Zoomer::backdropFiles)},
        {"ColorBox", WindowOnly<ColorBox>(), Pictures(ColorBox::pictureFiles)},
        {"Solaris", WindowOnly<Solaris>(), Pictures(Solaris::pictureFiles)},
        {"NanoBall", WindowOnly<NanoBall>(), Pictures(NanoBall::pictureFiles)},
        {"Overlays", WindowOnly<Overlays>()},
        {"EndDemo", WindowOnly<EndDemo>()},
        {"ShaderShow",
         [shaderInputs](std::uint32_t startTime, std::uint32_t endTime, ScriptReader& extras) -> std::unique_ptr<Effekt> {
             const std::string shaderPath = extras.RequireLine();
             const std::string imagePath = extras.RequireLine();
             return std::make_unique<ShaderShow>(startTime, endTime, shaderPath, imagePath, shaderInputs);
         }},
    };
}
