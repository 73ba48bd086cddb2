// Measures the show: how long start-up takes (and how much of it is loading
// the script's assets and decoding the music), what each script entry
// costs per frame, drawn offline with the GPU finished after every draw, and
// how fast a capture runs beside rendering alone over the same span.
#include <CLI/CLI.hpp>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <fstream>
#include <memory>
#include <numeric>
#include <vector>

#include "app/FrameLoop.h"
#include "app/MemoryReuse.h"
#include "app/OfflinePlayback.h"
#include "capture/CaptureTimeline.h"
#include "capture/VideoCapture.h"
#include "core/BeatLevel.h"
#include "core/DemoMessage.h"
#include "effects/Keywords.h"
#include "effects/ShaderShow.h"
#include "gfx/Guards.h"
#include "gfx/Quad.h"
#include "gfx/Screen.h"
#include "gfx/ShaderInputs.h"
#include "gfx/Texture.h"
#include "module/ModuleWriter.h"
#include "music/DecodedMusic.h"
#include "music/MusicDecoding.h"
#include "music/SteppedMusicStream.h"
#include "script/DemoScript.h"
#include "script/EndDemo.h"
#include "script/TweakSections.h"
#include "script/TweakTracks.h"
#include "ui/DemoWindow.h"

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// Milliseconds since the kernel started this process (at clock-tick resolution).
double MillisecondsSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Field 22, counted after the command name in parentheses (field 2).
    std::istringstream fields(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int index = 3; index <= 22; ++index) {
        fields >> field;
    }
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double started = std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    return (static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9 - started) * 1000.0;
}

// Passes the loading screen's frames on to the real window, timing each:
// what lies between two frames is the building of one entry.
class TimedLoadingWindow : public FrameWindow {
public:
    explicit TimedLoadingWindow(FrameWindow& window) : window(window), lastFrame(Clock::now()) {}

    void SwapAndPoll() override
    {
        const Clock::time_point swapStarts = Clock::now();
        window.SwapAndPoll();
        const Clock::time_point swapEnds = Clock::now();
        builds.push_back(MillisecondsBetween(lastFrame, swapStarts));
        swaps += MillisecondsBetween(swapStarts, swapEnds);
        lastFrame = swapEnds;
    }

    std::vector<double> builds;  // the first is reading the script's header and the loading picture
    double swaps = 0.0;

private:
    FrameWindow& window;
    Clock::time_point lastFrame;
};

// Where loading the script's assets went: the loading screen's frames, and
// the entries built between them, the slowest named.
void ReportLoading(const TimedLoadingWindow& loading, const EffectList& effects)
{
    const double building = std::accumulate(loading.builds.begin(), loading.builds.end(), 0.0);
    std::printf("  of which: the header and the loading picture %.1f, building %zu entries %.1f (drawing each loading "
                "frame included), showing %zu loading frames %.1f\n",
                loading.builds.empty() ? 0.0 : loading.builds.front(), effects.Size(),
                building - (loading.builds.empty() ? 0.0 : loading.builds.front()), loading.builds.size(), loading.swaps);
    std::vector<std::pair<double, std::string>> entries;
    std::size_t index = 0;
    for (const auto& effect : effects) {
        if (++index < loading.builds.size()) {
            entries.emplace_back(loading.builds[index], FormatText("%s %u", ClassName(*effect).c_str(), effect->startTime));
        }
    }
    std::sort(entries.rbegin(), entries.rend());
    std::printf("  slowest entries to build, ms:");
    for (std::size_t i = 0; i < std::min<std::size_t>(entries.size(), 6); ++i) {
        std::printf("%s %s %.1f", i == 0 ? "" : ",", entries[i].second.c_str(), entries[i].first);
    }
    std::printf("\n");
}

struct Figures {
    double mean = 0.0;
    double p95 = 0.0;
    double fragments = 0.0;   // per frame, every framebuffer counted
    double shaded = 0.0;      // fragments shaded per frame, those the depth test then drops included
    double primitives = 0.0;  // per frame, as submitted
    double cpu = 0.0;         // ms of the process's CPU time per frame, the driver's threads included
    double mainCpu = 0.0;     // ms of it on the thread that issues the draws
};

