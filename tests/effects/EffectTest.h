#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "model3ds/ModelFiles.h"
#include "script/Effekt.h"
#include "support/DrawnCorners.h"
#include "support/Feedback.h"
#include "support/GlTestContext.h"
#include "support/ScriptFolder.h"
#include "support/ShippedData.h"
#include "support/TestPictures.h"

inline constexpr Rgba white{255, 255, 255, 255};
inline constexpr Rgba black{0, 0, 0, 255};
inline constexpr Rgba red{255, 0, 0, 255};
inline constexpr Rgba green{0, 255, 0, 255};
inline constexpr Rgba blue{0, 0, 255, 255};
inline constexpr Rgba cleared{0, 0, 0, 0};  // the frame as each test starts it

// Tests that draw an effect: the shared window, and a fresh folder as the
// working directory for the files the effect loads.
class EffectTest : public GlTest {
protected:
    // What the effect draws at a time and beat, as feedback reports it.
    static std::vector<FeedbackPolygon> Polygons(Effekt& effect, std::uint32_t time, float beat)
    {
        return CapturePolygons([&] { effect.Draw(time, beat); });
    }

    // The frame filled with one colour, as an earlier effect may leave it.
    static void Fill(Rgba colour)
    {
        glClearColor(colour.r / 255.0f, colour.g / 255.0f, colour.b / 255.0f, colour.a / 255.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    }

    // An effect built with a probe shader, which lacks uniforms the effect
    // looks for: what it says about them is put aside.
    template <class Effect, class... Arguments>
    static std::unique_ptr<Effect> Quietly(Arguments&&... arguments)
    {
        testing::internal::CaptureStderr();
        auto effect = std::make_unique<Effect>(std::forward<Arguments>(arguments)...);
        testing::internal::GetCapturedStderr();
        return effect;
    }

    // A square model facing the viewer.
    void WriteSquareModel(const std::string& path, float halfSize) const
    {
        ModelScene scene;
        scene.meshes = {SquareMesh("Square", 0.0f, 0.0f, halfSize)};
        const std::vector<std::uint8_t> bytes = Write3ds(scene);
        folder.WriteFile(path, std::string(bytes.begin(), bytes.end()));
    }

    // The rubber model's files: a chrome square of the given half size in a
    // white environment, over black backdrops, so that the screen turns
    // white wherever the model is drawn.
    void WriteRubberFiles(float halfSize) const
    {
        WriteSquareModel("data/rubber/simple.3ds", halfSize);
        WriteSolidPicture("data/rubber/env.jpg", white);
        WriteSolidPicture("data/rubber/background.jpg", black);
        WriteSolidPicture("data/rubber/background1.jpg", black);
    }

    ScriptFolder folder;
};
