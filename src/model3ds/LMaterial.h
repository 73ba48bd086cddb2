#pragma once

#include <array>
#include <cstdint>

#include "model3ds/LObject.h"
#include "model3ds/MeshTypes.h"

// One texture map of a material.
struct MapInfo {
    float strength = 0.0f;
    std::array<char, 256> fileName{};
    float uScale = 1.0f;
    float vScale = 1.0f;
    float uOffset = 0.0f;
    float vOffset = 0.0f;
    float angle = 0.0f;
};

class LMaterial : public LObject {
public:
    std::int32_t id = 0;  // position in the importer's list
    MapInfo textureMap;
    MapInfo textureMap2;
    MapInfo opacityMap;
    MapInfo reflectionMap;
    MapInfo bumpMap;
    MapInfo specularMap;
    Float3 ambient;
    Float3 diffuse;
    Float3 specular;
    float shininess = 0.0f;     // 0 to 1
    float transparency = 0.0f;  // 0 to 1
    std::int32_t shading = 2;   // 0 to 4
};
