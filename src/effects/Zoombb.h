#pragma once

#include "effects/Zoomer.h"

namespace Effekter {

// The sprite tube; its sprites are the older version of the ring picture.
class Zoombb : public Zoomer {
public:
    Zoombb(std::uint32_t startTime, std::uint32_t endTime);
};

}  // namespace Effekter
