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

    // As gluLookAt.
    static Matrix4 LookAt(const std::array<double, 3>& eye, const std::array<double, 3>& centre,
                          const std::array<double, 3>& up)
    {
        const auto normalised = [](std::array<double, 3> v) {
            const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
            return std::array<double, 3>{v[0] / length, v[1] / length, v[2] / length};
        };
        const auto cross = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
            return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
        };
        const std::array<double, 3> f = normalised({centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]});
        const std::array<double, 3> side = normalised(cross(f, up));
        const std::array<double, 3> u = cross(side, f);
        Matrix4 view;
        view.m = {side[0], u[0], -f[0], 0, side[1], u[1], -f[1], 0, side[2], u[2], -f[2], 0, 0, 0, 0, 1};
        return view * Translation(-eye[0], -eye[1], -eye[2]);
    }

    // As glOrtho with the near and far planes at -1000 and 1000.
    static Matrix4 Ortho(double halfWidth, double halfHeight)
    {
        Matrix4 o;
        o.m[0] = 1.0 / halfWidth;
        o.m[5] = 1.0 / halfHeight;
        o.m[10] = -0.001;
        return o;
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
