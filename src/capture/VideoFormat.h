#pragma once

#include <optional>
#include <string>

// The kinds of video file a capture writes, told apart by the file's
// extension: H.264 with AAC sound in MP4, or H.264 with lossless FLAC sound
// in Matroska.
struct VideoFormat {
    const char* containerName;  // FFmpeg's name of the muxer
    const char* audioEncoder;
};

// Nothing for an extension no format has.
std::optional<VideoFormat> VideoFormatFor(const std::string& path);

// For messages: the extensions that work, and what each gives.
inline constexpr const char* knownVideoExtensions = ".mp4 (H.264 and AAC) or .mkv (H.264 and FLAC)";
