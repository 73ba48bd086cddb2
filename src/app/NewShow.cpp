#include "app/NewShow.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string_view>
#include <system_error>

#include "app/ShowFolder.h"
#include "core/DemoMessage.h"
#include "sync/RocketFile.h"

namespace {

constexpr const char* scriptFile = "data/demo.txt";
constexpr const char* shaderFile = "data/shaders/first.fs";
constexpr const char* tracksFile = "data/demo.rocket";
constexpr const char* shippedMusicFile = "data/music/kestrova.ogg";
constexpr double shippedBeatsPerMinute = 124.0;

// The times of the entries follow the shipped music's bars: bar n starts
// at (n - 1) * 1935.48 ms.
constexpr const char* scriptEntries = R"(#
# The effects read their own pictures, shaders and models at fixed paths
# under data/ (the README and "man 6 kestrova" list them). They come from
# the installed show unless this folder has a file at the same path: put a
# picture at data/pictures/northern.jpg here and it replaces the shipped one.
#
# Bars 1 to 4: a picture rises into the middle of the screen. Its values:
# the picture, then how it moves (UP, DOWN, LEFT, RIGHT, UPCENTER, BEATUP,
# BEATBACK or RANDOM).
AlphaBlendImage
0
7742
data/pictures/northern.jpg
UPCENTER
# Bars 5 to 8: the bass comes in under a plasma of light on water; the value
# is the seed of its pattern. A white flash fades out over the change.
Plasma2D
7742
15484
3
FlashWhite
7742
8542
# Bars 9 to 16: your own shader over a picture. Edit data/shaders/first.fs
# while the show plays. Its uniform glow follows the track of that name in
# data/demo.rocket: set keys in the tweak panel (F1), or in a Rocket editor
# (--sync-editor).
ShaderShow
15484
30968
data/shaders/first.fs
data/shadershow/ridge.jpg
FlashWhite
15484
16284
# Bars 17 to 20: the breakdown, a trail of glowing sprites.
Solaris
30968
38710
FlashWhite
30968
31700
# The show ends when the music reaches this window.
EndDemo
38710
40000
)";

std::string Script(const std::string& musicPath, bool shippedMusic)
{
    const std::string timing =
        shippedMusic ? "# The times follow the music's bars: 124 beats a minute, four to the bar,\n"
                       "# so bar n starts at (n - 1) * 1935.48 ms.\n"
                     : "# The times were chosen for Kestrova's own music (124 beats a minute, bar\n"
                       "# n at (n - 1) * 1935.48 ms): move them to your music's bars.\n";
    return "# A show of one's own, made by kestrova --new. One value per line; lines\n"
           "# starting with # are comments and may stand anywhere.\n"
           "#\n"
           "# Play it from this folder, rebuilt whenever a file is saved:\n"
           "#     kestrova --windowed --watch\n"
           "# F1 shows the tweak panel, F5 rebuilds by hand, Escape ends.\n"
           "#\n"
           "# First the music (the show's only clock), the second of the music to\n"
           "# start at, and the number of entries below (for the loading screen).\n" +
           musicPath +
           "\n0\n8\n"
           "# Then the entries, each: a keyword, the start and the end of its window\n"
           "# in milliseconds of music time (it draws while start < t < end), and the\n"
           "# keyword's own values, one a line. Later entries draw over earlier ones.\n" +
           timing + scriptEntries;
}

constexpr const char* shader = R"(#version 110
// Rings of light spreading behind the ridge of the entry's picture. time is
// the music's time in seconds, beat its beat level (0 to 1); glow follows
// its track in data/demo.rocket (0 where it has no keys). Save this file
// while the show plays with --watch and the change shows at once.

uniform sampler2D picture;
uniform float time;
uniform float beat;
uniform float glow;

const vec3 cyan = vec3(0.184, 0.831, 0.902);
const vec3 amber = vec3(1.0, 0.702, 0.278);

void main()
{
    vec2 uv = gl_TexCoord[0].st;
    // Round rings in a window of any shape: a pixel's width over its height.
    float aspect = max(abs(dFdy(uv.t)), 1.0e-6) / max(abs(dFdx(uv.s)), 1.0e-6);
    vec2 p = (uv - vec2(0.5, 0.7)) * vec2(aspect, 1.0);
    float radius = length(p);

    // The picture, nudged outwards on the beat.
    vec3 colour = texture2D(picture, uv - 0.02 * beat * p).rgb;
    // Rings moving outwards: only the sky (anything with a little blue)
    // takes their light, so the ridge stands black before them. glow
    // brightens them.
    float rings = pow(0.5 + 0.5 * sin(radius * 30.0 - time * 3.0), 6.0);
    float sky = smoothstep(0.03, 0.12, colour.b);
    vec3 light = mix(cyan, amber, 0.5 + 0.5 * sin(time * 0.7));
    colour += light * rings * sky * (0.2 + glow) * exp(-radius * 2.5);
    gl_FragColor = vec4(colour * (0.8 + 0.3 * beat), 1.0);
}
)";

