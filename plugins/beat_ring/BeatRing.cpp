// A ring of light rays that flare with the beat, drawn additively over the
// show. Its one parameter line in the script is the colour as #RRGGBB, e.g.
//
//   Plugin
//   12000
//   20000
//   plugins/beat_ring.so
//   #2FD4E6
//
// Two sync tracks, when they have keys, move it further: "beat_ring:reach"
// scales the rays' length (1 as drawn) and "beat_ring:spin" turns the ring
// by that many degrees.

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstdint>

#include "PluginInterface.h"

namespace {

float red = 0.18f;
float green = 0.83f;
float blue = 0.90f;
std::int32_t windowStart = 0;
std::int32_t windowEnd = 0;

KestrovaTrackFunctions tracks{};
const KestrovaTrack* reachTrack = nullptr;
const KestrovaTrack* spinTrack = nullptr;

// The track's value at the time when it has keys, else the ring's own.
float TrackOr(const KestrovaTrack* track, uint32_t time, float own)
{
    float value = own;
    if (track != nullptr) {
        tracks.trackValue(tracks.tracks, track, time, &value);
    }
    return value;
}

constexpr int rayCount = 48;
constexpr float pi = 3.14159265f;

void ReadColour(FILE* script)
{
    char line[64];
    if (std::fgets(line, sizeof line, script) == nullptr) {
        return;
    }
    unsigned int rgb = 0;
    if (std::sscanf(line, " #%6x", &rgb) == 1) {
        red = static_cast<float>((rgb >> 16) & 0xFF) / 255.0f;
        green = static_cast<float>((rgb >> 8) & 0xFF) / 255.0f;
        blue = static_cast<float>(rgb & 0xFF) / 255.0f;
    }
}

}  // namespace

KESTROVA_PLUGIN_EXPORT void InitTracks(const KestrovaTrackFunctions* functions)
{
    tracks = *functions;
}

KESTROVA_PLUGIN_EXPORT void Init(FILE* script, int32_t startTime, int32_t endTime)
{
    if (tracks.findTrack != nullptr) {
        reachTrack = tracks.findTrack(tracks.tracks, "beat_ring:reach");
        spinTrack = tracks.findTrack(tracks.tracks, "beat_ring:spin");
    }
    ReadColour(script);
    windowStart = startTime;
    windowEnd = endTime;
}

KESTROVA_PLUGIN_EXPORT void Draw(uint32_t time, float beat)
{
    // Fade in and out over the first and last half second of the window.
    const float sinceStart = static_cast<float>(static_cast<std::int64_t>(time) - windowStart);
    const float untilEnd = static_cast<float>(windowEnd - static_cast<std::int64_t>(time));
    float fade = std::fmin(sinceStart, untilEnd) / 500.0f;
    fade = fade < 0.0f ? 0.0f : (fade > 1.0f ? 1.0f : fade);

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glScalef(static_cast<float>(viewport[3]) / static_cast<float>(viewport[2]), 1.0f, 1.0f);
    glRotatef(static_cast<float>(time % 36000u) * 0.01f + TrackOr(spinTrack, time, 0.0f), 0.0f, 0.0f, 1.0f);

    const float inner = 0.25f;
    const float outer = (0.45f + 0.35f * beat) * TrackOr(reachTrack, time, 1.0f);
    const float halfWidth = pi / rayCount * 0.35f;
    glBegin(GL_TRIANGLES);
    for (int ray = 0; ray < rayCount; ++ray) {
        const float angle = 2.0f * pi * static_cast<float>(ray) / rayCount;
        const float length = outer * (0.7f + 0.3f * std::sin(angle * 3.0f + static_cast<float>(time) * 0.002f));
        glColor3f(red * fade, green * fade, blue * fade);
        glVertex2f(inner * std::cos(angle - halfWidth), inner * std::sin(angle - halfWidth));
        glVertex2f(inner * std::cos(angle + halfWidth), inner * std::sin(angle + halfWidth));
        glColor3f(0.0f, 0.0f, 0.0f);
        glVertex2f(length * std::cos(angle), length * std::sin(angle));
    }
    glEnd();

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}
