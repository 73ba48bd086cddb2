#include <functional>
#include <optional>

#include "effects/AlphaBlendImage.h"
#include "effects/Banger.h"
#include "effects/ChaosZoomer.h"
#include "effects/Circles.h"
#include "effects/ColorBox.h"
#include "effects/EffectTest.h"
#include "effects/Faces.h"
#include "effects/Keywords.h"
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

using namespace Effekter;

namespace {

constexpr std::uint32_t opens = 1000;
constexpr std::uint32_t closes = 61000;

struct EffectCase {
    const char* name;
    std::function<std::unique_ptr<Effekt>()> make;
    std::optional<float> colourLeft = std::nullopt;  // the grey an effect leaves as the current colour, where it keeps one
};

using EveryEffect = EffectTest;

template <class Effect>
EffectCase Plain(const char* name, std::optional<float> colourLeft = std::nullopt)
{
    return {name, [] { return std::make_unique<Effect>(opens, closes); }, colourLeft};
}

}  // namespace

// Every effect, drawn just after its window opens, on a strong beat, in its
// middle, where the tunnel's sky has begun and just before the window closes,
// leaves the state the show keeps between effects: and also a black clear
// colour (the frame loop clears with it), colour material off, and no light
// on but NanoBall's own.
TEST_F(EveryEffect, LeavesTheStateBetweenEffects)
{
    for (const char* shader : {"plasma/effekt2.fs", "polar.fs", "bump.fs", "banger/slider.txt", "circles/circles.txt",
                               "misc/split.txt", "suite/vs.txt", "suite/fs.txt", "shadershow/aurora.fs"}) {
        CopyShipped(folder, shader);
    }
    for (const KeywordEntry& keyword : DemoKeywords()) {
        for (const std::string& picture : keyword.pictures) {
            WriteBandedPicture(picture, red, blue);
        }
    }
    WriteSquareModel("data/rubber/simple.3ds", 100.0f);
    WriteSquareModel("data/misc/simple.3ds", 60.0f);
    WriteBandedPicture("data/card.png", red, blue);

    const EffectCase effects[] = {
        {"Plasma2D", [] { return std::make_unique<Plasma2D>(opens, closes, 3); }},
        {"AlphaBlendImage", [] { return std::make_unique<AlphaBlendImage>(opens, closes, "data/card.png", "BEATBACK"); }},
        {"ShaderShow", [] { return std::make_unique<ShaderShow>(opens, closes, "data/shadershow/aurora.fs", "data/card.png"); }},
        Plain<Banger>("Banger"),
        Plain<Circles>("Circles"),
        Plain<Faces>("Faces"),
        Plain<FlashWhite>("FlashWhite"),
        Plain<PolarCoords>("PolarCoords"),
        Plain<TwistBox>("TwistBox"),
        Plain<Rubber3d>("Rubber3d"),
        Plain<ChaosZoomer>("ChaosZoomer"),
        Plain<ShaderSuite3D>("ShaderSuite3D"),
        Plain<Stroboskop>("Stroboskop", 1.0f),
        Plain<Tunnel>("Tunnel"),
        Plain<Zoomba>("Zoomba"),
        Plain<Zoombb>("Zoombb"),
        Plain<ColorBox>("ColorBox", 0.5f),
        Plain<Solaris>("Solaris"),
        Plain<NanoBall>("NanoBall"),
    };
    for (const EffectCase& effectCase : effects) {
        const std::unique_ptr<Effekt> effect = effectCase.make();
        for (const auto& [time, beat] : {std::pair{opens + 1, 0.0f}, {opens + 1300, 1.0f}, {30000u, 0.3f},
                                         {46001u, 0.6f}, {closes - 1, 1.0f}}) {
            effect->Draw(time, beat);
            const std::string at = std::string(effectCase.name) + " at " + std::to_string(time);
            EXPECT_TRUE(BetweenEffectsState()) << at;
            std::array<GLfloat, 4> colour{};
            glGetFloatv(GL_COLOR_CLEAR_VALUE, colour.data());
            EXPECT_EQ(colour, (std::array<GLfloat, 4>{})) << at;
            if (effectCase.colourLeft) {
                glGetFloatv(GL_CURRENT_COLOR, colour.data());
                EXPECT_EQ(colour, (std::array<GLfloat, 4>{*effectCase.colourLeft, *effectCase.colourLeft,
                                                          *effectCase.colourLeft, *effectCase.colourLeft})) << at;
            }
            EXPECT_FALSE(glIsEnabled(GL_COLOR_MATERIAL)) << at;
            EXPECT_EQ(glIsEnabled(GL_LIGHT1) == GL_TRUE, std::string(effectCase.name) == "NanoBall") << at;
        }
        ResetBetweenEffectsState();  // so that one effect's fault is not blamed on the next
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    }
}
