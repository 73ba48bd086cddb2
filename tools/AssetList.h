#pragma once

#include <filesystem>
#include <vector>

#include "model/Model3dsWriter.h"
#include "picture/Canvas.h"

// Everything the generator makes, by its path under the data folder.
struct PictureAsset {
    std::filesystem::path file;
    Canvas (*paint)();
};

const std::vector<PictureAsset>& PictureAssets();

struct ModelAsset {
    std::filesystem::path file;
    ModelScene (*build)();
};

const std::vector<ModelAsset>& ModelAssets();

inline const std::filesystem::path musicAsset = "music/kestrova.ogg";

// Paints one picture and saves it under the data folder, making folders.
void WritePicture(const PictureAsset& asset, const std::filesystem::path& dataFolder);

// Builds one model and saves it as a 3DS file under the data folder.
void WriteModel(const ModelAsset& asset, const std::filesystem::path& dataFolder);

// Synthesises the whole track and saves it under the data folder.
void WriteMusic(const std::filesystem::path& dataFolder);

// The program's icon, the grid horizon of the show, as SIDExSIDE/kestrova.png
// for each desktop icon size.
inline constexpr int iconSides[] = {256, 48};
void WriteIcons(const std::filesystem::path& iconFolder);
