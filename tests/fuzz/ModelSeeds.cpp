// Writes the show's models and a small scene with every kind of block into
// a folder, as the first inputs of the 3DS reader's fuzzing.

#include <cstdio>
#include <filesystem>

#include "AssetList.h"
#include "model3ds/ModelFiles.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: model_seeds OUTPUT_DIR\n");
        return 2;
    }
    for (const ModelAsset& asset : ModelAssets()) {
        WriteModel(asset, argv[1]);
    }
    Save3ds(SampleScene(), std::filesystem::path(argv[1]) / "sample.3ds");
    return 0;
}
