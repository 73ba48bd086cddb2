#include "effects/Circles.h"

#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

Circles::Circles(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      shader("data/circles/circles.txt"),
      ringTexture(pictureFiles[0]),
      timeLocation(LookupUniform(shader.program, "time"))
{
}

void Circles::Draw(std::uint32_t time, float)
{
    glUseProgram(shader.program);
    glUniform1f(timeLocation, static_cast<float>(time));
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -2.0f);
    const TextureBinding binding(ringTexture.textureId);
    Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
    glUseProgram(0);
}

}  // namespace Effekter
