#pragma once

#include <array>
#include <memory>

#include "gfx/Quad.h"
#include "gfx/RenderTarget.h"
#include "gfx/ShaderProgram.h"
#include "gfx/Texture.h"
#include "model3ds/MeshDisplayList.h"
#include "script/Effekt.h"

namespace Effekter {

// A video-feedback zoomer: up to fifty times a second the previous picture
// is drawn again slightly enlarged and turned, one of four small scenes is
// drawn over it, and the result becomes the next pass's previous picture,
// so everything a scene draws trails outwards in a turning echo. Every
// frame shows it through a shader, under a border. Every five seconds a
// scene is picked at random and fades in.
class ChaosZoomer : public Effekt {
public:
    // The pictures it loads, in the order it loads them (the loader decodes
    // them ahead).
    static constexpr std::array<const char*, 8> pictureFiles{
        "data/misc/blomster.jpg", "data/misc/sesk.jpg", "data/misc/mig.jpg", "data/misc/tolvik.jpg",
        "data/misc/bust.jpg", "data/misc/env.jpg", "data/misc/border.jpg", "data/misc/twist.jpg"};

    enum Scene : int { FlowerTunnel, Picture, Mesh, Twist };

    // The scene being drawn, shared by every ChaosZoomer of the show.
    static inline int scene = Twist;

    ChaosZoomer(std::uint32_t startTime, std::uint32_t endTime);

    // "ObjPos" (the mesh scene sets it anew every frame), "FogNear", "FogFar".
    void RegisterTweaks() override;

    void Draw(std::uint32_t time, float beat) override;

    void DrawFlowerTunnel(std::uint32_t time, float beat);
    void DrawPicture(std::uint32_t time, float beat);
    void DrawMesh(std::uint32_t time, float beat);
    void DrawTwist(std::uint32_t time, float beat);

    CTextureFreeImage flowerTexture;
    // sesk, mig, tolvik and bust, in the order they are loaded.
    std::array<CTextureFreeImage, 4> pictures;
    Vector3 ObjPos;
    std::uint32_t lastSwitch = 0;
    MeshDisplayList mesh;
    CTextureFreeImage envTexture;
    CTextureFreeImage borderTexture;
    CTextureFreeImage twistTexture;
    ShaderProgram splitShader;
    int switchCount = 0;
    std::uint32_t lastFeedback = 0;
    std::unique_ptr<RenderTarget> composeTarget;
    std::unique_ptr<RenderTarget> historyTarget;
    float FogNear = 300.0f;
    float FogFar = 400.0f;
    GLint timeLocation;
    GLint beatLocation;

private:
    // How far the current scene has faded in, 0 to 1 over half a second.
    float FadeIn(std::uint32_t time) const;
    void FeedbackPass(std::uint32_t time, float beat);
    void DrawScene(std::uint32_t time, float beat);
    void Display(std::uint32_t time, float beat);
};

}  // namespace Effekter
