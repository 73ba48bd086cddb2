#pragma once

#include <array>

#include "gfx/ClipBounds.h"
#include "gfx/Texture.h"
#include "model3ds/MeshDisplayList.h"
#include "script/Effekt.h"

namespace Effekter {

// A chrome model over a two-layer backdrop, drawn 125 times a frame, each
// time clipped to one vertical strip of the screen and turned a little
// further, so that it bends and twists like rubber from left to right. It
// jumps close on strong beats and falls away, drifts right over its
// window and slides in and out vertically at the window's edges.
class Rubber3d : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 3> pictureFiles{
        "data/rubber/env.jpg", "data/rubber/background.jpg", "data/rubber/background1.jpg"};

    static constexpr int strips = 125;

    struct Strip {
        int x;
        int width;
    };

    Rubber3d(std::uint32_t startTime, std::uint32_t endTime);

    void Draw(std::uint32_t time, float beat) override;

    // The columns strip i covers on a screen this wide; neighbours overlap
    // by at most one column.
    static Strip StripOf(int i, int screenWidth);

    MeshDisplayList mesh;
    CTextureFreeImage envTexture;
    CTextureFreeImage backdropTexture;
    CTextureFreeImage beatBackdropTexture;
    int sliceSeed = 72;
    std::uint32_t lastTrigger = 0;

private:
    void DrawModel(std::uint32_t time, float beat, float edge);
    void DrawPartsInStrip(const ColumnRange& columns, bool lastStrip) const;
};

}  // namespace Effekter
