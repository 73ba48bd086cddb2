#pragma once

#include <array>
#include <cstdint>

// Plain, tightly packed values, so that arrays of them go to OpenGL's
// vertex-array calls as they are, with stride 0.

struct Float2 {
    float u = 0.0f;
    float v = 0.0f;
};

struct Float3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Float4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

// Four rows of four, row by row.
struct Matrix4 {
    std::array<float, 16> m{};
};

// One GL_TRIANGLES index triple of a GL_UNSIGNED_SHORT index array.
struct Triangle {
    std::uint16_t a = 0;
    std::uint16_t b = 0;
    std::uint16_t c = 0;
};

struct Face {
    std::uint16_t a = 0;
    std::uint16_t b = 0;
    std::uint16_t c = 0;
    std::uint32_t smoothingGroups = 0;
    Float3 normal;
    Float3 tangent;   // change of position per unit u
    Float3 binormal;  // change of position per unit v
    std::uint32_t materialId = 0;
};

static_assert(sizeof(Float2) == 2 * sizeof(float));
static_assert(sizeof(Float3) == 3 * sizeof(float));
static_assert(sizeof(Float4) == 4 * sizeof(float));
static_assert(sizeof(Triangle) == 3 * sizeof(std::uint16_t));

Float3 operator-(Float3 p, Float3 q);
Float3 operator+(Float3 p, Float3 q);
Float3 Cross(Float3 p, Float3 q);

// Unit length; a zero vector stays zero.
Float3 Normalize(Float3 v);
