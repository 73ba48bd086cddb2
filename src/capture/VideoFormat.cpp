#include "capture/VideoFormat.h"

#include <filesystem>

std::optional<VideoFormat> VideoFormatFor(const std::string& path)
{
    const std::string extension = std::filesystem::path(path).extension().string();
    if (extension == ".mp4") {
        return VideoFormat{"mp4", "aac"};
    }
    if (extension == ".mkv") {
        return VideoFormat{"matroska", "flac"};
    }
    return std::nullopt;
}
