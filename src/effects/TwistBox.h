#pragma once

#include <array>

#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A tall square tower of 1000 thin slices, each turned and sized by sine
// waves that travel up the tower with time, its sides carrying the grid
// picture through the bump shader. Clears the window and draws with depth.
class TwistBox : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 1> pictureFiles{"data/__grid.jpg"};

    TwistBox(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    ShaderProgram shader;
    CTextureFreeImage gridTexture;
    GLint intensityLocation;
    GLint resolutionLocation;
    GLint posLocation;

private:
    static void DrawTower(double base);
};

}  // namespace Effekter
