#include "gfx/ShaderInputs.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <ctime>
#include <string>

#include "core/DebugOutput.h"
#include "core/DemoMessage.h"
#include "gfx/ActiveUniforms.h"
#include "gfx/Screen.h"

namespace {

enum Input {
    globalTime,
    frameTime,
    resolution2,
    fft,
    fftSmoothed,
    fftIntegrated,
    previousFrame,
    shadertoyTime,
    timeDelta,
    frameRate,
    frameNumber,
    resolution3,
    mouse,
    dateNow,
    sampleRate,
    channelTime,
    channelResolution,
    musicChannel,
    pictureChannel,
};

struct Known {
    std::string_view name;
    Input input;
    GLenum type;  // as GL reports it; frame numbers may also be floats
};

constexpr std::array<Known, 22> known{{
    {"fGlobalTime", globalTime, GL_FLOAT},
    {"fFrameTime", frameTime, GL_FLOAT},
    {"v2Resolution", resolution2, GL_FLOAT_VEC2},
    {"texFFT", fft, GL_SAMPLER_1D},
    {"texFFTSmoothed", fftSmoothed, GL_SAMPLER_1D},
    {"texFFTIntegrated", fftIntegrated, GL_SAMPLER_1D},
    {"texPreviousFrame", previousFrame, GL_SAMPLER_2D},
    {"iTime", shadertoyTime, GL_FLOAT},
    {"iGlobalTime", shadertoyTime, GL_FLOAT},  // Shadertoy's older name
    {"iTimeDelta", timeDelta, GL_FLOAT},
    {"iFrameRate", frameRate, GL_FLOAT},
    {"iFrame", frameNumber, GL_INT},
    {"iResolution", resolution3, GL_FLOAT_VEC3},
    {"iMouse", mouse, GL_FLOAT_VEC4},
    {"iDate", dateNow, GL_FLOAT_VEC4},
    {"iSampleRate", sampleRate, GL_FLOAT},
    {"iChannelTime", channelTime, GL_FLOAT},
    {"iChannelResolution", channelResolution, GL_FLOAT_VEC3},
    {"iChannel0", musicChannel, GL_SAMPLER_2D},
    {"iChannel1", pictureChannel, GL_SAMPLER_2D},
    {"iChannel2", pictureChannel, GL_SAMPLER_2D},
    {"iChannel3", pictureChannel, GL_SAMPLER_2D},
}};

constexpr std::array<std::string_view, known.size()> KnownNames()
{
    std::array<std::string_view, known.size()> names{};
    for (std::size_t index = 0; index < known.size(); ++index) {
        names[index] = known[index].name;
    }
    return names;
}
constexpr std::array<std::string_view, known.size()> knownNames = KnownNames();

unsigned MusicNeedOf(Input input)
{
    switch (input) {
    case fft: return MusicHearing::NeedSpectrum;
    case fftSmoothed: return MusicHearing::NeedSmoothed;
    case fftIntegrated: return MusicHearing::NeedIntegrated;
    case musicChannel: return MusicHearing::NeedChannel;
    default: return 0;
    }
}

// The date the run started: year, month from 0, day and the seconds of the day.
std::array<float, 4> DateNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {static_cast<float>(local.tm_year + 1900), static_cast<float>(local.tm_mon), static_cast<float>(local.tm_mday),
            static_cast<float>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec)};
}

bool FloatTextures()
{
    return GLEW_VERSION_3_0 != 0;
}

// A texture of one row of floats (the spectra); as bytes where the driver
// has no float textures.
void MakeSpectrumTexture()
{
    const std::vector<float> silence(MusicHearing::spectrumBins, 0.0f);
    glTexImage1D(GL_TEXTURE_1D, 0, FloatTextures() ? GL_R32F : GL_LUMINANCE, MusicHearing::spectrumBins, 0,
                 FloatTextures() ? GL_RED : GL_LUMINANCE, GL_FLOAT, silence.data());
}

void MakeMusicChannelTexture()
{
    std::vector<std::uint8_t> silence(2 * MusicHearing::channelWidth, 0);
    std::fill(silence.begin() + MusicHearing::channelWidth, silence.end(), 128);
    glTexImage2D(GL_TEXTURE_2D, 0, FloatTextures() ? GL_R8 : GL_LUMINANCE8, MusicHearing::channelWidth, 2, 0,
                 FloatTextures() ? GL_RED : GL_LUMINANCE, GL_UNSIGNED_BYTE, silence.data());
}

