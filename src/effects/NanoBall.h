#pragma once

#include <array>
#include <memory>

#include "gfx/Gl.h"
#include "gfx/Texture.h"
#include "script/Effekt.h"

namespace Effekter {

// A tumbling ball of 512 textured spikes, lit mainly by specular highlights,
// in front of a backdrop that pulses with the beat and fades out over the
// last seven seconds. A strong beat drops the ball below the screen; it
// rises again at ten units a second. It slides in from the right over the
// first half second of its window.
class NanoBall : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 3> pictureFiles{
        "data/nanoball/zoomer1.jpg", "data/nanoball/flare.jpg", "data/nanoball/bg.jpg"};

    NanoBall(std::uint32_t startTime, std::uint32_t endTime);

    // The light's position and colours and the material's reflection.
    void RegisterTweaks() override;

    void Draw(std::uint32_t time, float beat) override;

    struct QuadricDeleter {
        void operator()(GLUquadric* quadric) const;
    };

    std::unique_ptr<GLUquadric, QuadricDeleter> quadric;
    CTextureFreeImage spikeTexture;
    CTextureFreeImage flareTexture;
    CTextureFreeImage backgroundTexture;
    std::uint32_t lastTrigger = 0;
    // The light, as the tweak panel edits it; GL_LIGHT1 keeps its values.
    std::array<GLfloat, 4> lightAmbient{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<GLfloat, 4> lightDiffuse{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<GLfloat, 4> lightSpecular{10.0f, 10.0f, 10.0f, 1.0f};
    std::array<GLfloat, 4> materialSpecular{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<GLfloat, 4> lightPosition{0.0f, -8.0f, 32.0f, 1.0f};

private:
    void DrawBackground(std::uint32_t time, float beat) const;
    void SetUpLight() const;
    void DrawBall(std::uint32_t time) const;
};

}  // namespace Effekter
