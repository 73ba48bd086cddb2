#include "effects/RubberBackdrop.h"

#include <algorithm>

#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

namespace {
constexpr std::uint32_t edgeSpan = 250;
}  // namespace

float EdgeAmount(std::uint32_t time, std::uint32_t startTime, std::uint32_t endTime)
{
    float edge = 0.0f;
    if (time - startTime < edgeSpan) {
        edge = 1.0f - static_cast<float>(time - startTime) / static_cast<float>(edgeSpan);
    }
    if (time > endTime - edgeSpan) {
        edge = 1.0f - static_cast<float>(endTime - time) / static_cast<float>(edgeSpan);
    }
    return edge;
}

void DrawRubberBackdrop(const CTexture& base, const CTexture& beatLayer, float edge, std::uint32_t time, float baseColour,
                        float beatColour)
{
    glDisable(GL_DEPTH_TEST);
    const CTransparency additive(GL_ONE, GL_ONE);
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, edge, -1.0f);
    const float halfSize = std::max(2.0f - static_cast<float>(time) / 10000.0f, 1.0f);
    const Quad quad(halfSize, halfSize);
    glColor4f(baseColour, baseColour, baseColour, baseColour);
    const TextureBinding baseBinding(base.textureId);
    quad.Draw(1.0f, 1.0f);
    glColor4f(beatColour, beatColour, beatColour, beatColour);
    const TextureBinding beatBinding(beatLayer.textureId);
    quad.Draw(1.0f, 1.0f);
}

}  // namespace Effekter
