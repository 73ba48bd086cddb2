#pragma once

#include "app/CommandLine.h"

// kestrova --check, run in the show's folder: loads the show as --render
// does, in a hidden window (no X display needed), building every entry
// with the real keywords, reads the tracks file and decodes the music, and
// plays nothing. Every problem found goes to standard output as compilers
// write theirs, then a summary line. Returns the exit status: 0 without
// errors (warnings allowed), 1 with any.
int CheckShow(const RunOptions& options);
