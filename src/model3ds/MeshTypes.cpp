#include "model3ds/MeshTypes.h"

#include <cmath>

Float3 operator-(Float3 p, Float3 q)
{
    return {p.x - q.x, p.y - q.y, p.z - q.z};
}

Float3 operator+(Float3 p, Float3 q)
{
    return {p.x + q.x, p.y + q.y, p.z + q.z};
}

Float3 Cross(Float3 p, Float3 q)
{
    return {p.y * q.z - p.z * q.y, p.z * q.x - p.x * q.z, p.x * q.y - p.y * q.x};
}

Float3 Normalize(Float3 v)
{
    const float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (length == 0.0f) {
        return v;
    }
    const float scale = 1.0f / length;
    return {v.x * scale, v.y * scale, v.z * scale};
}
