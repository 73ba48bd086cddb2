#pragma once

#include <functional>
#include <vector>

#include "picture/Color.h"
#include "picture/Mask.h"

// A picture being painted: a colour per pixel, row 0 at the top. Backgrounds
// are painted per pixel; shapes and lettering come in as masks, either laid
// over what is there or added to it as light.
class Canvas {
public:
    Canvas(int width, int height);

    int Width() const { return width; }
    int Height() const { return height; }

    Color At(int x, int y) const { return pixels[Index(x, y)]; }

    // Sets every pixel to what the function gives at its centre.
    void Paint(const std::function<Color(float x, float y)>& color);

    // Lays a colour over the picture with the mask as its opacity.
    void Cover(const Mask& mask, Color color);

    // The same with a colour that changes over the picture.
    void Cover(const Mask& mask, const std::function<Color(float x, float y)>& color);

    // Adds a colour as light, scaled by the mask.
    void AddLight(const Mask& mask, Color color);

    // Adds light that the function gives per pixel.
    void AddLight(const std::function<Color(float x, float y)>& light);

private:
    std::size_t Index(int x, int y) const { return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x); }
    void RequireSize(const Mask& mask) const;

    int width;
    int height;
    std::vector<Color> pixels;
};
