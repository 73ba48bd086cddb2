#pragma once

#include <array>

#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A 21 x 21 grid of spinning, additively blended tiles seen from above.
// One tile is the target: full brightness, growing and flashing with the
// beat, the others fading with their distance from it. A falling beat picks
// a new target near the centre (at most every 200 ms) and the camera glides
// over to it by a fixed step per frame.
class ColorBox : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 2> pictureFiles{
        "data/colorbox/colorbox1.jpg", "data/colorbox/colorbox2.jpg"};

    ColorBox(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    CTextureFreeImage cellTexture;
    CTextureFreeImage highlightTexture;
    float lastBeat = 10.0f;
    std::int32_t targetX = 0;
    std::int32_t targetY = 0;
    std::uint32_t lastTrigger = 0;
    float cameraX = 0.0f;
    float cameraY = 0.0f;

private:
    void ChooseTarget(std::uint32_t time, float beat);
    void GlideCamera();
    float Fade(std::uint32_t time) const;
    void DrawTile(int x, int y, float musicSeconds, float fade, float beat) const;
};

}  // namespace Effekter
