#include <gtest/gtest.h>

#include <FreeImage.h>
#include <sndfile.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numbers>
#include <sstream>

#include "module/ModuleWriter.h"
#include "music/DecodedMusic.h"
#include "support/Pictures.h"
#include "support/ScriptFolder.h"
#include "support/TestAudio.h"

namespace {

constexpr int sampleRate = 48000;
constexpr int channels = 2;
constexpr int musicFrames = sampleRate * 4;  // the capture below crosses the loop
constexpr int fps = 10;
constexpr std::uint32_t from = 2500;
constexpr std::uint32_t to = 5500;
constexpr long frames = (to - from) * fps / 1000;
constexpr int soundSamples = (to - from) * sampleRate / 1000;
const std::string size = "192x144";

// Tones of unrelated pitches, others in each channel: any shift of the sound
// or swap of the channels shows.
std::vector<float> Music()
{
    std::vector<float> samples(static_cast<std::size_t>(musicFrames) * channels);
    for (int i = 0; i < musicFrames; ++i) {
        const double t = 2.0 * std::numbers::pi * i / sampleRate;
        samples[2 * i] = static_cast<float>(0.3 * std::sin(311 * t) + 0.2 * std::sin(1187 * t + 1.0) + 0.1 * std::sin(2713 * t));
        samples[2 * i + 1] = static_cast<float>(0.3 * std::sin(467 * t) + 0.2 * std::sin(1733 * t + 0.5));
    }
    return samples;
}

// Smooth colours that move fast: each frame differs clearly from the next,
// yet compresses well.
const std::string sweepShader =
    "#version 110\nuniform float time;\n"
    "void main() {\n"
    "  vec2 p = gl_TexCoord[0].st;\n"
    "  gl_FragColor = vec4(0.5 + 0.5 * sin(6.2832 * (p.x * 1.5 - time * 1.3)),\n"
    "                      0.5 + 0.5 * sin(6.2832 * (p.y * 1.2 + time * 0.9)), fract(time * 0.37), 1.0);\n"
    "}\n";

std::string Output(const std::string& command)
{
    std::string text;
    std::FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    for (std::size_t read; (read = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        text.append(buffer, read);
    }
    pclose(pipe);
    return text;
}

// ffprobe's key=value lines about the first stream of a kind ("v" or "a").
std::map<std::string, std::string> StreamFacts(const std::filesystem::path& video, const char* kind)
{
    const std::string text = Output("ffprobe -v error -count_frames -select_streams " + std::string(kind) +
                                    ":0 -show_entries stream=codec_name,width,height,r_frame_rate,nb_read_frames,"
                                    "sample_rate,channels,pix_fmt -of default=nw=1 '" + video.string() + "'");
    std::map<std::string, std::string> facts;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (equals != std::string::npos) {
            facts[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return facts;
}

std::vector<float> DecodedSound(const std::filesystem::path& video)
{
    const std::string bytes = Output("ffmpeg -v error -i '" + video.string() + "' -f f32le -");
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

// PSNR over the red, green and blue of two pictures of one size.
double Psnr(const std::filesystem::path& first, const std::filesystem::path& second)
{
    FIBITMAP* a = FreeImage_Load(FIF_PNG, first.c_str(), 0);
    FIBITMAP* b = FreeImage_Load(FIF_PNG, second.c_str(), 0);
    double squares = 0.0;
    long values = 0;
    if (a != nullptr && b != nullptr && FreeImage_GetWidth(a) == FreeImage_GetWidth(b) &&
        FreeImage_GetHeight(a) == FreeImage_GetHeight(b)) {
        for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y) {
            for (unsigned x = 0; x < FreeImage_GetWidth(a); ++x) {
                RGBQUAD p{}, q{};
                FreeImage_GetPixelColor(a, x, y, &p);
                FreeImage_GetPixelColor(b, x, y, &q);
                for (const double d : {p.rgbRed - q.rgbRed, p.rgbGreen - q.rgbGreen, p.rgbBlue - q.rgbBlue}) {
                    squares += d * d;
                }
                values += 3;
            }
        }
    }
    FreeImage_Unload(a);
    FreeImage_Unload(b);
    return values == 0 ? 0.0 : 10.0 * std::log10(255.0 * 255.0 / std::max(squares / values, 1e-9));
}

bool Contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

class Capture : public ::testing::Test {
protected:
    void SetUp() override
    {
        audio.Write("music.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, sampleRate, channels, Music());
        std::filesystem::copy_file(audio.Root() / "music.wav", show.Root() / "data/music.wav");
        ASSERT_TRUE(WriteTwoBandPicture((show.Root() / "data/card.png").string(), FIF_PNG, 24, {255, 0, 0, 255},
                                        {0, 0, 255, 255}, 16));
        show.WriteFile("data/sweep.fs", sweepShader);
        show.WriteScript("data/music.wav\n0\n1\nShaderShow\n0\n100000\ndata/sweep.fs\ndata/card.png");
    }

    struct Outcome {
        int exitCode;
        std::string messages;
    };

    Outcome Run(const std::string& arguments, const std::string& launcher = "") const
    {
        const std::filesystem::path errors = show.Root() / "stderr.txt";
        const std::string command = "cd '" + show.Root().string() + "' && " + launcher + " '" + KESTROVA_PROGRAM +
                                    "' --size " + size + " --data '" + show.Root().string() + "' " + arguments +
                                    " 2> '" + errors.string() + "'";
        const int status = std::system(command.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadBytes(errors)};
    }

    Outcome CaptureSpan(const std::filesystem::path& video) const
    {
        return Run("--capture '" + video.string() + "' --fps 10 --from 2500 --to 5500");
    }

    // The music as the program reads it.
    std::vector<float> MusicSamples() const
    {
        SF_INFO info{};
        SNDFILE* file = sf_open((show.Root() / "data/music.wav").c_str(), SFM_READ, &info);
        std::vector<float> samples(static_cast<std::size_t>(info.frames) * info.channels);
        sf_readf_float(file, samples.data(), info.frames);
        sf_close(file);
        return samples;
    }

    float MusicAt(const std::vector<float>& music, long sample, int channel) const
    {
        return music[static_cast<std::size_t>(sample % musicFrames) * channels + channel];
    }

    TestAudioFolder audio;
    ScriptFolder show;
};

}  // namespace

TEST_F(Capture, AnMkvHoldsTheRenderedFramesAndExactlyTheMusicsSamples)
{
    const std::filesystem::path video = show.Root() / "show.mkv";
    const Outcome outcome = CaptureSpan(video);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.messages;
    EXPECT_PRED2(Contains, outcome.messages, "Captured " + video.string() + ": 3.00 s of video, 30 frames");
    EXPECT_FALSE(std::filesystem::exists(video.string() + ".part"));

    std::map<std::string, std::string> facts = StreamFacts(video, "v");
    EXPECT_EQ(facts["codec_name"], "h264");
    EXPECT_EQ(facts["pix_fmt"], "yuv420p");
    EXPECT_EQ(facts["width"] + "x" + facts["height"], size);
    EXPECT_EQ(facts["r_frame_rate"], "10/1");
    EXPECT_EQ(facts["nb_read_frames"], std::to_string(frames));
    facts = StreamFacts(video, "a");
    EXPECT_EQ(facts["codec_name"], "flac");
    EXPECT_EQ(facts["sample_rate"], std::to_string(sampleRate));
    EXPECT_EQ(facts["channels"], std::to_string(channels));

    // Sound sample 0 is music time 2500 ms; at 4000 ms the music starts over.
    const std::vector<float> sound = DecodedSound(video);
    ASSERT_EQ(sound.size(), static_cast<std::size_t>(soundSamples) * channels);
    const std::vector<float> music = MusicSamples();
    const long first = from * sampleRate / 1000;
    int differing = 0;
    for (long i = 0; i < soundSamples; ++i) {
        for (int channel = 0; channel < channels; ++channel) {
            differing += std::abs(sound[i * channels + channel] - MusicAt(music, first + i, channel)) > 1e-6f;
        }
    }
    EXPECT_EQ(differing, 0);

    // Frame 17 shows 4200 ms: the rendered frame of that time, and not its neighbours.
    const std::filesystem::path rendered = show.Root() / "frames";
    ASSERT_EQ(Run("--render 4200 --out '" + rendered.string() + "' --fps 10 --from 2500").exitCode, 0);
    double psnr[3];
    for (int n = 16; n <= 18; ++n) {
        const std::filesystem::path decoded = show.Root() / ("frame" + std::to_string(n) + ".png");
        Output("ffmpeg -v error -i '" + video.string() + "' -vf 'select=eq(n\\," + std::to_string(n) +
               ")' -frames:v 1 -y '" + decoded.string() + "'");
        psnr[n - 16] = Psnr(decoded, rendered / "0000004200.png");
    }
    EXPECT_GE(psnr[1], 30.0);
    EXPECT_GT(psnr[1], psnr[0] + 3.0);
    EXPECT_GT(psnr[1], psnr[2] + 3.0);
}

// A module's sound is the samples rendered from it at load, looped as any
// music: the capture crosses the song's end at 3840 ms (64 rows of three
// ticks of 20 ms).
TEST_F(Capture, AModulesSoundIsCapturedAsItsRenderedSamples)
{
    ModuleSong song;
    song.speed = 3;
    song.sample = SquareWaveSample(64);
    song.patterns.push_back(EmptyPattern(64, 4));
    for (int row = 0; row < 64; row += 4) {
        song.patterns[0].rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(row / 4 % 4)] = {37 + row / 2, 1, 0, 0};
    }
    song.order = {0};
    const std::vector<std::uint8_t> bytes = WriteMod(song);
    show.WriteFile("data/song.mod", std::string(bytes.begin(), bytes.end()));
    show.WriteScript("data/song.mod\n0\n1\nShaderShow\n0\n100000\ndata/sweep.fs\ndata/card.png");
    const std::filesystem::path video = show.Root() / "song.mkv";
    const Outcome outcome = CaptureSpan(video);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.messages;

    const DecodedMusic music = DecodedMusic::Load((show.Root() / "data/song.mod").string());
    ASSERT_EQ(music.Frames(), 64 * 3 * 960);
    const std::vector<float> sound = DecodedSound(video);
    ASSERT_EQ(sound.size(), static_cast<std::size_t>(soundSamples) * channels);
    const long first = from * sampleRate / 1000;
    int differing = 0;
    float loudest = 0.0f;
    for (long i = 0; i < soundSamples; ++i) {
        const std::int64_t frame = music.LoopedFrame(first + i);
        for (int channel = 0; channel < channels; ++channel) {
            const float expected = music.Samples()[static_cast<std::size_t>(frame * channels + channel)];
            differing += std::abs(sound[i * channels + channel] - expected) > 1e-6f;
            loudest = std::max(loudest, std::abs(expected));
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(loudest, 0.05f) << "the song is heard";
}

TEST_F(Capture, AnMp4HoldsH264AndAacInStepWithTheMusic)
{
    const std::filesystem::path video = show.Root() / "show.mp4";
    const Outcome outcome = CaptureSpan(video);
    ASSERT_EQ(outcome.exitCode, 0) << outcome.messages;
    std::map<std::string, std::string> facts = StreamFacts(video, "v");
    EXPECT_EQ(facts["codec_name"], "h264");
    EXPECT_EQ(facts["nb_read_frames"], std::to_string(frames));
    facts = StreamFacts(video, "a");
    EXPECT_EQ(facts["codec_name"], "aac");
    EXPECT_EQ(facts["sample_rate"], std::to_string(sampleRate));
    EXPECT_EQ(facts["channels"], std::to_string(channels));

    const std::vector<float> sound = DecodedSound(video);
    const double soundSeconds = static_cast<double>(sound.size() / channels) / sampleRate;
    EXPECT_NEAR(soundSeconds, static_cast<double>(frames) / fps, 1.0 / fps);

    // Lossy, but in step: the best match lies at zero offset, within 1 ms.
    const std::vector<float> music = MusicSamples();
    const long first = from * sampleRate / 1000;
    const long compared = std::min<long>(static_cast<long>(sound.size() / channels), soundSamples) - 2 * sampleRate / 100;
    const auto correlation = [&](long offset) {
        double product = 0.0, soundEnergy = 0.0, musicEnergy = 0.0;
        for (long i = sampleRate / 100; i < compared; ++i) {
            const float s = sound[i * channels];
            const float m = MusicAt(music, first + i + offset, 0);
            product += s * m;
            soundEnergy += s * s;
            musicEnergy += m * m;
        }
        return product / std::sqrt(soundEnergy * musicEnergy);
    };
    EXPECT_GE(correlation(0), 0.99);
    long best = 0;
    for (long offset = -sampleRate / 200; offset <= sampleRate / 200; ++offset) {
        if (correlation(offset) > correlation(best)) {
            best = offset;
        }
    }
    EXPECT_LE(std::abs(best), sampleRate / 1000);
}

// The file --render writes for a time.
std::string FormatTime(std::uint32_t time)
{
    char name[32];
    std::snprintf(name, sizeof name, "%010u.png", static_cast<unsigned>(time));
    return name;
}

// The mean of the red, green and blue of frame n of a video, 0 to 255.
double MeanLevel(const std::filesystem::path& video, int n)
{
    const std::string bytes = Output("ffmpeg -v error -i '" + video.string() + "' -vf 'select=eq(n\\," + std::to_string(n) +
                                     ")' -frames:v 1 -f rawvideo -pix_fmt rgb24 -");
    double sum = 0.0;
    for (const char byte : bytes) {
        sum += static_cast<unsigned char>(byte);
    }
    return bytes.empty() ? -1.0 : sum / static_cast<double>(bytes.size());
}

TEST_F(Capture, EveryFrameFollowsAKeyedUniformAtItsExactTime)
{
    show.WriteFile("data/level.fs", "#version 110\nuniform float level;\n"
                                    "void main() { gl_FragColor = vec4(vec3(level), 1.0); }\n");
    show.WriteScript("data/music.wav\n0\n1\nShaderShow\n0\n100000\ndata/level.fs\ndata/card.png");
    // 16 rows a second: rows 0 and 48 are 0 and 3000 ms, and the level rises
    // linearly from black to white between them.
    show.WriteFile("data/demo.rocket",
                   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rootElement>\n"
                   "\t<tracks rows=\"10000\" startRow=\"0\" endRow=\"10000\" rowsPerBeat=\"8\" beatsPerMin=\"120\">\n"
                   "\t\t<track name=\"level\" folded=\"0\" muteKeyCount=\"0\" color=\"ff7f7f7f\">\n"
                   "\t\t\t<key row=\"0\" value=\"0.000000\" interpolation=\"1\" />\n"
                   "\t\t\t<key row=\"48\" value=\"1.000000\" interpolation=\"0\" />\n"
                   "\t\t</track>\n\t</tracks>\n</rootElement>\n");
    const std::filesystem::path video = show.Root() / "level.mkv";
    const Outcome outcome = Run("--capture '" + video.string() + "' --fps 10 --from 0 --to 3000 --quality 0");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.messages;
    for (const int n : {0, 1, 6, 15, 24, 29}) {
        EXPECT_NEAR(MeanLevel(video, n), 255.0 * n / 30.0, 1.5) << "frame " << n << ", " << 100 * n << " ms";
    }
    const std::filesystem::path rendered = show.Root() / "frames";
    ASSERT_EQ(Run("--render 1500 --out '" + rendered.string() + "'").exitCode, 0);
    EXPECT_NEAR(MeanLevel(rendered / "0000001500.png", 0), 127.5, 0.6) << "the rendered frame of that time";
}

// A shader that hears the music and feeds back its frame before: the frame a
// capture holds for a time is the one --render draws for it, from the same
// start.
// With rowGrid="module" the rows are the song's: 120 ms each up to row 32,
// 60 ms each after its speed change. On the tempo's grid (16 rows a second)
// the same keys would give other levels.
TEST_F(Capture, TracksOnAModulesRowsFollowItsSpeedChanges)
{
    ModuleSong song;
    song.sample = SquareWaveSample(32);
    song.patterns.push_back(EmptyPattern(64, 4));
    song.patterns[0].rows[0][0] = {49, 1, 0, 0};
    song.patterns[0].rows[32][1] = {0, 0, 0x0F, 3};
    song.order = {0};
    const std::vector<std::uint8_t> bytes = WriteMod(song);
    show.WriteFile("data/song.mod", std::string(bytes.begin(), bytes.end()));
    show.WriteFile("data/level.fs", "#version 110\nuniform float level;\n"
                                    "void main() { gl_FragColor = vec4(vec3(level), 1.0); }\n");
    show.WriteScript("data/song.mod\n0\n1\nShaderShow\n0\n100000\ndata/level.fs\ndata/card.png");
    const std::string tracks = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<rootElement>\n"
                               "\t<tracks rowsPerBeat=\"8\" beatsPerMin=\"120\"GRID>\n"
                               "\t\t<track name=\"level\">\n"
                               "\t\t\t<key row=\"0\" value=\"0.000000\" interpolation=\"1\" />\n"
                               "\t\t\t<key row=\"48\" value=\"1.000000\" interpolation=\"0\" />\n"
                               "\t\t</track>\n\t</tracks>\n</rootElement>\n";
    const auto levels = [&](const std::string& grid) {
        std::string text = tracks;
        text.replace(text.find("GRID"), 4, grid);
        show.WriteFile("data/demo.rocket", text);
        const std::filesystem::path rendered = show.Root() / "frames";
        std::filesystem::remove_all(rendered);
        const Outcome outcome = Run("--render 1920,4320 --out '" + rendered.string() + "'");
        EXPECT_EQ(outcome.exitCode, 0) << outcome.messages;
        return std::pair{MeanLevel(rendered / "0000001920.png", 0), MeanLevel(rendered / "0000004320.png", 0)};
    };
    const auto [row16, row40] = levels(" rowGrid=\"module\"");
    EXPECT_NEAR(row16, 255.0 * 16 / 48, 1.0) << "1920 ms: row 16 of the song";
    EXPECT_NEAR(row40, 255.0 * 40 / 48, 1.0) << "4320 ms: row 40, 8 rows of 60 ms after row 32";
    const auto [tempo1920, tempo4320] = levels("");
    EXPECT_NEAR(tempo1920, 255.0 * 30.72 / 48, 1.0) << "the tempo's row 30.72";
    EXPECT_NEAR(tempo4320, 255.0, 1.0) << "past the last key";
}

TEST_F(Capture, AShaderThatHearsTheMusicCapturesExactlyAsItRenders)
{
    show.WriteFile("data/hearing.fs",
                   "#version 410 core\nuniform sampler1D texFFTSmoothed;\nuniform sampler2D iChannel0;\n"
                   "uniform sampler2D texPreviousFrame;\nin vec2 out_texcoord;\nlayout(location = 0) out vec4 out_color;\n"
                   "void main() {\n"
                   "  float heard = texture(texFFTSmoothed, 13.5 / 1024.0).r + texture(iChannel0, vec2(0.0265, 0.25)).x * 0.2;\n"
                   "  float before = texture(texPreviousFrame, out_texcoord).r;\n"
                   "  out_color = vec4(vec3(clamp(0.5 * before + heard, 0.0, 1.0)), 1.0);\n"
                   "}\n");
    show.WriteScript("data/music.wav\n0\n1\nShaderShow\n0\n100000\ndata/hearing.fs\ndata/card.png");
    const std::filesystem::path video = show.Root() / "hearing.mkv";
    const Outcome outcome = Run("--capture '" + video.string() + "' --fps 10 --from 2500 --to 3500 --quality 0");
    ASSERT_EQ(outcome.exitCode, 0) << outcome.messages;
    const std::filesystem::path rendered = show.Root() / "frames";
    ASSERT_EQ(Run("--render 2500,2800,3400 --out '" + rendered.string() + "' --fps 10 --from 2500").exitCode, 0);
    double brightest = 0.0;
    for (const int n : {0, 3, 9}) {
        const double captured = MeanLevel(video, n);
        const double drawn = MeanLevel(rendered / FormatTime(2500 + 100 * n), 0);
        EXPECT_NEAR(captured, drawn, 1.0) << "frame " << n;
        brightest = std::max(brightest, drawn);
    }
    EXPECT_GT(brightest, 20.0) << "the shader hears the music";
}

TEST_F(Capture, ARefusedOrFailedCaptureSaysWhyAndLeavesNoFile)
{
    const std::filesystem::path avi = show.Root() / "show.avi";
    Outcome outcome = CaptureSpan(avi);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.messages,
                 "Unable to capture " + avi.string() + ": videos are written as .mp4 (H.264 and AAC) or .mkv (H.264 and FLAC)");
    EXPECT_FALSE(Contains(outcome.messages, "Loaded")) << "refused before the show is loaded";

    const std::filesystem::path unwritable = show.Root() / "no/such/folder/show.mp4";
    outcome = CaptureSpan(unwritable);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.messages, "Unable to capture " + unwritable.string() + ": ");
    EXPECT_PRED2(Contains, outcome.messages, "No such file or directory");

    show.WriteScript("data/music.wav\n0\n1\nShaderShow\n0\n100000\ndata/missing.fs\ndata/card.png");
    const std::filesystem::path video = show.Root() / "show.mp4";
    outcome = CaptureSpan(video);
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_PRED2(Contains, outcome.messages, "Unable to capture " + video.string() + ": Error opening: data/missing.fs");

    for (const auto& entry : std::filesystem::directory_iterator(show.Root())) {
        const std::string name = entry.path().filename().string();
        EXPECT_FALSE(Contains(name, "show.")) << name << " left behind";
    }
}

TEST_F(Capture, StoppingWithCtrlCFinishesThePlayableVideoSoFar)
{
    const std::filesystem::path video = show.Root() / "show.mp4";
    const Outcome outcome =
        Run("--capture '" + video.string() + "' --fps 10 --to 3600000", "timeout --preserve-status -s INT 2");
    EXPECT_EQ(outcome.exitCode, 130) << outcome.messages;
    EXPECT_PRED2(Contains, outcome.messages, "Capture stopped at music time ");
    EXPECT_FALSE(std::filesystem::exists(video.string() + ".part"));

    const long captured = std::atol(StreamFacts(video, "v")["nb_read_frames"].c_str());
    EXPECT_GT(captured, 0);
    EXPECT_PRED2(Contains, outcome.messages, "holds the first " + std::to_string(captured) + " of 36000 frames");
    const double soundSeconds = static_cast<double>(DecodedSound(video).size() / channels) / sampleRate;
    EXPECT_NEAR(soundSeconds, static_cast<double>(captured) / fps, 1.0 / fps);
}
