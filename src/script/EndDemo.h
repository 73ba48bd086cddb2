#pragma once

#include <optional>

#include "script/EffectList.h"
#include "script/Effekt.h"

namespace Effekter {

// Placed last in the script: the first frame inside its window ends the show
// with the message "End of show". It draws nothing.
class EndDemo : public Effekt {
public:
    using Effekt::Effekt;

    void Draw(std::uint32_t time, float beat) override;
};

}  // namespace Effekter

// Where a show played from the music time `from` on first reaches an EndDemo
// window: that window's start, or `from` itself when it lies inside one.
// Nothing when the show never reaches one (it then plays until stopped).
std::optional<std::uint32_t> ShowEndTime(const EffectList& effects, std::uint32_t from);
