#include "effects/Zoombb.h"

namespace Effekter {

Zoombb::Zoombb(std::uint32_t startTime, std::uint32_t endTime) : Zoomer(startTime, endTime, pictureFiles[0]) {}

}  // namespace Effekter