void UploadSpectrum(std::span<const float, MusicHearing::spectrumBins> bins)
{
    glTexSubImage1D(GL_TEXTURE_1D, 0, 0, MusicHearing::spectrumBins, FloatTextures() ? GL_RED : GL_LUMINANCE, GL_FLOAT,
                    bins.data());
}

void UploadChannelRow(int row, std::span<const std::uint8_t, MusicHearing::channelWidth> bytes)
{
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, row, MusicHearing::channelWidth, 1, FloatTextures() ? GL_RED : GL_LUMINANCE,
                    GL_UNSIGNED_BYTE, bytes.data());
}

// Where each texture of the music lies, what makes it, and which of the
// analysis's needs fills it; in the order of those needs' bits.
struct MusicTextureKind {
    unsigned need;
    GLint unit;
    GLenum target;
    void (*make)();
};
constexpr std::array<MusicTextureKind, 4> musicTextureKinds{{
    {MusicHearing::NeedSpectrum, ShaderInputs::fftUnit, GL_TEXTURE_1D, MakeSpectrumTexture},
    {MusicHearing::NeedSmoothed, ShaderInputs::fftSmoothedUnit, GL_TEXTURE_1D, MakeSpectrumTexture},
    {MusicHearing::NeedIntegrated, ShaderInputs::fftIntegratedUnit, GL_TEXTURE_1D, MakeSpectrumTexture},
    {MusicHearing::NeedChannel, ShaderInputs::musicChannelUnit, GL_TEXTURE_2D, MakeMusicChannelTexture},
}};

const char* TypeName(GLenum type)
{
    switch (type) {
    case GL_FLOAT: return "float";
    case GL_INT: return "int";
    case GL_FLOAT_VEC2: return "vec2";
    case GL_FLOAT_VEC3: return "vec3";
    case GL_FLOAT_VEC4: return "vec4";
    case GL_SAMPLER_1D: return "sampler1D";
    case GL_SAMPLER_2D: return "sampler2D";
    default: return "another type";
    }
}

}  // namespace

std::span<const std::string_view> ShaderInputs::Names()
{
    return knownNames;
}

ShaderInputs::ShaderInputs() : date(DateNow()) {}

ShaderInputs::~ShaderInputs()
{
    for (const std::optional<GLuint>& texture : musicTextures) {
        if (texture) {
            glDeleteTextures(1, &*texture);
        }
    }
    if (previousFrameTexture) {
        glDeleteTextures(1, &*previousFrameTexture);
    }
    if (frameBuffer) {
        glDeleteBuffers(1, &*frameBuffer);
    }
}

void ShaderInputs::SetMusic(std::shared_ptr<const DecodedMusic> decoded)
{
    music = std::move(decoded);
    hearing = std::make_unique<MusicHearing>(music);
    // The smoothed values at a time are made by stepping through the music
    // from its start: done once here, for the shaders of the show that read
    // them, a seek later never steps through more than a second of it.
    const unsigned stepped = MusicHearing::NeedSmoothed | MusicHearing::NeedIntegrated | MusicHearing::NeedChannel;
    if ((Needs() & stepped) != 0) {
        hearing->MoveTo(std::nextafter(music->Seconds(), 0.0), Needs());
    }
}

unsigned ShaderInputs::Needs() const
{
    unsigned needs = 0;
    for (std::size_t bit = 0; bit < needCounts.size(); ++bit) {
        needs |= needCounts[bit] > 0 ? 1u << bit : 0u;
    }
    return needs;
}

float ShaderInputs::SampleRate() const
{
    return music ? static_cast<float>(music->SampleRate()) : 0.0f;
}

void ShaderInputs::BeginFrame(const FrameMoment& frame)
{
    moment = frame;
    musicFilled = false;
    previousFrameRead = false;
}

void ShaderInputs::EndFrame()
{
    if (!previousFrameRead) {
        return;
    }
    glActiveTexture(GL_TEXTURE0 + previousFrameUnit);
    glBindTexture(GL_TEXTURE_2D, *previousFrameTexture);
    if (frameBuffer) {
        // Read in the window's own order of colours, the frame passes through
        // a pixel buffer: two plain copies, where a copy between them would
        // draw the frame anew through the driver's shaders.
        glBindBuffer(GL_PIXEL_PACK_BUFFER, *frameBuffer);
        glReadPixels(0, 0, previousWidth, previousHeight, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, *frameBuffer);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, previousWidth, previousHeight, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    } else {
        glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, previousWidth, previousHeight);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
}

