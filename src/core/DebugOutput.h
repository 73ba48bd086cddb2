#pragma once

#include <string_view>

// The demo's diagnostic log: every text goes, in order and unchanged, to
// standard error. There are no levels; callers supply their own line breaks.
void DebugOutput(std::string_view text);
