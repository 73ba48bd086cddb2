#include "effects/Faces.h"

#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

namespace {

void DrawWindowQuad(GLuint texture)
{
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -2.0f);
    const TextureBinding binding(texture);
    Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
}

}  // namespace

Faces::Faces(std::uint32_t startTime, std::uint32_t endTime)
    : Effekt(startTime, endTime),
      shader("data/circles/circles.txt"),
      circlesTexture(pictureFiles[0]),
      textTexture(pictureFiles[1])
{
    glUseProgram(shader.program);
    timeLocation = LookupUniform(shader.program, "time");
    beatLocation = LookupUniform(shader.program, "beat");
    glUseProgram(0);
}

// Leaves the current colour at the lettering's.
void Faces::Draw(std::uint32_t time, float beat)
{
    glUseProgram(shader.program);
    glUniform1f(timeLocation, static_cast<float>(time));
    glUniform1f(beatLocation, beat);
    glColor4f(beat, beat, beat, beat);
    {
        const OrthoScope ortho;
        const MatrixScope matrix;
        glTranslatef(0.0f, 0.0f, -2.0f);
        const TextureBinding binding(circlesTexture.textureId);
        Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
        glUseProgram(0);
    }
    const CTransparency additive(GL_ONE, GL_ONE);
    const float glow = 0.1f * beat;
    glColor4f(glow, glow, glow, beat);
    DrawWindowQuad(textTexture.textureId);
}

}  // namespace Effekter
