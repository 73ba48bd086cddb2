#include "capture/VideoFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

std::optional<VideoFormat> VideoFormatFor(const std::string& path)
{
    // "SHOW.MP4" is as much an MP4 file as "show.mp4".
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".mp4") {
        return VideoFormat{"mp4", "aac"};
    }
    if (extension == ".mkv") {
        return VideoFormat{"matroska", "flac"};
    }
    return std::nullopt;
}
