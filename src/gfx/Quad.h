#pragma once

#include <cstddef>
#include <span>

#include "gfx/Gl.h"

struct Vector3 {
    Vector3() = default;
    Vector3(GLfloat x, GLfloat y, GLfloat z) : x(x), y(y), z(z) {}

    void Set(GLfloat newX, GLfloat newY, GLfloat newZ)
    {
        x = newX;
        y = newY;
        z = newZ;
    }

    // The three values as one array, for whatever binds them by address
    // (the tweak panel). The layout is checked below.
    std::span<GLfloat, 3> Components() { return std::span<GLfloat, 3>(&x, 3); }

    GLfloat x = 0.0f;
    GLfloat y = 0.0f;
    GLfloat z = 0.0f;
};
static_assert(sizeof(Vector3) == 3 * sizeof(GLfloat) && offsetof(Vector3, z) == 2 * sizeof(GLfloat));

// A textured rectangle in the plane z = center.z. Texture coordinate (0, 0)
// lies at the corner of smallest x and y: the top left under OrthoScope,
// where y grows downwards, so pictures show upright there.
class Quad {
public:
    Quad(GLfloat halfWidth, GLfloat halfHeight) : halfSize(halfWidth, halfHeight, 0.0f) {}

    // One GL_QUADS primitive; u and v above 1 repeat the texture. Binds
    // nothing and changes only the current texture coordinate and normal.
    void Draw(GLfloat uRepeat, GLfloat vRepeat) const;

    Vector3 halfSize;
    Vector3 center;
};

// glRotatef about x, then y, then z, by the given angles in degrees.
void RotateXYZ(const Vector3& angles);
