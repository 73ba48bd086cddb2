#pragma once

#include <string>

// Writes the frame drawn so far (the back buffer, before the swap) of the
// given size as a 24-bit PNG. Throws a DemoMessage when the file cannot be
// written.
void SaveFramePng(const std::string& path, int width, int height);
