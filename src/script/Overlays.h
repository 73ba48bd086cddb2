#pragma once

#include "script/Effekt.h"

namespace Effekter {

// A script entry whose window shows nothing.
class Overlays : public Effekt {
public:
    using Effekt::Effekt;

    void Draw(std::uint32_t time, float beat) override;
};

}  // namespace Effekter
