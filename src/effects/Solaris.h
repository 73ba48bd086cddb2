#pragma once

#include <array>

#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A flight along a bending trail of glowing sprites that spins about the
// viewing axis and sways with the beat, under a full-screen picture that
// darkens the screen where it is bright and bobs with the beat. Wipes
// whatever earlier effects drew in the same frame.
class Solaris : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 3> pictureFiles{
        "data/solaris/solaris1.jpg", "data/solaris/solaris2.jpg", "data/solaris/it.jpg"};

    Solaris(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    CTextureFreeImage spriteTexture;
    CTextureFreeImage spriteAddTexture;
    CTextureFreeImage overlayTexture;

private:
    void DrawTrail(float musicTime, float beat) const;
    void DrawOverlay(float beat) const;
};

}  // namespace Effekter
