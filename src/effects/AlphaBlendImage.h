#pragma once

#include <string>

#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// One picture over the whole screen, moved by one of eight modes: slides in
// the four directions, a rise that stops in the centre, a slide that swells
// with the beat, and two modes that jolt the picture on strong beats.
class AlphaBlendImage : public Effekt {
public:
    enum Mode : int { Up, Down, Left, Right, UpCenter, BeatUp, BeatBack, Random };

    // Throws when the mode word is none of UP, DOWN, LEFT, RIGHT, UPCENTER,
    // BEATUP, BEATBACK and RANDOM (matched exactly).
    AlphaBlendImage(std::uint32_t startTime, std::uint32_t endTime, const std::string& imagePath, const std::string& modeWord);

    // An enumeration type "Mode" of the eight mode words, and the variable
    // "Mode" bound to mode.
    void RegisterTweaks() override;
    void Draw(std::uint32_t time, float beat) override;

    std::uint32_t lastTrigger = 0;
    CTextureFreeImage imageTexture;
    int mode;
};

}  // namespace Effekter
