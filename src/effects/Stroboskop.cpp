#include "effects/Stroboskop.h"

#include <cmath>

#include "core/DemoRandom.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

namespace {

// Until this music time the text layer darkens at full strength; from then
// on it follows the beat.
constexpr std::uint32_t textFollowsBeatFrom = 21000;

constexpr int swirlCopies = 10;

}  // namespace

Stroboskop::Stroboskop(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      twistTexture(pictureFiles[0]),
      backgroundTexture(pictureFiles[1]),
      textTexture(pictureFiles[2])
{
}

void Stroboskop::Draw(std::uint32_t time, float beat)
{
    const float musicTime = static_cast<float>(time);

    {
        const float grey = 0.5f + 0.5f * beat;
        glColor3f(grey, grey, grey);
        const MatrixScope matrix;
        const TextureBinding binding(backgroundTexture.textureId);
        const float drift = static_cast<float>(musicTime * 0.000001);
        const float x = 49.0f * static_cast<float>(std::sin(double{drift}));
        const float z = 0.5f * beat - 1.0f;
        glTranslatef(x, 0.0f, z);
        Quad(50.0f, 1.0f).Draw(50.0f, 1.0f);
    }

    {
        const CTransparency darken(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
        const OrthoScope ortho;
        const MatrixScope matrix;
        glTranslatef(0.0f, 0.0f, -1.0f);
        const float strength = time < textFollowsBeatFrom ? 1.0f : beat + 0.5f;
        glColor4f(strength, strength, strength, strength);
        const TextureBinding binding(textTexture.textureId);
        const float jitter = RandomUnit() * 0.125f * beat;
        const float scale = jitter + 1.0f;
        Quad(scale, scale).Draw(1.0f, 1.0f);
    }

    {
        const CTransparency additive(GL_ONE, GL_ONE);
        const TextureBinding binding(twistTexture.textureId);
        const float brightness = 0.125f * beat;
        glColor3f(brightness, brightness, brightness);
        const double turn = musicTime * static_cast<double>(0.04f);
        const double rest = (1.0 - beat) * 90.0;
        const Quad swirl(1.0f, 1.0f);
        for (int i = 0; i < swirlCopies; ++i) {
            const MatrixScope matrix;
            glTranslatef(0.0f, 0.0f, -1.0f);
            const float angle = static_cast<float>(static_cast<float>(i * 5) * beat + turn + rest);
            RotateXYZ(Vector3(0.0f, 0.0f, angle));
            swirl.Draw(1.0f, 1.0f);
        }
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

}  // namespace Effekter