// What a draw cost the pipeline: the fragments written, and where the
// driver counts them, the fragments shaded and the primitives submitted.
class DrawCounters {
public:
    DrawCounters() : statistics(GLEW_ARB_pipeline_statistics_query != GL_FALSE) { glGenQueries(3, queries.data()); }
    ~DrawCounters() { glDeleteQueries(3, queries.data()); }
    DrawCounters(const DrawCounters&) = delete;
    DrawCounters& operator=(const DrawCounters&) = delete;

    void Begin()
    {
        glBeginQuery(GL_SAMPLES_PASSED, queries[0]);
        if (statistics) {
            glBeginQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB, queries[1]);
            glBeginQuery(GL_PRIMITIVES_SUBMITTED_ARB, queries[2]);
        }
    }

    void End()
    {
        glEndQuery(GL_SAMPLES_PASSED);
        if (statistics) {
            glEndQuery(GL_FRAGMENT_SHADER_INVOCATIONS_ARB);
            glEndQuery(GL_PRIMITIVES_SUBMITTED_ARB);
        }
    }

    // Adds the last draw's counts: fragments written, shaded, primitives.
    void AddTo(Figures& figures) const
    {
        figures.fragments += Result(0);
        figures.shaded += statistics ? Result(1) : 0.0;
        figures.primitives += statistics ? Result(2) : 0.0;
    }

private:
    double Result(int index) const
    {
        GLuint count = 0;
        glGetQueryObjectuiv(queries[static_cast<std::size_t>(index)], GL_QUERY_RESULT, &count);
        return count;
    }

    const bool statistics;
    std::array<GLuint, 3> queries{};
};

double CpuMilliseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + now.tv_nsec * 1e-6;
}

struct Layer {
    double milliseconds = 0.0;
    double shaded = 0.0;  // fragments the driver counts as shaded for it
};

// The time one full-window layer of a textured quad takes, drawn opaque:
// what a fragment costs on this machine when nothing else does.
Layer FullWindowLayer()
{
    std::vector<std::uint8_t> texels(1024 * 1024 * 4);
    for (std::size_t i = 0; i < texels.size(); ++i) {
        texels[i] = static_cast<std::uint8_t>(i * 2654435761u >> 24);
    }
    CTexture texture;
    texture.Upload({texels.data(), 1024, 1024, false, GL_RGBA});
    const OrthoScope ortho;
    const MatrixScope matrix;
    glTranslatef(0.0f, 0.0f, -2.0f);
    const TextureBinding binding(texture.textureId);
    const Quad layer(1.0f, 1.0f);
    constexpr int layers = 60;
    glFinish();
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < layers; ++i) {
        layer.Draw(1.0f, 1.0f);
        glFinish();
    }
    const double milliseconds = MillisecondsBetween(start, Clock::now()) / layers;
    DrawCounters counters;
    Figures counted;
    counters.Begin();
    layer.Draw(1.0f, 1.0f);
    counters.End();
    counters.AddTo(counted);
    return {milliseconds, counted.shaded};
}

Figures Summarise(std::vector<double> samples)
{
    if (samples.empty()) {
        return {};
    }
    std::sort(samples.begin(), samples.end());
    const double sum = std::accumulate(samples.begin(), samples.end(), 0.0);
    const std::size_t index = std::min(samples.size() - 1, static_cast<std::size_t>(0.95 * static_cast<double>(samples.size())));
    return {sum / static_cast<double>(samples.size()), samples[index]};
}

