#include "effects/Solaris.h"

#include <cmath>

#include "core/DemoRandom.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

namespace {

constexpr int slotCount = 10000;
// The trail's own seed: every frame lays the sprites out the same way.
constexpr std::uint32_t trailSeed = 4;
constexpr float farthestDepth = -10.0f;

}  // namespace

Solaris::Solaris(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      spriteTexture(pictureFiles[0]),
      spriteAddTexture(pictureFiles[1]),
      overlayTexture(pictureFiles[2])
{
}

void Solaris::Draw(std::uint32_t time, float beat)
{
    DrawTrail(static_cast<float>(time), beat);
    DrawOverlay(beat);
}

void Solaris::DrawTrail(float musicTime, float beat) const
{
    const CTransparency additive(GL_ONE, GL_ONE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const MatrixScope trailMatrix;
    RotateXYZ(Vector3(0.0f, 2.0f * beat, musicTime * 0.05f));
    DemoRandom::Seed(trailSeed);
    const float travelled = musicTime * 0.002f;
    const Quad sprite(1.0f, 1.0f);
    for (int i = 0; i < slotCount; ++i) {
        const float z = travelled - static_cast<float>(i) / 3.0f;
        // The depth only falls with i: no later slot is near enough either.
        if (!(z > farthestDepth)) {
            break;
        }
        const MatrixScope matrix;
        // Swings aside with the square of the depth and rises with its fourth power.
        const float aside = 0.05f * z * z;
        const float rise = aside * aside;
        glTranslatef(aside, rise, z);
        const float spin = RandomUnit();
        glRotatef(static_cast<float>(20 * i) * spin + musicTime * 0.005f, 0.0f, 0.0f, 1.0f);
        const float distanceSquared = z * z + aside * aside + rise * rise;
        const float inverseDistance = 1.0f / std::sqrt(distanceSquared);
        const float brightness = inverseDistance * inverseDistance;
        glColor4f(brightness, brightness, brightness, brightness);
        glBindTexture(GL_TEXTURE_2D, spriteTexture.textureId);
        sprite.Draw(1.0f, 1.0f);
        const float flash = brightness * 0.125f * beat;
        glColor4f(flash, flash, flash, flash);
        const TextureBinding binding(spriteAddTexture.textureId);
        sprite.Draw(1.0f, 1.0f);
    }
}

void Solaris::DrawOverlay(float beat) const
{
    const CTransparency darken(GL_ZERO, GL_ONE_MINUS_SRC_COLOR);
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, beat * 0.12f, -1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const TextureBinding binding(overlayTexture.textureId);
    Quad(1.25f, 1.25f).Draw(1.0f, 1.0f);
}

}  // namespace Effekter
