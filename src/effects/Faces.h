#pragma once

#include <array>

#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// Two full-screen layers: the circles picture through the circles shader,
// which here also gets the beat, and the lettering added over it at a
// tenth of the beat's brightness.
class Faces : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 2> pictureFiles{"data/circles/circles.jpg", "data/circles/text.jpg"};

    Faces(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    GLint timeLocation;
    GLint beatLocation;
    ShaderProgram shader;
    CTextureFreeImage circlesTexture;
    CTextureFreeImage textTexture;
};

}  // namespace Effekter