void ShaderInputs::AddNeeds(unsigned needs)
{
    for (std::size_t bit = 0; bit < needCounts.size(); ++bit) {
        needCounts[bit] += (needs >> bit) & 1u;
    }
}

void ShaderInputs::RemoveNeeds(unsigned needs)
{
    for (std::size_t bit = 0; bit < needCounts.size(); ++bit) {
        needCounts[bit] -= (needs >> bit) & 1u;
    }
}

GLuint ShaderInputs::Texture(std::optional<GLuint>& texture, GLenum target, void (*make)())
{
    if (!texture) {
        GLuint name = 0;
        glGenTextures(1, &name);
        texture = name;
        glBindTexture(target, name);
        glTexParameteri(target, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(target, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        make();
    }
    return *texture;
}

// The analysis serves every program alive at once, so that a frame makes it
// one time however many programs read it.
void ShaderInputs::FillMusic()
{
    musicFilled = true;
    if (!hearing) {
        return;
    }
    const unsigned needs = Needs();
    hearing->MoveTo(moment.time / 1000.0, needs);
    for (std::size_t kind = 0; kind < musicTextureKinds.size(); ++kind) {
        if ((needs & musicTextureKinds[kind].need) == 0) {
            continue;
        }
        BindMusicTexture(kind);
        switch (musicTextureKinds[kind].need) {
        case MusicHearing::NeedSpectrum: UploadSpectrum(hearing->Spectrum()); break;
        case MusicHearing::NeedSmoothed: UploadSpectrum(hearing->SmoothedSpectrum()); break;
        case MusicHearing::NeedIntegrated: UploadSpectrum(hearing->IntegratedSpectrum()); break;
        default:
            UploadChannelRow(0, hearing->ChannelSpectrum());
            UploadChannelRow(1, hearing->ChannelWave());
            break;
        }
    }
}

void ShaderInputs::BindMusicTexture(std::size_t kind)
{
    const MusicTextureKind& texture = musicTextureKinds[kind];
    glActiveTexture(GL_TEXTURE0 + texture.unit);
    glBindTexture(texture.target, Texture(musicTextures[kind], texture.target, texture.make));
}

void ShaderInputs::BindMusic(unsigned needs)
{
    if (!musicFilled) {
        FillMusic();
    }
    for (std::size_t kind = 0; kind < musicTextureKinds.size(); ++kind) {
        if ((needs & musicTextureKinds[kind].need) != 0) {
            BindMusicTexture(kind);
        }
    }
    glActiveTexture(GL_TEXTURE0);
}

void ShaderInputs::BindPreviousFrame()
{
    previousFrameRead = true;
    glActiveTexture(GL_TEXTURE0 + previousFrameUnit);
    glBindTexture(GL_TEXTURE_2D, Texture(previousFrameTexture, GL_TEXTURE_2D, [] {}));
    if (previousWidth != screenWidth || previousHeight != screenHeight) {
        // Black until a frame has been shown.
        previousWidth = screenWidth;
        previousHeight = screenHeight;
        const std::size_t bytes = static_cast<std::size_t>(previousWidth) * previousHeight * 4;
        const std::vector<std::uint8_t> black(bytes, 0);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, previousWidth, previousHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE, black.data());
        if (GLEW_VERSION_2_1) {  // pixel buffer objects
            if (!frameBuffer) {
                GLuint buffer = 0;
                glGenBuffers(1, &buffer);
                frameBuffer = buffer;
            }
            glBindBuffer(GL_PIXEL_PACK_BUFFER, *frameBuffer);
            glBufferData(GL_PIXEL_PACK_BUFFER, static_cast<GLsizeiptr>(bytes), nullptr, GL_STREAM_COPY);
            glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
        }
    }
    glActiveTexture(GL_TEXTURE0);
}

ProgramInputs::ProgramInputs(GLuint program, ShaderInputs* shared) : shared(shared)
{
    if (program == 0 || shared == nullptr) {
        return;
    }
    for (const ActiveUniform& active : ActiveUniforms(program)) {
        std::string_view found = active.name;
        const GLenum type = active.type;
        if (found.size() > 3 && found.substr(found.size() - 3) == "[0]") {
            found.remove_suffix(3);  // an array, by its first element
        }
        const auto match = std::find_if(known.begin(), known.end(), [&](const Known& entry) { return entry.name == found; });
        if (match == known.end()) {
            continue;
        }
        const bool frameAsFloat = match->input == frameNumber && type == GL_FLOAT;
        if (type != match->type && !frameAsFloat) {
            DebugOutput(FormatText("The shader's %s is a %s, where Kestrova gives a %s: it is left as it is\n",
                                   std::string(found).c_str(), TypeName(type), TypeName(match->type)));
            continue;
        }
        declared.push_back({match->input, glGetUniformLocation(program, std::string(found).c_str()), type, active.size});
        musicNeeds |= MusicNeedOf(match->input);
        readsPreviousFrame = readsPreviousFrame || match->input == previousFrame;
    }
    shared->AddNeeds(musicNeeds);
}

ProgramInputs::~ProgramInputs()
{
    if (shared != nullptr) {
        shared->RemoveNeeds(musicNeeds);
    }
}

ProgramInputs::Bound ProgramInputs::Apply()
{
    if (declared.empty()) {
        return Bound(false);
    }
    const FrameMoment& moment = shared->Moment();
    const float seconds = shared->MusicSeconds();
    const float frameSeconds = static_cast<float>(moment.frameSeconds);
    const float width = static_cast<float>(screenWidth);
    const float height = static_cast<float>(screenHeight);
    static constexpr std::array<float, 12> channelResolutions{static_cast<float>(MusicHearing::channelWidth), 2.0f, 1.0f};
    for (const Declared& input : declared) {
        switch (input.input) {
        case globalTime:
        case shadertoyTime: glUniform1f(input.location, seconds); break;
        case frameTime:
        case timeDelta: glUniform1f(input.location, frameSeconds); break;
        case frameRate:
            glUniform1f(input.location, moment.frameSeconds > 0.0 ? static_cast<float>(1.0 / moment.frameSeconds) : 0.0f);
            break;
        case frameNumber:
            if (input.type == GL_INT) {
                glUniform1i(input.location, static_cast<GLint>(moment.frame));
            } else {
                glUniform1f(input.location, static_cast<float>(moment.frame));
            }
            break;
        case resolution2: glUniform2f(input.location, width, height); break;
        case resolution3: glUniform3f(input.location, width, height, 1.0f); break;
        case mouse: glUniform4f(input.location, 0.0f, 0.0f, 0.0f, 0.0f); break;
        case dateNow: {
            const std::array<float, 4>& date = shared->Date();
            glUniform4f(input.location, date[0], date[1], date[2], date[3] + seconds);
            break;
        }
        case sampleRate: glUniform1f(input.location, shared->SampleRate()); break;
        case channelTime: {
            const std::array<float, 4> times{seconds, 0.0f, 0.0f, 0.0f};
            glUniform1fv(input.location, std::min(input.size, 4), times.data());
            break;
        }
        case channelResolution: glUniform3fv(input.location, std::min(input.size, 4), channelResolutions.data()); break;
        case fft: glUniform1i(input.location, ShaderInputs::fftUnit); break;
        case fftSmoothed: glUniform1i(input.location, ShaderInputs::fftSmoothedUnit); break;
        case fftIntegrated: glUniform1i(input.location, ShaderInputs::fftIntegratedUnit); break;
        case previousFrame: glUniform1i(input.location, ShaderInputs::previousFrameUnit); break;
        case musicChannel: glUniform1i(input.location, ShaderInputs::musicChannelUnit); break;
        case pictureChannel: glUniform1i(input.location, 0); break;
        }
    }
    if (musicNeeds != 0) {
        shared->BindMusic(musicNeeds);
    }
    if (readsPreviousFrame) {
        shared->BindPreviousFrame();
    }
    return Bound(musicNeeds != 0 || readsPreviousFrame);
}

ProgramInputs::Bound::~Bound()
{
    if (!texturesBound) {
        return;
    }
    for (GLint unit = ShaderInputs::fftUnit; unit < ShaderInputs::unitsUsed; ++unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_1D, 0);
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    glActiveTexture(GL_TEXTURE0);
}
