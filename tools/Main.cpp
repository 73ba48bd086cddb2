#include <cstdio>
#include <exception>
#include <filesystem>
#include <string_view>

#include "AssetList.h"

// Makes every picture, model and the music of the show into the given data
// folder, or, with --icons, the program's icons into the given folder.
int main(int argc, char** argv)
{
    const bool icons = argc == 3 && std::string_view(argv[1]) == "--icons";
    if (argc != 2 && !icons) {
        std::fprintf(stderr, "usage: kestrova-assets OUTPUT_DATA_DIR\n       kestrova-assets --icons OUTPUT_ICON_DIR\n");
        return 2;
    }
    try {
        if (icons) {
            WriteIcons(argv[2]);
            return 0;
        }
        const std::filesystem::path dataFolder = argv[1];
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
