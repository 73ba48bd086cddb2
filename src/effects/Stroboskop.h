#pragma once

#include <array>

#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// Three beat-driven layers over the whole screen: a drifting strip of light
// bars that pumps towards the viewer, a darkening text picture that jitters
// in size, and ten additive swirls that fan out and brighten on the beat.
class Stroboskop : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 3> pictureFiles{
        "data/strobo/twist.jpg", "data/strobo/bg.jpg", "data/strobo/text.jpg"};

    Stroboskop(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    CTextureFreeImage twistTexture;
    CTextureFreeImage backgroundTexture;
    CTextureFreeImage textTexture;
};

}  // namespace Effekter
