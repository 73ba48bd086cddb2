#pragma once

#include <optional>
#include <string>

#include "script/KeywordTable.h"

// The edits (a character inserted, removed or replaced) that turn one text
// into the other, letters compared without their case.
std::size_t EditDistance(const std::string& from, const std::string& to);

// The known keyword a word was most likely meant to be: the nearest by edit
// distance, the first in the table among equals, when it lies within a
// third of the shorter one's length (at least one edit). Nothing when none
// is that near.
std::optional<std::string> NearestKeyword(const KeywordTable& keywords, const std::string& word);

// A keyword is a word: a longer one in a message is junk, and no more of it
// than this is shown.
inline constexpr std::size_t keywordShown = 60;

// What a check says of a line where a keyword should stand and none does:
// "unknown keyword 'Plasm2D' (did you mean Plasma2D?)".
// The word is shown as PrintableText with keywordShown characters.
std::string UnknownKeywordNote(const KeywordTable& keywords, const std::string& word);