// Draws one entry alone over frames spread across its window.
Figures TimeEntry(Effekt& effect, DemoWindow& window, SteppedMusicStream& music, int frames)
{
    std::vector<double> samples;
    Figures counted;
    DrawCounters counters;
    std::array<float, spectrumBins> spectrum{};
    const double first = effect.startTime + 1.0;
    const double span = static_cast<double>(effect.endTime) - 1.0 - first;
    for (int frame = 0; frame < frames; ++frame) {
        const double time = first + span * frame / std::max(1, frames - 1);
        music.SetPosition(time / 1000.0);
        music.FillSpectrum(spectrum);
        const std::uint32_t milliseconds = MillisecondsOf(music.Position());
        if (!effect.IsActiveAt(milliseconds)) {
            continue;
        }
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glFinish();
        const double cpuStart = CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
        const double mainCpuStart = CpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
        const Clock::time_point start = Clock::now();
        counters.Begin();
        effect.Draw(milliseconds, BeatLevel(spectrum));
        counters.End();
        glFinish();
        samples.push_back(MillisecondsBetween(start, Clock::now()));
        counted.cpu += CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID) - cpuStart;
        counted.mainCpu += CpuMilliseconds(CLOCK_THREAD_CPUTIME_ID) - mainCpuStart;
        counters.AddTo(counted);
        window.SwapAndPoll();
    }
    Figures figures = Summarise(samples);
    if (!samples.empty()) {
        const double drawn = static_cast<double>(samples.size());
        figures.fragments = counted.fragments / drawn;
        figures.shaded = counted.shaded / drawn;
        figures.primitives = counted.primitives / drawn;
        figures.cpu = counted.cpu / drawn;
        figures.mainCpu = counted.mainCpu / drawn;
    }
    return figures;
}

struct CaptureSpan {
    std::uint32_t from;
    int seconds;
    int framesPerSecond;
};

// The show over the span as --render plays it (drawn and swapped, nothing
// read back), then as --capture does, into a video that is thrown away.
// Reports both frame rates and where the capture's drawing thread spends
// its time.
void CompareCapture(const EffectList& effects, DemoWindow& window, const std::shared_ptr<const DecodedMusic>& music,
                    const CaptureSpan& span)
{
    const std::uint32_t to = span.from + static_cast<std::uint32_t>(span.seconds) * 1000;
    const CaptureTimeline timeline(span.from, to, span.framesPerSecond, music->SampleRate());

    OfflinePlayback rendering(effects, window, music, span.from, span.framesPerSecond, std::nullopt);
    const Clock::time_point renderStart = Clock::now();
    for (long frame = 0; frame < timeline.Frames(); ++frame) {
        rendering.Draw(frame);
        rendering.Show();
    }
    glFinish();
    const double renderSeconds = MillisecondsBetween(renderStart, Clock::now()) / 1000.0;

    const std::string file = FormatText("/tmp/kestrova-bench-%d.mp4", static_cast<int>(getpid()));
    OfflinePlayback playback(effects, window, music, span.from, span.framesPerSecond, std::nullopt);
    double drawing = 0.0;
    double taking = 0.0;
    double showing = 0.0;
    double finishing = 0.0;
    const Clock::time_point captureStart = Clock::now();
    {
        VideoCapture capture({.path = file, .width = screenWidth, .height = screenHeight,
                              .framesPerSecond = span.framesPerSecond, .quality = 18},
                             music, timeline);
        for (long frame = 0; frame < timeline.Frames(); ++frame) {
            const Clock::time_point start = Clock::now();
            playback.Draw(frame);
            const Clock::time_point drawn = Clock::now();
            capture.AddFrame();
            const Clock::time_point taken = Clock::now();
            playback.Show();
            drawing += MillisecondsBetween(start, drawn);
            taking += MillisecondsBetween(drawn, taken);
            showing += MillisecondsBetween(taken, Clock::now());
        }
        const Clock::time_point finishStart = Clock::now();
        capture.Finish();
        finishing = MillisecondsBetween(finishStart, Clock::now());
    }
    const double captureSeconds = MillisecondsBetween(captureStart, Clock::now()) / 1000.0;
    std::remove(file.c_str());

    const double frames = static_cast<double>(timeline.Frames());
    std::printf("\nCapture at %d x %d, %d fps, music time %u-%u ms (%ld frames):\n", screenWidth, screenHeight,
                span.framesPerSecond, static_cast<unsigned>(span.from), static_cast<unsigned>(to), timeline.Frames());
    std::printf("render only %.1f fps, capture %.1f fps, ratio %.2f\n", frames / renderSeconds, frames / captureSeconds,
                renderSeconds / captureSeconds);
    // A software driver draws only when the pixels are wanted: its drawing
    // falls into the read-back.
    std::printf("capture's drawing thread per frame, ms: issuing the draw %.2f, drawing, reading back and handing "
                "over %.2f, swap %.2f; finishing the file %.0f ms\n",
                drawing / frames, taking / frames, showing / frames, finishing);
}

