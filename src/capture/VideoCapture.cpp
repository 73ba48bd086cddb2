#include "capture/VideoCapture.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "core/DemoMessage.h"

namespace {
std::string PartOf(const std::string& path)
{
    return path + ".part";
}
}  // namespace

void VideoCapture::CheckWritable(const std::string& path)
{
    const std::string part = PartOf(path);
    std::FILE* file = std::fopen(part.c_str(), "wb");
    if (file == nullptr) {
        throw DemoMessage(FormatText("%s cannot be written (%s)", part.c_str(), std::strerror(errno)));
    }
    std::fclose(file);
    std::remove(part.c_str());
}

VideoCapture::VideoCapture(const Settings& settings, std::shared_ptr<const DecodedMusic> music,
                           const CaptureTimeline& timeline)
    : path(settings.path), partPath(PartOf(settings.path)), music(std::move(music)), timeline(timeline),
      reader(settings.width, settings.height)
{
    const std::optional<VideoFormat> format = VideoFormatFor(path);
    if (!format) {
        throw DemoMessage(FormatText("videos are written as %s", knownVideoExtensions));
    }
    try {
        encoder = std::make_unique<VideoEncoder>(VideoEncoder::Settings{
            .path = partPath,
            .format = *format,
            .width = settings.width,
            .height = settings.height,
            .framesPerSecond = settings.framesPerSecond,
            .quality = settings.quality,
            .sampleRate = this->music->SampleRate(),
            .channels = this->music->Channels(),
        });
        thread = std::make_unique<EncoderThread>(
            *encoder, reader.FrameBytes(), static_cast<std::size_t>(timeline.MostSoundPerFrame()) * this->music->Channels());
    } catch (...) {
        encoder.reset();
        std::remove(partPath.c_str());
        throw;
    }
}

VideoCapture::~VideoCapture()
{
    thread.reset();
    encoder.reset();
    if (!finished) {
        std::remove(partPath.c_str());
    }
}

void VideoCapture::AddFrame()
{
    reader.Start();
    ++added;
    if (reader.Waiting() == reader.Capacity()) {
        EncodeOldestRead();
    }
}

void VideoCapture::EncodeOldestRead()
{
    EncoderThread::Frame& frame = thread->NextFree();
    reader.TakeOldest(frame.pixels.data());
    const std::int64_t first = timeline.SoundBefore(encoded);
    const std::int64_t samples = timeline.SoundBefore(encoded + 1) - first;
    frame.soundValues = static_cast<std::size_t>(samples) * music->Channels();
    music->CopyLooped(timeline.FirstSample() + first, {frame.sound.data(), frame.soundValues});
    thread->Submit();
    ++encoded;
}

std::uintmax_t VideoCapture::Finish()
{
    while (reader.Waiting() > 0) {
        EncodeOldestRead();
    }
    thread->Finish();
    std::error_code error;
    std::filesystem::rename(partPath, path, error);
    if (error) {
        throw DemoMessage(FormatText("%s cannot be renamed (%s)", partPath.c_str(), error.message().c_str()));
    }
    finished = true;
    return std::filesystem::file_size(path, error);
}
