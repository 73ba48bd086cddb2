#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "gfx/Gl.h"
#include "music/DecodedMusic.h"
#include "music/MusicHearing.h"

// The frame an author's shader is drawn in.
struct FrameMoment {
    std::uint32_t time = 0;     // music time, ms
    double frameSeconds = 0.0;  // since the frame before: measured while playing, 1 / fps offline
    long frame = 0;             // frames drawn in this run before this one
};

// What every shader an author wrote may read besides its own uniforms,
// under the names Bonzomatic and Shadertoy give them: the music time and
// frame, the window's size, the music's spectra and waveform at the frame's
// music time, and the frame shown before. One set serves the whole run:
// the frame loop says which frame is drawn, each program's inputs set what
// that program declares. Textures are made, filled and the frame kept only
// for the inputs that a program being drawn reads.
class ShaderInputs {
public:
    // Texture units of the inputs; unit 0 stays the effect's picture.
    enum Unit : GLint { fftUnit = 1, fftSmoothedUnit, fftIntegratedUnit, previousFrameUnit, musicChannelUnit, unitsUsed };

    // Every name set here, which tracks leave to the inputs.
    static std::span<const std::string_view> Names();

    ShaderInputs();
    ~ShaderInputs();
    ShaderInputs(const ShaderInputs&) = delete;
    ShaderInputs& operator=(const ShaderInputs&) = delete;

    // The music the shaders hear, once it is decoded; without it the music's
    // inputs stay silent.
    void SetMusic(std::shared_ptr<const DecodedMusic> music);

    // Before the frame's effects draw.
    void BeginFrame(const FrameMoment& moment);
    // After they have drawn, before anything that is not the show (the
    // panel): keeps the frame when a program drawn in it reads the frame
    // before.
    void EndFrame();

    const FrameMoment& Moment() const { return moment; }
    float MusicSeconds() const { return static_cast<float>(moment.time / 1000.0); }
    float SampleRate() const;
    const std::array<float, 4>& Date() const { return date; }

    // Called by a program's inputs as it draws: the textures it reads, filled
    // for this frame, and bound on their units.
    void BindMusic(unsigned needs);
    void BindPreviousFrame();

    // What the programs alive may need, so that one analysis serves them all.
    void AddNeeds(unsigned needs);
    void RemoveNeeds(unsigned needs);

private:
    // What the programs alive need of the music.
    unsigned Needs() const;
    void FillMusic();
    // Binds a texture of the music on its unit, made the first time.
    void BindMusicTexture(std::size_t kind);
    // The texture, made and filled by make the first time.
    GLuint Texture(std::optional<GLuint>& texture, GLenum target, void (*make)());

    std::shared_ptr<const DecodedMusic> music;
    std::unique_ptr<MusicHearing> hearing;
    std::array<int, 4> needCounts{};  // programs alive needing each of MusicHearing's needs
    FrameMoment moment;
    std::array<float, 4> date{};  // the run's start, its seconds moving on with the music
    bool musicFilled = false;
    bool previousFrameRead = false;
    std::array<std::optional<GLuint>, 4> musicTextures;  // the spectrum, smoothed, integrated, the channel
    std::optional<GLuint> previousFrameTexture;
    std::optional<GLuint> frameBuffer;  // the frame on its way to the texture
    int previousWidth = 0;
    int previousHeight = 0;
};

// The inputs one program declares, found once when it is built; set with
// the program bound, in the effect's draw. A program that declares none is
// never touched.
class ProgramInputs {
public:
    // No shared inputs (a run without them): nothing is set.
    ProgramInputs(GLuint program, ShaderInputs* shared);
    ~ProgramInputs();
    ProgramInputs(const ProgramInputs&) = delete;
    ProgramInputs& operator=(const ProgramInputs&) = delete;

    // Unbinds the input textures from their units when it goes, leaving
    // unit 0 active.
    class Bound {
    public:
        explicit Bound(bool texturesBound) : texturesBound(texturesBound) {}
        ~Bound();
        Bound(const Bound&) = delete;
        Bound& operator=(const Bound&) = delete;

    private:
        bool texturesBound;
    };

    // Sets the declared inputs for the frame being drawn; allocates nothing.
    [[nodiscard]] Bound Apply();

    bool Any() const { return !declared.empty(); }

private:
    struct Declared {
        int input;
        GLint location;
        GLenum type;
        GLint size;
    };

    ShaderInputs* shared;
    std::vector<Declared> declared;
    unsigned musicNeeds = 0;
    bool readsPreviousFrame = false;
};
