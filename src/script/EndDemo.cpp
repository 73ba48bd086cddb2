#include "script/EndDemo.h"

#include <algorithm>

#include "core/DemoMessage.h"

namespace Effekter {

void EndDemo::Draw(std::uint32_t, float)
{
    throw DemoMessage::Ending("End of show");
}

}  // namespace Effekter

std::optional<std::uint32_t> ShowEndTime(const EffectList& effects, std::uint32_t from)
{
    std::optional<std::uint32_t> end;
    for (const auto& effect : effects) {
        if (dynamic_cast<const Effekter::EndDemo*>(effect.get()) == nullptr) {
            continue;
        }
        // The window is open at both ends: its first frame is one past the start.
        const std::uint64_t firstFrame = std::max<std::uint64_t>(from, std::uint64_t{effect->startTime} + 1);
        if (firstFrame < effect->endTime) {
            const std::uint32_t reached = std::max(from, effect->startTime);
            end = end ? std::min(*end, reached) : reached;
        }
    }
    return end;
}
