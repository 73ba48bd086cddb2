#include "effects/AlphaBlendImage.h"

#include <array>
#include <optional>
#include <vector>

#include "core/DemoMessage.h"
#include "core/DemoRandom.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "script/TweakBar.h"

namespace Effekter {

namespace {

constexpr std::array<const char*, 8> modeWords = {"UP", "DOWN", "LEFT", "RIGHT", "UPCENTER", "BEATUP", "BEATBACK", "RANDOM"};

// A strong beat: exactly a quarter is not strong enough.
constexpr float triggerLevel = 0.25f;

int ModeFromWord(const std::string& word, const std::string& imagePath)
{
    for (std::size_t index = 0; index < modeWords.size(); ++index) {
        if (word == modeWords[index]) {
            return static_cast<int>(index);
        }
    }
    throw DemoMessage(FormatText("Unknown mode '%s' for the picture %s, please correct", word.c_str(), imagePath.c_str()));
}

}  // namespace

AlphaBlendImage::AlphaBlendImage(std::uint32_t startTime, std::uint32_t endTime, const std::string& imagePath,
                                 const std::string& modeWord)
    : Effekt(startTime, endTime), imageTexture(imagePath.c_str()), mode(ModeFromWord(modeWord, imagePath))
{
    name = imagePath;
}

void AlphaBlendImage::RegisterTweaks()
{
    std::vector<TweakEnumValue> values;
    for (std::size_t index = 0; index < modeWords.size(); ++index) {
        values.push_back({static_cast<int>(index), modeWords[index]});
    }
    const TweakEnum& modeType = tweakBar->DefineEnum("Mode", std::move(values));
    tweakBar->AddEnum("Mode", modeType, mode, "Mode");
}

void AlphaBlendImage::Draw(std::uint32_t time, float beat)
{
    const OrthoScope ortho;
    const MatrixScope matrix;
    const float progress = static_cast<float>(time - startTime) / static_cast<float>(endTime - startTime);

    float x = 0.0f;
    float y = 0.0f;
    float angle = 0.0f;
    float scale = 1.0f;
    switch (mode) {
    case Up: y = 2.0f - 4.0f * progress; break;
    case Down: y = 4.0f * progress - 2.0f; break;
    case Left: x = 2.0f - 4.0f * progress; break;
    case Right: x = 4.0f * progress - 2.0f; break;
    case UpCenter: y = 2.0f - 2.0f * progress * progress; break;
    case BeatUp:
        y = 2.0f - 4.0f * progress;
        scale = 1.0f + beat * beat * 0.125f;
        break;
    case BeatBack: {
        if (beat > triggerLevel) {
            lastTrigger = time;
            angle = 5.0f * RandomUnit() - 2.5f;
        }
        const float height = (2.0f - 4.0f * progress) * 0.5f;
        y = height * height + 0.5f;
        scale = 1.0f - static_cast<float>(time - lastTrigger) * 0.25f / 100.0f;
        break;
    }
    case Random:
        if (beat > triggerLevel && time - lastTrigger > 200u) {
            lastTrigger = time;
        }
        // Reseeding with the trigger time holds place and angle until the next trigger.
        DemoRandom::Seed(lastTrigger);
        x = RandomUnit() - 0.5f;
        y = RandomUnit() - 0.5f;
        angle = 90.0f * RandomUnit() - 45.0f;
        scale = 1.0f - static_cast<float>(time - lastTrigger) * 0.125f / 200.0f;
        break;
    default: break;
    }

    glTranslatef(x, y, -2.0f);
    glRotatef(angle, 1.0f, 0.0f, 0.0f);
    glRotatef(angle, 0.0f, 1.0f, 0.0f);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    const TextureBinding binding(imageTexture.textureId);
    // Over an opaque picture the blend would give the picture itself.
    std::optional<CTransparency> blend;
    if (!imageTexture.opaque) {
        blend.emplace(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    Quad(scale, scale).Draw(1.0f, 1.0f);
}

}  // namespace Effekter
