#include "effects/Plasma2D.h"

#include "core/DemoRandom.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "script/TweakBar.h"

namespace Effekter {

namespace {

// One draw as a unit float, computed in double and rounded once.
float UnitDraw()
{
    return static_cast<float>(DemoRandom::Next() / 32767.0);
}

}  // namespace

Plasma2D::Plasma2D(std::uint32_t startTime, std::uint32_t endTime, int seed)
    : Effekt(startTime, endTime), waterTexture(pictureFiles[0]),
      shader("data/plasma/effekt2.fs"),
      timeLocation(LookupUniform(shader.program, "time")),
      dx0Location(LookupUniform(shader.program, "dx0")),
      dy0Location(LookupUniform(shader.program, "dy0")),
      dx1Location(LookupUniform(shader.program, "dx1")),
      dy1Location(LookupUniform(shader.program, "dy1")),
      seed(seed)
{
    name = "Plasma2D";
}

void Plasma2D::DrawCoefficients()
{
    for (std::size_t i = 0; i < 4; ++i) {
        dx0Values[i] = UnitDraw() * 10.0f;
        dy0Values[i] = UnitDraw() * 10.0f;
        dx1Values[i] = UnitDraw();
        dy1Values[i] = UnitDraw();
    }
}

void Plasma2D::RegisterTweaks()
{
    tweakBar->AddInt32("Plasma", seed, "Plasma");
}

void Plasma2D::Draw(std::uint32_t time, float beat)
{
    const float t = static_cast<float>(time);
    DemoRandom::Seed(static_cast<std::uint32_t>(seed));
    const TextureBinding binding(waterTexture.textureId);
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, beat * 0.125f - 2.0f);
    RotateXYZ(Vector3(0.0f, 0.0f, static_cast<float>(t * 0.02)));
    DrawCoefficients();
    glUseProgram(shader.program);
    glUniform1f(timeLocation, t / 1000.0f);
    glUniform4f(dx0Location, dx0Values[0], dx0Values[1], dx0Values[2], dx0Values[3]);
    glUniform4f(dy0Location, dy0Values[0], dy0Values[1], dy0Values[2], dy0Values[3]);
    glUniform4f(dx1Location, dx1Values[0], dx1Values[1], dx1Values[2], dx1Values[3]);
    glUniform4f(dy1Location, dy1Values[0], dy1Values[1], dy1Values[2], dy1Values[3]);
    Quad(1.5f, 1.5f).Draw(1.0f, 1.0f);
    glUseProgram(0);
}

}  // namespace Effekter
