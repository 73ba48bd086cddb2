#include "effects/ColorBox.h"

#include <cmath>

#include "core/DemoRandom.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

namespace {

constexpr int gridReach = 10;
// A target this far outside the grid leaves every tile dim and unmarked.
constexpr std::int32_t noTarget = 100;
constexpr std::uint32_t earliestTarget = 70;
constexpr std::uint32_t retargetAfter = 200;
constexpr std::uint32_t fadeInTime = 5000;
constexpr std::uint32_t fadeOutTime = 2000;

// Moves towards the target by one step, settling on it or less than a step below.
void Glide(float& position, std::int32_t target)
{
    if (static_cast<float>(target) > position) {
        position = static_cast<float>(position + 0.1);
    }
    if (position > static_cast<float>(target)) {
        position = static_cast<float>(position - 0.1);
    }
}

}  // namespace

ColorBox::ColorBox(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime), cellTexture(pictureFiles[0]), highlightTexture(pictureFiles[1])
{
}

void ColorBox::Draw(std::uint32_t time, float beat)
{
    ChooseTarget(time, beat);
    GlideCamera();
    const float musicSeconds = static_cast<float>(time) * 0.001f;

    {
        const MatrixScope matrix;
        // The up vector leans over as the music goes on: the view rolls slowly.
        gluLookAt(0.25 * cameraX, 0.25 * cameraY, 4.0, cameraX, cameraY, 0.0, musicSeconds, 1.0, 0.0);
        glDisable(GL_DEPTH_TEST);
        const CTransparency additive(GL_ONE, GL_ONE);
        const float fade = Fade(time);
        for (int x = -gridReach; x <= gridReach; ++x) {
            for (int y = -gridReach; y <= gridReach; ++y) {
                DrawTile(x, y, musicSeconds, fade, beat);
            }
        }
    }
    glColor4f(0.5f, 0.5f, 0.5f, 0.5f);
    RestoreScreenProjection();
}

void ColorBox::ChooseTarget(std::uint32_t time, float beat)
{
    // Unsigned: after a seek back the difference wraps and a choice is due.
    if (lastBeat > beat && time - lastTrigger > retargetAfter) {
        // Seeded with the time, so the same moment always picks the same tile.
        DemoRandom::Seed(time);
        targetX = static_cast<std::int32_t>(RandomUnit() * 4.0f);
        targetY = static_cast<std::int32_t>(RandomUnit() * 4.0f);
        if (time < earliestTarget) {
            targetX = noTarget;
            targetY = noTarget;
        }
        lastTrigger = time;
    }
    lastBeat = beat;
}

void ColorBox::GlideCamera()
{
    Glide(cameraY, targetY);
    Glide(cameraX, targetX);
}

float ColorBox::Fade(std::uint32_t time) const
{
    float fade = 1.0f;
    if (time < startTime + fadeInTime) {
        fade = static_cast<float>(time - startTime) / static_cast<float>(fadeInTime);
    }
    if (time > endTime - fadeOutTime) {
        fade = static_cast<float>(endTime - time) / static_cast<float>(fadeOutTime);
    }
    return fade;
}

void ColorBox::DrawTile(int x, int y, float musicSeconds, float fade, float beat) const
{
    const MatrixScope matrix;
    glTranslatef(static_cast<float>(x), static_cast<float>(y), 0.0f);
    // Each tile spins at a speed that grows with x + y, from a phase of x * y radians.
    glRotatef(static_cast<float>(180.0 * std::sin(0.05 * (x + y) * musicSeconds + x * y)), 0.0f, 0.0f, 1.0f);
    const int dx = x - targetX;
    const int dy = y - targetY;
    const bool isTarget = dx == 0 && dy == 0;
    const float distance = std::sqrt(static_cast<float>(dy * dy + dx * dx));
    const float brightness = isTarget ? 1.0f : fade * 0.5f / distance;
    glColor4f(brightness, brightness, brightness, brightness);
    const TextureBinding binding(cellTexture.textureId);
    if (isTarget) {
        const float grown = 1.0f + beat * 0.5f;
        const Quad tile(grown, grown);
        tile.Draw(1.0f, 1.0f);
        const float flash = 2.0f * fade * beat;
        glColor4f(flash, flash, flash, flash);
        const TextureBinding highlight(highlightTexture.textureId);
        tile.Draw(1.0f, 1.0f);
    } else {
        Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
    }
}

}  // namespace Effekter
