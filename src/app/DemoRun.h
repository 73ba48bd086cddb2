#pragma once

#include "app/CommandLine.h"

// The whole run: display, loading, music and frame loop, or offline
// rendering. Every fatal message, and the end of the show, is reported here.
// Returns the process's exit code: -1 when the viewer cancels the video
// setup dialog (then no window opens and nothing is loaded), 0 when the run
// ends as meant (the end of the show, Escape, the window closed), 1 after
// any other message.
int RunDemo(const RunOptions& options);
