#pragma once

#include <array>

#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A flight through a coiled ring of a thousand cloud sprites that drift
// towards the viewer. In the last fifteen seconds of the window a landscape
// fades in behind the clouds, its lights flashing with the beat, while the
// clouds dim to a tenth.
class Tunnel : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 3> pictureFiles{
        "data/sky/clouds.jpg", "data/sky/landskab1.jpg", "data/sky/landskab1_add.jpg"};

    Tunnel(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    CTextureFreeImage cloudTexture;
    CTextureFreeImage skyTexture;
    CTextureFreeImage skyAddTexture;
    std::int32_t cloudSeed = 89;

private:
    // Draws the landscape and returns how far it has faded in, 0 to 0.9.
    float DrawSky(float musicTime, std::uint32_t skyStart, float beat);
    void DrawClouds(std::uint32_t time, float beat, float skyFade);
};

}  // namespace Effekter
