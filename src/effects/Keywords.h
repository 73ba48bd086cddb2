#pragma once

#include "script/KeywordTable.h"

// Every keyword the show's script may use, with how each effect is built.
// A new effect is added here and nowhere else.
KeywordTable DemoKeywords();
