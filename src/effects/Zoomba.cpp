#include "effects/Zoomba.h"

namespace Effekter {

Zoomba::Zoomba(std::uint32_t startTime, std::uint32_t endTime) : Zoomer(startTime, endTime, pictureFiles[0]) {}

}  // namespace Effekter
