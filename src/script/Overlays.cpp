#include "script/Overlays.h"

namespace Effekter {

void Overlays::Draw(std::uint32_t, float) {}

}  // namespace Effekter
