#include "AssetList.h"

#include "model/Models.h"
#include "picture/JpegFile.h"
#include "picture/ModelPictures.h"
#include "music/OggVorbisFile.h"
#include "music/Track.h"
#include "picture/EffectPictures.h"
#include "picture/Pictures.h"
#include "picture/ShaderPictures.h"

const std::vector<PictureAsset>& PictureAssets()
{
    static const std::vector<PictureAsset> assets = [] {
        std::vector<PictureAsset> all{
            {"overlay/loader.jpg", Pictures::Loader},
            {"pictures/kestrova.jpg", Pictures::TitleCard},
            {"pictures/kestrova-dawn.jpg", Pictures::TitleCardAtDawn},
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
            {"rubber/env.jpg", Pictures::ChromeEnvironment},
            {"rubber/background.jpg", Pictures::RubberBackdrop},
            {"rubber/background1.jpg", Pictures::RubberBeatBackdrop},
            {"misc/env.jpg", Pictures::HorizonEnvironment},
            {"misc/border.jpg", Pictures::GlowFrame},
            {"misc/twist.jpg", Pictures::Swirl},
            {"misc/blomster.jpg", Pictures::Flower},
            {"misc/sesk.jpg", Pictures::PortraitSesk},
            {"misc/mig.jpg", Pictures::PortraitMig},
            {"misc/tolvik.jpg", Pictures::PortraitTolvik},
            {"misc/bust.jpg", Pictures::PortraitBust},
        };
        const std::vector<PictureAsset> effects = EffectPictures::Assets();
        all.insert(all.end(), effects.begin(), effects.end());
        return all;
    }();
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

void WriteIcons(const std::filesystem::path& iconFolder)
{
    const Canvas picture = Pictures::GridHorizon();
    for (const int side : iconSides) {
        const std::filesystem::path folder = iconFolder / (std::to_string(side) + "x" + std::to_string(side));
        std::filesystem::create_directories(folder);
        SaveScaledPng(picture, side, folder / "kestrova.png");
    }
}
