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

#ifdef __cplusplus
#define KESTROVA_PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define KESTROVA_PLUGIN_EXPORT __attribute__((visibility("default")))
#endif

#endif
