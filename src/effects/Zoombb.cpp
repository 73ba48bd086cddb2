#include "effects/Zoombb.h"

namespace Effekter {

Zoombb::Zoombb(std::uint32_t startTime, std::uint32_t endTime) : Zoomer(startTime, endTime, "data/zoomer/zoomer2-old.jpg") {}

}  // namespace Effekter