// An effect with as many float values as tracks are timed.
class ManyValues : public Effekt {
public:
    explicit ManyValues(std::size_t count) : Effekt(0, 1), values(count) {}

    void RegisterTweaks() override
    {
        for (std::size_t index = 0; index < values.size(); ++index) {
            tweakBar->AddFloat("v" + std::to_string(index), values[index], "v");
        }
    }
    void Draw(std::uint32_t, float) override {}

    std::vector<float> values;
};

// What the tracks cost a frame: 500 tracks of 1,000 keys, every kind of
// interpolation, written into their values as the frame loop does, over a
// minute of frames at 60 a second that crosses all their keys.
void TimeTracks()
{
    constexpr std::size_t trackCount = 500;
    constexpr int keysPerTrack = 1000;
    constexpr int frames = 3600;
    SyncTracks tracks;
    tracks.tempo = {124.0, 8};
    const double lastRow = tracks.RowAt(frames * 1000 / 60);
    EffectList effects;
    effects.Append(std::make_unique<ManyValues>(trackCount));
    const TweakTracks bound(effects, tracks);
    for (std::size_t index = 0; index < trackCount; ++index) {
        SyncTrack& track = *tracks.Driven()[index];
        for (int key = 0; key < keysPerTrack; ++key) {
            const int row = static_cast<int>(lastRow * key / keysPerTrack) + static_cast<int>(index % 3);
            track.SetKey({row, static_cast<float>((key * 37 + index) % 101), static_cast<KeyInterpolation>(key % 4)});
        }
    }
    std::vector<double> samples;
    samples.reserve(frames);
    for (int frame = 0; frame < frames; ++frame) {
        const Clock::time_point before = Clock::now();
        bound.Apply(tracks.RowAt(static_cast<std::uint32_t>(frame * 1000 / 60)));
        samples.push_back(MillisecondsBetween(before, Clock::now()));
    }
    const Figures figures = Summarise(samples);
    std::printf("Tracks: %zu of %d keys each, evaluated into their values: %.4f ms a frame (p95 %.4f ms), %d frames\n\n",
                trackCount, keysPerTrack, figures.mean, figures.p95, frames);
}

// The median of three decodings of a music file, in ms.
double MedianDecoding(const std::string& path)
{
    std::array<double, 3> times{};
    for (double& time : times) {
        const Clock::time_point before = Clock::now();
        DecodedMusic::Load(path);
        time = MillisecondsBetween(before, Clock::now());
    }
    std::sort(times.begin(), times.end());
    return times[1];
}

// Start-up decodes the music whatever its kind: the show's Ogg Vorbis file
// against a module of the same length (four channels of notes on every
// row, rendered at 48 kHz).
void TimeModuleDecoding(const std::string& oggFile, double seconds)
{
    constexpr double rowSeconds = 6 * 2.5 / 125;
    const int patterns = std::clamp(static_cast<int>(std::ceil(seconds / rowSeconds / 64)), 1, 128);
    ModuleSong song;
    song.sample = SquareWaveSample(64);
    for (int pattern = 0; pattern < patterns; ++pattern) {
        ModulePattern& added = song.patterns.emplace_back(EmptyPattern(64, 4));
        for (int row = 0; row < 64; ++row) {
            for (int channel = 0; channel < 4; ++channel) {
                added.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(channel)] = {25 + (row * 5 + channel * 7) % 48, 1, 0, 0};
            }
        }
        song.order.push_back(pattern);
    }
    char moduleFile[] = "/tmp/kestrova-bench-XXXXXX";
    const int descriptor = mkstemp(moduleFile);
    if (descriptor < 0) {
        return;
    }
    const std::vector<std::uint8_t> bytes = WriteMod(song);
    const bool written = write(descriptor, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    close(descriptor);
    if (written) {
        const double ogg = MedianDecoding(oggFile);
        const double module = MedianDecoding(moduleFile);
        std::printf("Music decoding, median of three: the show's Ogg Vorbis file (%.1f s) %.1f ms; a four-channel MOD of "
                    "%.1f s %.1f ms\n\n",
                    seconds, ogg, patterns * 64 * rowSeconds, module);
    }
    unlink(moduleFile);
}

