#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "music/DecodedMusic.h"

// Tracker modules (MOD, XM, S3M, IT and every other format libopenmpt
// reads) become music like any other: rendered once, whole, in stereo at
// 48 kHz with the library's own interpolation and stereo separation, from
// the song's start to the end of its first pass. A song that jumps back to
// loop for ever ends where it would first repeat itself. The music keeps
// the rows the song played, where each began (see ModuleRows).
namespace ModuleRendering {

inline constexpr int sampleRate = 48000;

// No song longer than this is rendered: an hour of sound is over a
// gigabyte of samples, and a few bytes of module can ask for days.
inline constexpr double longestSeconds = 3600.0;

// How many of a file's first bytes tell whether it is a module.
std::size_t ProbeSize();

// Whether a file that begins with these bytes (all of it, when it is no
// longer than ProbeSize) is a module libopenmpt reads.
bool LooksLikeModule(std::span<const std::byte> start, std::uint64_t fileSize);

// The module's sound, or nothing when libopenmpt cannot read it or its
// first pass lasts longer than longestSeconds (or than `limit`, where
// shorter).
std::optional<DecodedMusic> Render(std::span<const std::byte> bytes, double limit = longestSeconds);

}  // namespace ModuleRendering