// The glow of the ShaderShow entry: it swells as the groove starts, fades,
// and flares over the last two bars before the breakdown.
struct GlowKey {
    std::uint32_t time;  // ms of music
    float value;
    KeyInterpolation interpolation;
};
constexpr std::array<GlowKey, 5> glowKeys{{{15484, 0.0f, KeyInterpolation::Smooth},
                                           {19355, 1.0f, KeyInterpolation::Linear},
                                           {23226, 0.3f, KeyInterpolation::Ramp},
                                           {29032, 1.5f, KeyInterpolation::Step},
                                           {30968, 0.0f, KeyInterpolation::Step}}};

SyncTracks Tracks(bool shippedMusic)
{
    SyncTracks tracks;
    if (shippedMusic) {
        tracks.tempo.beatsPerMinute = shippedBeatsPerMinute;
    }
    SyncTrack& glow = tracks.Track("glow");
    // Keyed by time, so that they fall in the entry's window at any tempo.
    for (const GlowKey& key : glowKeys) {
        glow.SetKey({static_cast<int>(std::lround(tracks.tempo.RowAt(key.time))), key.value, key.interpolation});
    }
    return tracks;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

void WriteNewFile(const std::filesystem::path& file, std::string_view text)
{
    // "x": never over a file that appeared meanwhile.
    const std::unique_ptr<std::FILE, FileCloser> out(std::fopen(file.c_str(), "wx"));
    if (!out || std::fwrite(text.data(), 1, text.size(), out.get()) != text.size() || std::fflush(out.get()) != 0) {
        throw DemoMessage(FormatText("Unable to write %s", file.c_str()));
    }
}

// A word the shell takes as it is: quoted when it holds anything but
// letters, digits and the punctuation of ordinary paths.
std::string ShellWord(const std::string& word)
{
    if (!word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_./+,:@%=-") ==
                             std::string::npos) {
        return word;
    }
    std::string quoted = "'";
    for (const char c : word) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

bool Exists(const std::filesystem::path& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

}  // namespace

NewShow::NewShow(std::filesystem::path folder, std::filesystem::path fallbackShow, std::filesystem::path music)
    : folder(std::move(folder)), fallbackShow(std::move(fallbackShow)), music(std::move(music)), shippedMusic(this->music.empty())
{
    if (shippedMusic && !this->fallbackShow.empty()) {
        this->music = this->fallbackShow / shippedMusicFile;
    }
}

std::string NewShow::Make() const
{
    if (Exists(folder / scriptFile)) {
        throw DemoMessage(FormatText("Unable to make a show in %s: it has a %s already, and --new never overwrites a file",
                                     folder.c_str(), scriptFile));
    }
    if (fallbackShow.empty()) {
        throw DemoMessage("Unable to make a show: there is no installed show to take the effects' files from");
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(music, error)) {
        throw DemoMessage(FormatText("Unable to make a show: there is no music at %s (--music FILE names one)", music.c_str()));
    }
    const std::string musicFile = "data/music/" + music.filename().string();
    for (const char* subfolder : {"data/music", "data/shaders"}) {
        if (!std::filesystem::create_directories(folder / subfolder, error) && error) {
            throw DemoMessage(FormatText("Unable to make %s", (folder / subfolder).c_str()));
        }
    }

    // Each file written gives its line of the report.
    std::string kept;
    const auto make = [&](const std::string& file, const char* what,
                          const std::function<void(const std::filesystem::path&)>& write) -> std::string {
        if (Exists(folder / file)) {
            kept += FormatText("Kept %s as it was.\n", file.c_str());
            return "";
        }
        write(folder / file);
        return FormatText("  %-24s %s\n", file.c_str(), what);
    };
    const std::string musicLine = make(musicFile, "the music", [&](const std::filesystem::path& target) {
        std::error_code copyError;
        if (!std::filesystem::copy_file(music, target, copyError)) {
            throw DemoMessage(FormatText("Unable to write %s", target.c_str()));
        }
    });
    const std::string shaderLine = make(shaderFile, "a shader to edit, drawn by the ShaderShow entry",
                                        [](const std::filesystem::path& target) { WriteNewFile(target, shader); });
    const std::string tracksLine =
        make(tracksFile, "the tracks: keys for the shader's glow",
             [&](const std::filesystem::path& target) { WriteRocketFile(Tracks(shippedMusic), target.string()); });
    // The script last: a show cut short by a failure names no missing file,
    // and --new can be run again.
    const std::string scriptLine =
        make(scriptFile, "the script, with notes on its format",
             [&](const std::filesystem::path& target) { WriteNewFile(target, Script(musicFile, shippedMusic)); });

    const std::string data = ShellWord(folder.string());
    return FormatText("Made a show in %s:\n", folder.c_str()) + scriptLine + musicLine + shaderLine + tracksLine + kept +
           FormatText("The effects' other files come from the show in %s;\n"
                      "a file at the same path in this folder replaces one.\n"
                      "Play it, rebuilt whenever a file is saved:\n"
                      "  kestrova --windowed --watch --data %s\n"
                      "Check it without playing:\n"
                      "  kestrova --check --data %s\n",
                      fallbackShow.c_str(), data.c_str(), data.c_str());
}

int MakeNewShow(const std::filesystem::path& folder, const std::filesystem::path& music)
{
    try {
        const NewShow show(folder, FallbackShowFolder(RunningProgramFile(), folder), music);
        std::fputs(show.Make().c_str(), stdout);
        return 0;
    } catch (const DemoMessage& message) {
        std::fprintf(stderr, "%s\n", message.what());
        return 1;
    }
}
