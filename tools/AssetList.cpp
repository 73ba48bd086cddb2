#include "AssetList.h"

#include "picture/JpegFile.h"
#include "music/OggVorbisFile.h"
#include "music/Track.h"
#include "picture/EffectPictures.h"
#include "picture/Pictures.h"

const std::vector<PictureAsset>& PictureAssets()
{
    static const std::vector<PictureAsset> assets = [] {
        std::vector<PictureAsset> all{
            {"overlay/loader.jpg", Pictures::Loader},
            {"pictures/kestrova.jpg", Pictures::TitleCard},
            {"pictures/signal.jpg", Pictures::SignalCard},
            {"pictures/echo.jpg", Pictures::EchoCard},
            {"pictures/northern.jpg", Pictures::NorthernLights},
            {"pictures/horizon.jpg", Pictures::GridHorizon},
            {"pictures/sun.jpg", Pictures::SunOverWater},
        };
        const std::vector<PictureAsset> effects = EffectPictures::Assets();
        all.insert(all.end(), effects.begin(), effects.end());
        return all;
    }();
    return assets;
}

void WritePicture(const PictureAsset& asset, const std::filesystem::path& dataFolder)
{
    const std::filesystem::path path = dataFolder / asset.file;
    std::filesystem::create_directories(path.parent_path());
    SaveJpeg(asset.paint(), path);
}

void WriteMusic(const std::filesystem::path& dataFolder)
{
    const std::filesystem::path path = dataFolder / musicAsset;
    std::filesystem::create_directories(path.parent_path());
    SaveOggVorbis(SynthesiseWholeTrack(), path);
}
