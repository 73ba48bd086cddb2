/* The two functions a plug-in library exports, by these undecorated names,
 * with the C calling convention. Plug-ins include this header; it is plain C.
 *
 * Init is called once while the script loads, with the script stream
 * positioned just after the line that names the library: it may read its own
 * parameter lines, and the loader goes on after them. Draw is called every
 * frame while the entry's window is open, on the demo's thread with its
 * OpenGL context current, under the screen perspective with GL_TEXTURE_2D on.
 * Whatever GL state Draw changes it must put back. */
#ifndef KESTROVA_PLUGIN_INTERFACE_H
#define KESTROVA_PLUGIN_INTERFACE_H

#include <stdint.h>
#include <stdio.h>

typedef void (*PluginInitFunction)(FILE* script, int32_t startTime, int32_t endTime);
typedef void (*PluginDrawFunction)(uint32_t time, float beat);

/* Sync tracks, for a plug-in that also exports
 *
 *   KESTROVA_PLUGIN_EXPORT void InitTracks(const KestrovaTrackFunctions* functions);
 *
 * It is called once, before Init, with the functions through which the
 * plug-in asks for a track by its name (once, say in Init: a connected
 * editor then shows it) and reads the track's value at a frame's music time
 * (in Draw). A track without keys gives no value, and the plug-in keeps its
 * own. The structure lasts for the call only: keep a copy. Its functions,
 * its tracks and the track handles stay valid while the entry lives.
 * Plug-ins without InitTracks load and draw as ever. */
typedef struct KestrovaTracks KestrovaTracks; /* the show's tracks */
typedef struct KestrovaTrack KestrovaTrack;   /* one track */
typedef struct KestrovaTrackFunctions {
    KestrovaTracks* tracks;
    /* The track of that name ("beat_ring:radius"); never null. */
    const KestrovaTrack* (*findTrack)(KestrovaTracks* tracks, const char* name);
    /* When the track has keys: 1, and its value at the time (ms) in *value.
     * Else 0, and *value as it was. */
    int (*trackValue)(const KestrovaTracks* tracks, const KestrovaTrack* track, uint32_t time, float* value);
} KestrovaTrackFunctions;
typedef void (*PluginInitTracksFunction)(const KestrovaTrackFunctions* functions);

#ifdef __cplusplus
#define KESTROVA_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define KESTROVA_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

#endif
