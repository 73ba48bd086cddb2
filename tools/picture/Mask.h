#pragma once

#include <functional>
#include <vector>

// One float per pixel, usually 0 to 1: how much of a shape covers it. Masks
// are what shapes, lettering and glows are made of before they are given a
// colour on a canvas. Row 0 is the top of the picture.
class Mask {
public:
    Mask(int width, int height);

    // Evaluates coverage at every pixel centre, in pixel coordinates.
    static Mask FromCoverage(int width, int height, const std::function<float(float x, float y)>& coverage);

    int Width() const { return width; }
    int Height() const { return height; }

    float At(int x, int y) const { return values[Index(x, y)]; }
    float& At(int x, int y) { return values[Index(x, y)]; }

    // A soft copy: close to a Gaussian of the given standard deviation in
    // pixels. Outside the picture the edge pixels are taken to continue.
    Mask Blurred(float sigma) const;

    // Multiplies every value by what the function gives at its pixel centre.
    void Shape(const std::function<float(float x, float y)>& factor);

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x); }

    int width;
    int height;
    std::vector<float> values;
};
