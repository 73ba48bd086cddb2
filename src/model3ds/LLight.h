#pragma once

#include "model3ds/LObject.h"
#include "model3ds/MeshTypes.h"

class LLight : public LObject {
public:
    Float3 position;
    Float3 colour;
    // Set only by a spotlight chunk.
    Float3 target;
    float hotspot = 0.0f;
    float falloff = 0.0f;
};
