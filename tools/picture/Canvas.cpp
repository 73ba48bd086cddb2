#include "picture/Canvas.h"

#include <algorithm>
#include <stdexcept>

Canvas::Canvas(int width, int height) : width(width), height(height), pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
{
    if (width <= 0 || height <= 0) {
        throw std::invalid_argument("A canvas needs a positive size");
    }
}

void Canvas::Paint(const std::function<Color(float x, float y)>& color)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[Index(x, y)] = color(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
        }
    }
}

void Canvas::Cover(const Mask& mask, Color color)
{
    RequireSize(mask);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Color& pixel = pixels[Index(x, y)];
            pixel = Mix(pixel, color, std::clamp(mask.At(x, y), 0.0f, 1.0f));
        }
    }
}

void Canvas::Cover(const Mask& mask, const std::function<Color(float x, float y)>& color)
{
    RequireSize(mask);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float opacity = std::clamp(mask.At(x, y), 0.0f, 1.0f);
            if (opacity > 0.0f) {
                Color& pixel = pixels[Index(x, y)];
                pixel = Mix(pixel, color(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f), opacity);
            }
        }
    }
}

void Canvas::AddLight(const std::function<Color(float x, float y)>& light)
{
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Color& pixel = pixels[Index(x, y)];
            pixel = pixel + light(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
        }
    }
}

void Canvas::AddLight(const Mask& mask, Color color)
{
    RequireSize(mask);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            Color& pixel = pixels[Index(x, y)];
            pixel = pixel + color * mask.At(x, y);
        }
    }
}

void Canvas::RequireSize(const Mask& mask) const
{
    if (mask.Width() != width || mask.Height() != height) {
        throw std::invalid_argument("The mask and the canvas differ in size");
    }
}
