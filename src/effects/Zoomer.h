#pragma once

#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// The drawing Zoomba and Zoombb share: the frame wiped white, a swaying,
// turning backdrop with a beat-lit additive layer, and a hundred sprites in
// a curved tube from two units deep up to the viewer. Only the sprite
// picture differs between the two.
class Zoomer : public Effekt {
public:
    void Draw(std::uint32_t time, float beat) override;

    CTextureFreeImage spriteTexture;
    CTextureFreeImage backgroundTexture;
    CTextureFreeImage backgroundAddTexture;

protected:
    Zoomer(std::uint32_t startTime, std::uint32_t endTime, const char* spritePath);
};

}  // namespace Effekter
