#pragma once

#include <array>

#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A full-screen card in two phases: for the first second of its window it
// enters through a shader that gets the milliseconds since the start; then
// the screen is cleared and the card shown with its flash layer added at
// the beat's brightness. The beat shifts the card down in both phases.
class Banger : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 2> pictureFiles{"data/banger/bang.jpg", "data/banger/bang1.jpg"};

    Banger(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    ShaderProgram shader;
    CTextureFreeImage bangTexture;
    CTextureFreeImage flashTexture;
    GLint timeLocation;

private:
    void DrawEntrance(std::uint32_t elapsed, float shift);
    void DrawFlashing(float beat, float shift);
};

}  // namespace Effekter
