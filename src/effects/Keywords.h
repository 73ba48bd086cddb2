#pragma once

#include "script/KeywordTable.h"

#include "gfx/ShaderInputs.h"
#include "sync/SyncTracks.h"

// Every keyword the show's script may use, with how each effect is built.
// A new effect is added here and nowhere else. Plug-ins that ask for tracks
// get the tracks, the authors' shaders the shader inputs; both must outlive
// the effects.
KeywordTable DemoKeywords(SyncTracks* tracks = nullptr, ShaderInputs* shaderInputs = nullptr);
