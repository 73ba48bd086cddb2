#pragma once

#include <array>

#include "effects/Zoomer.h"

namespace Effekter {

// The sprite tube; its sprites are the older version of the ring picture.
class Zoombb : public Zoomer {
public:
    // Its sprite; the backdrops are Zoomer::backdropFiles.
    static constexpr std::array<const char*, 1> pictureFiles{"data/zoomer/zoomer2-old.jpg"};

    Zoombb(std::uint32_t startTime, std::uint32_t endTime);
};

}  // namespace Effekter
