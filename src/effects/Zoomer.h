#pragma once

#include <array>

#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// The drawing Zoomba and Zoombb share: the frame wiped white, a swaying,
// turning backdrop with a beat-lit additive layer, and a hundred sprites in
// a curved tube from two units deep up to the viewer. Only the sprite
// picture differs between the two.
class Zoomer : public Effekt {
public:
    // The backdrop pictures, loaded after the sprite.
    static constexpr std::array<const char*, 2> backdropFiles{"data/zoomer/bg.jpg", "data/zoomer/bg1.jpg"};

    void Draw(std::uint32_t time, float beat) override;

    CTextureFreeImage spriteTexture;
    CTextureFreeImage backgroundTexture;
    CTextureFreeImage backgroundAddTexture;

protected:
    Zoomer(std::uint32_t startTime, std::uint32_t endTime, const char* spritePath);
};

}  // namespace Effekter
