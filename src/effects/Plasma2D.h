#pragma once

#include <array>

#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A full-screen plasma: a large square turning slowly about the view axis,
// pushed towards the viewer by the beat, drawn through a shader over the
// water texture. Sixteen coefficients drawn from the shared generator after
// reseeding it with `seed` shape the pattern, so each seed gives its own
// stable plasma.
class Plasma2D : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 1> pictureFiles{"data/plasma/__water.jpg"};

    Plasma2D(std::uint32_t startTime, std::uint32_t endTime, int seed);

    // The seed, as "Plasma": another seed gives another pattern from the next draw.
    void RegisterTweaks() override;

    void Draw(std::uint32_t time, float beat) override;

    CTextureFreeImage waterTexture;
    ShaderProgram shader;
    GLint timeLocation;
    GLint dx0Location;
    GLint dy0Location;
    GLint dx1Location;
    GLint dy1Location;
    int seed;
    std::array<float, 4> dx0Values{};
    std::array<float, 4> dy0Values{};
    std::array<float, 4> dx1Values{};
    std::array<float, 4> dy1Values{};

private:
    void DrawCoefficients();
};

}  // namespace Effekter
