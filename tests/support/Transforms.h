#pragma once

#include <array>
#include <cmath>

#include "support/GlTestContext.h"

// The transformations GL applies, worked out in double precision by the
// tests to say where a point must land on the screen.
struct Matrix4 {
    std::array<double, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // column-major, as GL

    Matrix4 operator*(const Matrix4& right) const
    {
        Matrix4 product;
        for (int column = 0; column < 4; ++column) {
            for (int row = 0; row < 4; ++row) {
                double sum = 0.0;
                for (int k = 0; k < 4; ++k) {
                    sum += m[k * 4 + row] * right.m[column * 4 + k];
                }
                product.m[column * 4 + row] = sum;
            }
        }
        return product;
    }

    static Matrix4 Translation(double x, double y, double z)
    {
        Matrix4 t;
        t.m[12] = x;
        t.m[13] = y;
        t.m[14] = z;
        return t;
    }

    // As glRotatef: degrees about an axis of unit length.
    static Matrix4 Rotation(double degrees, double x, double y, double z)
    {
        const double a = degrees * M_PI / 180.0, c = std::cos(a), s = std::sin(a), k = 1.0 - c;
        Matrix4 r;
        r.m = {x * x * k + c,     y * x * k + z * s, x * z * k - y * s, 0,
               x * y * k - z * s, y * y * k + c,     y * z * k + x * s, 0,
               x * z * k + y * s, y * z * k - x * s, z * z * k + c,     0,
               0,                 0,                 0,                 1};
        return r;
    }

    // As gluLookAt, with up (0, 1, 0).
    static Matrix4 LookAt(double eyeX, double eyeY, double eyeZ)
    {
        double f[3] = {-eyeX, -eyeY, -eyeZ};
        const double fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
        for (double& v : f) {
            v /= fl;
        }
        double side[3] = {-f[2], 0.0, f[0]};  // f x (0, 1, 0)
        const double sl = std::sqrt(side[0] * side[0] + side[2] * side[2]);
        side[0] /= sl;
        side[2] /= sl;
        const double up[3] = {side[1] * f[2] - side[2] * f[1], side[2] * f[0] - side[0] * f[2],
                              side[0] * f[1] - side[1] * f[0]};
        Matrix4 view;
        view.m = {side[0], up[0], -f[0], 0, side[1], up[1], -f[1], 0, side[2], up[2], -f[2], 0, 0, 0, 0, 1};
        return view * Translation(-eyeX, -eyeY, -eyeZ);
    }

    // The screen perspective: 40 degrees high, near 0.1, far 1000.
    static Matrix4 ScreenPerspective()
    {
        const double f = 1.0 / std::tan(20.0 * M_PI / 180.0), aspect = static_cast<double>(testWidth) / testHeight;
        const double nearPlane = 0.1, farPlane = 1000.0;
        Matrix4 p;
        p.m = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (farPlane + nearPlane) / (nearPlane - farPlane), -1,
               0, 0, 2.0 * farPlane * nearPlane / (nearPlane - farPlane), 0};
        return p;
    }

    // Window coordinates (x from the left, y from the bottom) of a point
    // this matrix takes to clip space.
    std::array<double, 2> ToWindow(double x, double y, double z) const
    {
        const double cx = m[0] * x + m[4] * y + m[8] * z + m[12];
        const double cy = m[1] * x + m[5] * y + m[9] * z + m[13];
        const double cw = m[3] * x + m[7] * y + m[11] * z + m[15];
        return {(cx / cw + 1.0) * 0.5 * testWidth, (cy / cw + 1.0) * 0.5 * testHeight};
    }
};
