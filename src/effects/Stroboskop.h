#pragma once

#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// Three beat-driven layers over the whole screen: a drifting strip of light
// bars that pumps towards the viewer, a darkening text picture that jitters
// in size, and ten additive swirls that fan out and brighten on the beat.
class Stroboskop : public Effekt {
public:
    Stroboskop(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    CTextureFreeImage twistTexture;
    CTextureFreeImage backgroundTexture;
    CTextureFreeImage textTexture;
};

}  // namespace Effekter
