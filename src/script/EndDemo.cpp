#include "script/EndDemo.h"

#include "core/DemoMessage.h"

namespace Effekter {

void EndDemo::Draw(std::uint32_t, float)
{
    throw DemoMessage("End of show");
}

}  // namespace Effekter
