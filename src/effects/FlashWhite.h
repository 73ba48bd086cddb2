#pragma once

#include "script/Effekt.h"

namespace Effekter {

// Washes the picture drawn so far out to white at the start of its window
// and fades the wash out linearly until the end.
class FlashWhite : public Effekt {
public:
    using Effekt::Effekt;

    void Draw(std::uint32_t time, float beat) override;
};

}  // namespace Effekter
