#pragma once

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
