#include "AssetList.h"

#include "picture/JpegFile.h"
#include "music/OggVorbisFile.h"
#include "music/Track.h"
#include "picture/Pictures.h"
#include "picture/ShaderPictures.h"

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
        {"plasma/__water.jpg", ShaderPictures::Water},
        {"housing.jpg", ShaderPictures::Housing},
        {"banger/bang.jpg", ShaderPictures::BangCard},
        {"banger/bang1.jpg", ShaderPictures::BangFlash},
        {"circles/__ring.jpg", ShaderPictures::Ring},
        {"circles/circles.jpg", ShaderPictures::ConcentricCircles},
        {"circles/text.jpg", ShaderPictures::GlowText},
        {"__grid.jpg", ShaderPictures::Grid},
        {"shadershow/ridge.jpg", ShaderPictures::NightRidge},
        {"shadershow/panels.jpg", ShaderPictures::Panels},
    };
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
