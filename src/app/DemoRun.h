#pragma once

#include "app/CommandLine.h"

// The whole run: display, loading, music and frame loop, or offline
// rendering. Every fatal message, and the end of the show, is reported here.
// Returns the process's exit code: -1 when the viewer cancels the video
// setup dialog (then no window opens and nothing is loaded), otherwise 0,
// also after a reported message.
int RunDemo(const RunOptions& options);
