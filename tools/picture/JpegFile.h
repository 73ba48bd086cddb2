#pragma once

#include <filesystem>

#include "picture/Canvas.h"

// Saves a canvas as a 24-bit JPEG of quality 90, upright (row 0 of the
// canvas is the top of the picture). Throws std::runtime_error on failure.
void SaveJpeg(const Canvas& canvas, const std::filesystem::path& path);

// Saves a square canvas scaled down to side x side pixels as a PNG, for
// icons. Throws std::runtime_error on failure.
void SaveScaledPng(const Canvas& canvas, int side, const std::filesystem::path& path);
