#include "AssetList.h"

#include "model/Models.h"
#include "picture/JpegFile.h"
#include "music/OggVorbisFile.h"
#include "music/Track.h"
#include "picture/Pictures.h"

const std::vector<PictureAsset>& PictureAssets()
{
    static const std::vector<PictureAsset> assets{
        {"overlay/loader.jpg", Pictures::Loader},
        {"pictures/kestrova.jpg", Pictures::TitleCard},
        {"pictures/signal.jpg", Pictures::SignalCard},
        {"pictures/echo.jpg", Pictures::EchoCard},
        {"pictures/northern.jpg", Pictures::NorthernLights},
        {"pictures/horizon.jpg", Pictures::GridHorizon},
        {"pictures/sun.jpg", Pictures::SunOverWater},
    };
    return assets;
}

const std::vector<ModelAsset>& ModelAssets()
{
    static const std::vector<ModelAsset> assets{
        {"rubber/simple.3ds", Models::TorusKnot},
        {"misc/simple.3ds", Models::TwistedRing},
    };
    return assets;
}

void WritePicture(const PictureAsset& asset, const std::filesystem::path& dataFolder)
{
    const std::filesystem::path path = dataFolder / asset.file;
    std::filesystem::create_directories(path.parent_path());
    SaveJpeg(asset.paint(), path);
}

void WriteModel(const ModelAsset& asset, const std::filesystem::path& dataFolder)
{
    const std::filesystem::path path = dataFolder / asset.file;
    std::filesystem::create_directories(path.parent_path());
    Save3ds(asset.build(), path);
}

void WriteMusic(const std::filesystem::path& dataFolder)
{
    const std::filesystem::path path = dataFolder / musicAsset;
    std::filesystem::create_directories(path.parent_path());
    SaveOggVorbis(SynthesiseWholeTrack(), path);
}
