#pragma once

#include "picture/Canvas.h"

// The show's pictures, each painted from scratch. All are full pictures,
// opaque and edge to edge, of this size.
namespace Pictures {

constexpr int size = 1024;

// The loading screen: shown on a quad 1.2 times taller than wide.
Canvas Loader();

// Full-screen cards and scenes that slide, rise and pulse over each other:
// one place from night to dawn, the title at both ends.
Canvas TitleCard();
Canvas TitleCardAtDawn();
Canvas SignalCard();
Canvas EchoCard();
Canvas NorthernLights();
Canvas GridHorizon();
Canvas SunOverWater();

}  // namespace Pictures
