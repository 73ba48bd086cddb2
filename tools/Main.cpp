#include <cstdio>
#include <exception>
#include <filesystem>

#include "AssetList.h"

// Makes every picture, model and the music of the show into the given data folder.
int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kestrova-assets OUTPUT_DATA_DIR\n");
        return 2;
    }
    const std::filesystem::path dataFolder = argv[1];
    try {
        for (const PictureAsset& asset : PictureAssets()) {
            WritePicture(asset, dataFolder);
            std::printf("kestrova-assets: %s\n", asset.file.c_str());
        }
        for (const ModelAsset& asset : ModelAssets()) {
            WriteModel(asset, dataFolder);
            std::printf("kestrova-assets: %s\n", asset.file.c_str());
        }
        WriteMusic(dataFolder);
        std::printf("kestrova-assets: %s\n", musicAsset.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kestrova-assets: %s\n", error.what());
        return 1;
    }
    return 0;
}
