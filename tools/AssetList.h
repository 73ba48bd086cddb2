#pragma once

#include <filesystem>
#include <vector>

#include "picture/Canvas.h"

// Everything the generator makes, by its path under the data folder.
struct PictureAsset {
    std::filesystem::path file;
    Canvas (*paint)();
};

const std::vector<PictureAsset>& PictureAssets();

inline const std::filesystem::path musicAsset = "music/kestrova.ogg";

// Paints one picture and saves it under the data folder, making folders.
void WritePicture(const PictureAsset& asset, const std::filesystem::path& dataFolder);

// Synthesises the whole track and saves it under the data folder.
void WriteMusic(const std::filesystem::path& dataFolder);