// A shader that declares every input, so that all are made each frame.
constexpr const char* everyInputShader =
    "#version 410 core\n"
    "uniform float fGlobalTime; uniform float fFrameTime; uniform vec2 v2Resolution;\n"
    "uniform sampler1D texFFT; uniform sampler1D texFFTSmoothed; uniform sampler1D texFFTIntegrated;\n"
    "uniform sampler2D texPreviousFrame; uniform sampler2D iChannel0;\n"
    "uniform float iTime; uniform int iFrame; uniform vec3 iResolution; uniform vec4 iDate;\n"
    "in vec2 out_texcoord; layout(location = 0) out vec4 out_color;\n"
    "void main() {\n"
    "  float heard = texture(texFFT, 0.1).r + texture(texFFTSmoothed, 0.1).r + texture(texFFTIntegrated, 0.1).r;\n"
    "  heard += texture(iChannel0, vec2(0.1, 0.25)).x + texture(texPreviousFrame, out_texcoord).r;\n"
    "  heard += fGlobalTime + fFrameTime + v2Resolution.x + iTime + float(iFrame) + iResolution.y + iDate.w;\n"
    "  out_color = vec4(vec3(fract(heard)), 1.0);\n"
    "}\n";

// What the shader inputs cost a frame, apart from the shader: the music's
// analysis and the textures it fills, and the copy of the frame for the
// next; with the driver finished before and after, so that its work counts
// where it is done. Then what a seek costs.
void TimeShaderInputs(const std::shared_ptr<const DecodedMusic>& music, int width, int height)
{
    constexpr const char* file = "kestrova-bench-inputs.fs";
    std::FILE* shader = std::fopen(file, "w");
    if (shader == nullptr) {
        throw DemoMessage("Unable to write the benchmark's shader in the data folder");
    }
    std::fputs(everyInputShader, shader);
    std::fclose(shader);
    ShaderInputs inputs;
    Effekter::ShaderShow show(0, 0xFFFFFFFFu, file, "", &inputs);
    std::remove(file);
    const Clock::time_point before = Clock::now();
    inputs.SetMusic(music);
    const double warmUp = MillisecondsBetween(before, Clock::now());

    constexpr int frames = 600;
    std::vector<double> heard;    // the music's analysis, the other values and the textures filled
    std::vector<double> copied;   // the frame kept for the next
    std::vector<double> sought;   // all of it, after a jump anywhere in the music
    for (int frame = 0; frame < 2 * frames; ++frame) {
        // Played at 60 frames a second from 20 s, then jumping about the music.
        const bool seek = frame >= frames;
        const double seconds = seek ? std::fmod(frame * 7.31, music->Seconds()) : 20.0 + frame / 60.0;
        glFinish();
        const Clock::time_point start = Clock::now();
        inputs.BeginFrame({.time = static_cast<std::uint32_t>(seconds * 1000.0), .frameSeconds = 1.0 / 60.0, .frame = frame});
        glUseProgram(show.shader.program);
        {
            const ProgramInputs::Bound bound = show.inputs.Apply();
            glFinish();
            const Clock::time_point applied = Clock::now();
            inputs.EndFrame();
            glFinish();
            const Clock::time_point ended = Clock::now();
            if (seek) {
                sought.push_back(MillisecondsBetween(start, ended));
            } else {
                heard.push_back(MillisecondsBetween(start, applied));
                copied.push_back(MillisecondsBetween(applied, ended));
            }
        }
        glUseProgram(0);
    }
    const Figures hearing = Summarise(heard);
    const Figures copying = Summarise(copied);
    const Figures seeking = Summarise(sought);
    std::printf("Shader inputs at %d x %d, every one read, a frame played: %.3f ms for the music and the other values "
                "(p95 %.3f) and %.3f ms to keep the frame for texPreviousFrame (p95 %.3f); a frame after a seek, all "
                "of it, %.3f ms (p95 %.3f); once, %.0f ms to make the spectra's checkpoints for %.0f s of music\n\n",
                width, height, hearing.mean, hearing.p95, copying.mean, copying.p95, seeking.mean, seeking.p95, warmUp,
                music->Seconds());
}

