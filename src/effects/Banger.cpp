#include "effects/Banger.h"

#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

namespace {

constexpr std::uint32_t entranceMilliseconds = 1000;

// Overhangs the window by 5 % on every side, so the shifted card still covers it.
constexpr float cardHalfSize = 1.1f;

}  // namespace

Banger::Banger(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      shader("data/banger/slider.txt"),
      bangTexture(pictureFiles[0]),
      flashTexture(pictureFiles[1]),
      timeLocation(LookupUniform(shader.program, "time"))
{
}

void Banger::Draw(std::uint32_t time, float beat)
{
    const std::uint32_t elapsed = time - startTime;
    const float shift = static_cast<float>(beat * static_cast<double>(0.1f));
    if (elapsed < entranceMilliseconds) {
        DrawEntrance(elapsed, shift);
    } else {
        DrawFlashing(beat, shift);
    }
}

void Banger::DrawEntrance(std::uint32_t elapsed, float shift)
{
    glUseProgram(shader.program);
    glUniform1f(timeLocation, static_cast<float>(elapsed));
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, shift, -2.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const TextureBinding binding(bangTexture.textureId);
    Quad(cardHalfSize, cardHalfSize).Draw(1.0f, 1.0f);
    glUseProgram(0);
}

// Leaves the current colour at the beat's grey.
void Banger::DrawFlashing(float beat, float shift)
{
    const CTransparency additive(GL_ONE, GL_ONE);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, shift, -2.0f);
    const Quad card(cardHalfSize, cardHalfSize);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const TextureBinding bang(bangTexture.textureId);
    card.Draw(1.0f, 1.0f);
    glColor4f(beat, beat, beat, beat);
    const TextureBinding flash(flashTexture.textureId);
    card.Draw(1.0f, 1.0f);
}

}  // namespace Effekter
