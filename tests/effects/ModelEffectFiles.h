#pragma once

#include <filesystem>
#include <string>

#include "model3ds/ModelFiles.h"
#include "support/Pictures.h"
#include "support/ScriptFolder.h"

// The model effects' files in a test's folder: a square model facing the
// viewer, and pictures of one colour each.

inline void WriteSquareModel(const ScriptFolder& folder, const std::string& path, float halfSize)
{
    ModelScene scene;
    scene.meshes = {SquareMesh("Square", 0.0f, 0.0f, halfSize)};
    const std::vector<std::uint8_t> bytes = Write3ds(scene);
    folder.WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

inline void WritePlainPicture(const ScriptFolder& folder, const std::string& path, Rgba colour)
{
    std::filesystem::create_directories((folder.Root() / path).parent_path());
    WriteTwoBandPicture((folder.Root() / path).string(), FIF_PNG, 24, colour, colour, 16);
}

// The rubber model's files: a chrome square of the given half size in a
// white environment, over black backdrops, so that the screen turns white
// wherever the model is drawn.
inline void WriteRubberFiles(const ScriptFolder& folder, float halfSize)
{
    WriteSquareModel(folder, "data/rubber/simple.3ds", halfSize);
    WritePlainPicture(folder, "data/rubber/env.jpg", Rgba{255, 255, 255, 255});
    WritePlainPicture(folder, "data/rubber/background.jpg", Rgba{0, 0, 0, 255});
    WritePlainPicture(folder, "data/rubber/background1.jpg", Rgba{0, 0, 0, 255});
}
