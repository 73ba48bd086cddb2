#include "effects/FlashWhite.h"

#include "gfx/Guards.h"
#include "gfx/Quad.h"

namespace Effekter {

void FlashWhite::Draw(std::uint32_t time, float)
{
    const float intensity = static_cast<float>(
        1.0 - static_cast<double>(time - startTime) / static_cast<double>(endTime - startTime));
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -2.0f);
    const CTransparency additive(GL_ONE, GL_ONE);
    glColor4f(intensity, intensity, intensity, intensity);
    Quad(1.0f, 1.0f).Draw(1.0f, 1.0f);
}

}  // namespace Effekter
