#pragma once

#include <cstdio>
#include <string_view>

// The demo's diagnostic log: every text goes, in order and unchanged, to
// standard error. There are no levels; callers supply their own line breaks.
// Only a line longer than 4096 bytes is cut there, with a note of the bytes
// left out.
void DebugOutput(std::string_view text);

// Also copies every later text to the given open file; null stops copying.
// The caller keeps the file open while it is set.
void SetDebugLogFile(std::FILE* file);
