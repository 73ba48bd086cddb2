#pragma once

#include "effects/Zoomer.h"

namespace Effekter {

// The sprite tube; its sprites are the bright ring picture.
class Zoomba : public Zoomer {
public:
    Zoomba(std::uint32_t startTime, std::uint32_t endTime);
};

}  // namespace Effekter
