#pragma once

#include <cstdint>

// A colour as three floats, 0 to 1 on screen; light added on top of light
// may go past 1 until the picture is quantised.
struct Color {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

constexpr Color Hex(std::uint32_t rgb)
{
    return {static_cast<float>((rgb >> 16) & 0xFFu) / 255.0f, static_cast<float>((rgb >> 8) & 0xFFu) / 255.0f,
            static_cast<float>(rgb & 0xFFu) / 255.0f};
}

constexpr Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
constexpr Color operator*(Color c, float k) { return {c.r * k, c.g * k, c.b * k}; }
constexpr Color operator*(float k, Color c) { return c * k; }

// Straight interpolation: a at t = 0, b at t = 1.
constexpr Color Mix(Color a, Color b, float t) { return a * (1.0f - t) + b * t; }

// The show's "Northern night" palette.
namespace Palette {
constexpr Color night = Hex(0x0B1026);
constexpr Color deepTeal = Hex(0x0E4D64);
constexpr Color cyan = Hex(0x2FD4E6);
constexpr Color amber = Hex(0xFFB347);
constexpr Color coral = Hex(0xFF6B57);
constexpr Color bone = Hex(0xF4EDE1);
// Darker than night, for the top of skies and the depth of water.
constexpr Color abyss = Hex(0x050816);
}  // namespace Palette