int Bench(const std::string& dataDirectory, int width, int height, int frames, int onlyEntry, const CaptureSpan& captureSpan,
          bool startOnly)
{
    const Clock::time_point mainEntered = Clock::now();
    const double processStartToMain = MillisecondsSinceProcessStart();
    if (chdir(dataDirectory.c_str()) != 0) {
        throw DemoMessage(FormatText("Unable to enter %s", dataDirectory.c_str()));
    }

    DemoWindow window;
    window.Open(width, height, 32, false, {.hidden = true});
    if (glewInit() != GLEW_OK && !GLEW_VERSION_2_0) {
        throw DemoMessage("Opengl 2.0 not supported");
    }
    RestoreScreenProjection();
    const CEnabler texturing(GL_TEXTURE_2D);
    const Clock::time_point windowOpen = Clock::now();

    EffectList effects;
    std::string musicFile;
    std::uint32_t startOffset = 0;
    // As the program starts: the music decodes while the show is built.
    MusicDecoding decoding;
    TimedLoadingWindow loading(window);
    DemoScript::Load(DemoKeywords(), effects, loading, musicFile, startOffset, nullptr,
                     [&decoding](const std::string& file) { decoding.Start(file); });
    const Clock::time_point scriptLoaded = Clock::now();

    const std::shared_ptr<const DecodedMusic> decoded = decoding.Take(musicFile);
    SteppedMusicStream music(decoded);
    music.Play();
    music.SetPosition(startOffset);
    const Clock::time_point musicDecoded = Clock::now();

    FrameLoop loop(effects, window, music);
    loop.DrawFrame();
    glFinish();
    window.SwapAndPoll();
    const Clock::time_point firstFrame = Clock::now();

    std::printf("Start-up at %d x %d, ms: window and GL %.1f, script and assets %.1f (the music decoding meanwhile), "
                "waiting for the music %.1f, first frame %.1f\n",
                width, height, MillisecondsBetween(mainEntered, windowOpen), MillisecondsBetween(windowOpen, scriptLoaded),
                MillisecondsBetween(scriptLoaded, musicDecoded), MillisecondsBetween(musicDecoded, firstFrame));
    ReportLoading(loading, effects);
    std::printf("Process start to first frame: %.1f ms\n\n", processStartToMain + MillisecondsBetween(mainEntered, firstFrame));
    if (startOnly) {
        return 0;
    }
    TimeTracks();
    TimeShaderInputs(decoded, width, height);
    TimeModuleDecoding(musicFile, decoded->Seconds());

    // The floor: what the fragments an entry draws cost at the rate of a
    // plain full-window layer; the ratio says how far above it the entry is.
    const Layer layer = FullWindowLayer();
    const double perFragment = layer.milliseconds / (static_cast<double>(width) * height);
    std::printf("One full-window textured layer: %.3f ms (%.2f ns a fragment)", layer.milliseconds, perFragment * 1e6);
    if (layer.shaded > 0.0) {
        std::printf(", %.2f M fragments shaded", layer.shaded / 1e6);
    }
    std::printf("\n\n");
    std::printf("Draw time per entry, %d frames across each window, ms; fragments written per frame in millions;\n"
                "the floor is what they cost at the layer's rate, the ratio the time over it. Where the rest goes:\n"
                "the fragments shaded (the depth test's losers included) and the time over what they cost at that\n"
                "rate; the primitives submitted in thousands; the process's CPU time, the driver's threads\n"
                "included, and the part of it on the thread that issues the draws:\n",
                frames);
    const char* const heading = "%3s  %-28s %16s %9s %9s %7s %8s %7s %8s %7s %7s %8s %8s\n";
    const char* const dash = "-";
    std::printf(heading, "#", "effect", "window", "mean", "p95", "Mfrag", "floor", "ratio", "Mshaded", "ratio", "kprim",
                "cpu", "main");
    int index = 0;
    for (const auto& effect : effects) {
        ++index;
        if (onlyEntry != 0 && index != onlyEntry) {
            continue;
        }
        const std::string window_ = FormatText("%u-%u", effect->startTime, effect->endTime);
        if (dynamic_cast<const Effekter::EndDemo*>(effect.get()) != nullptr) {
            std::printf(heading, std::to_string(index).c_str(), ClassName(*effect).c_str(), window_.c_str(), dash, dash,
                        dash, dash, dash, dash, dash, dash, dash, dash);
            continue;
        }
        const Figures figures = TimeEntry(*effect, window, music, frames);
        const double floor = figures.fragments * perFragment;
        const double shadedFloor = figures.shaded * perFragment;
        std::printf("%3d  %-28s %16s %9.3f %9.3f %7.2f %8.3f %7.2f %8.2f %7.2f %7.1f %8.2f %8.2f\n", index,
                    ClassName(*effect).c_str(), window_.c_str(), figures.mean, figures.p95, figures.fragments / 1e6, floor,
                    floor > 0.0 ? figures.mean / floor : 0.0, figures.shaded / 1e6,
                    shadedFloor > 0.0 ? figures.mean / shadedFloor : 0.0, figures.primitives / 1e3, figures.cpu,
                    figures.mainCpu);
    }
    if (captureSpan.seconds > 0) {
        CompareCapture(effects, window, decoded, captureSpan);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    KeepFreedMemoryForReuse();  // as the program does
    CLI::App app{"Start-up and per-entry frame times of the Kestrova show.", "kestrova-bench"};
    std::string dataDirectory = ".";
    std::string size = "1280x720";
    int frames = 120;
    app.add_option("--data", dataDirectory, "Folder that holds data/")->check(CLI::ExistingDirectory);
    app.add_option("--size", size, "Window size, WIDTHxHEIGHT");
    app.add_option("--frames", frames, "Frames drawn per entry")->check(CLI::Range(1, 100000));
    int onlyEntry = 0;
    app.add_option("--entry", onlyEntry, "Time only this entry, numbered from 1 as the table numbers them")
        ->check(CLI::PositiveNumber);
    CaptureSpan captureSpan{88000, 20, 30};
    app.add_option("--capture-from", captureSpan.from, "Music time (ms) the capture comparison starts at");
    app.add_option("--capture-seconds", captureSpan.seconds, "Length of the capture comparison (0: none)")
        ->check(CLI::Range(0, 3600));
    app.add_option("--capture-fps", captureSpan.framesPerSecond, "Frame rate of the capture comparison")
        ->check(CLI::Range(1, 1000));
    bool startOnly = false;
    app.add_flag("--start-only", startOnly, "Measure the start-up and stop");
    CLI11_PARSE(app, argc, argv);

    int width = 0;
    int height = 0;
    if (std::sscanf(size.c_str(), "%dx%d", &width, &height) != 2 || width < 1 || height < 1) {
        std::fprintf(stderr, "--size: expected WIDTHxHEIGHT\n");
        return 2;
    }
    try {
        return Bench(dataDirectory, width, height, frames, onlyEntry, captureSpan, startOnly);
    } catch (const DemoMessage& message) {
        std::fprintf(stderr, "%s\n", message.what());
        return 1;
    }
}
