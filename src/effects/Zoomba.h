#pragma once

#include <array>

#include "effects/Zoomer.h"

namespace Effekter {

// The sprite tube; its sprites are the bright ring picture.
class Zoomba : public Zoomer {
public:
    // Its sprite; the backdrops are Zoomer::backdropFiles.
    static constexpr std::array<const char*, 1> pictureFiles{"data/zoomer/zoomer2.jpg"};

    Zoomba(std::uint32_t startTime, std::uint32_t endTime);
};

}  // namespace Effekter
