#include "capture/VideoEncoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <string_view>

#include "core/DemoMessage.h"

namespace {

void Check(int result, const char* what)
{
    if (result < 0) {
        char reason[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(result, reason, sizeof reason);
        throw DemoMessage(FormatText("%s (%s)", what, reason));
    }
}

template <typename T>
T* Allocated(T* object, const char* what)
{
    if (object == nullptr) {
        throw DemoMessage(FormatText("%s (out of memory)", what));
    }
    return object;
}

// Encoders whose frames may have any length take this many samples a frame.
constexpr int variableAudioFrameSize = 4096;

}  // namespace

void LibavDeleter::operator()(AVFormatContext* output) const
{
    if (output->pb != nullptr) {
        avio_closep(&output->pb);
    }
    avformat_free_context(output);
}
void LibavDeleter::operator()(AVCodecContext* codec) const { avcodec_free_context(&codec); }
void LibavDeleter::operator()(AVFrame* frame) const { av_frame_free(&frame); }
void LibavDeleter::operator()(AVPacket* packet) const { av_packet_free(&packet); }
void LibavDeleter::operator()(SwsContext* scaler) const { sws_freeContext(scaler); }
void LibavDeleter::operator()(SwrContext* resampler) const { swr_free(&resampler); }
void LibavDeleter::operator()(AVAudioFifo* fifo) const { av_audio_fifo_free(fifo); }

VideoEncoder::VideoEncoder(const Settings& settings)
    : width(settings.width), height(settings.height), channels(settings.channels)
{
    // x264 and the muxers report every file's statistics at the info level.
    av_log_set_level(AV_LOG_ERROR);

    AVFormatContext* context = nullptr;
    Check(avformat_alloc_output_context2(&context, nullptr, settings.format.containerName, settings.path.c_str()),
          "the container cannot be made");
    output.reset(context);
    OpenVideo(settings);
    OpenAudio(settings);
    packet.reset(Allocated(av_packet_alloc(), "no packet"));

    Check(avio_open(&output->pb, settings.path.c_str(), AVIO_FLAG_WRITE), "the file cannot be written");
    AVDictionary* options = nullptr;
    if (std::string_view(settings.format.containerName) == "mp4") {
        // The index goes to the front, so the video plays while it is still
        // being downloaded, as video sites want.
        av_dict_set(&options, "movflags", "+faststart", 0);
    }
    const int header = avformat_write_header(output.get(), &options);
    av_dict_free(&options);
    Check(header, "the file's header cannot be written");
}

VideoEncoder::~VideoEncoder() = default;

void VideoEncoder::OpenVideo(const Settings& settings)
{
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (codec == nullptr) {
        throw DemoMessage("this FFmpeg has no H.264 encoder (libx264)");
    }
    video.stream = Allocated(avformat_new_stream(output.get(), nullptr), "no video stream");
    video.codec.reset(Allocated(avcodec_alloc_context3(codec), "no video encoder"));
    AVCodecContext& c = *video.codec;
    c.width = width;
    c.height = height;
    c.time_base = {1, settings.framesPerSecond};
    c.framerate = {settings.framesPerSecond, 1};
    c.gop_size = 2 * settings.framesPerSecond;  // players can seek to every second second
    c.pix_fmt = AV_PIX_FMT_YUV420P;
    c.color_range = AVCOL_RANGE_MPEG;
    c.color_primaries = AVCOL_PRI_BT709;
    c.color_trc = AVCOL_TRC_BT709;
    c.colorspace = AVCOL_SPC_BT709;
    if (output->oformat->flags & AVFMT_GLOBALHEADER) {
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    av_opt_set_double(c.priv_data, "crf", settings.quality, 0);
    av_opt_set(c.priv_data, "preset", "veryfast", 0);
    Check(avcodec_open2(&c, codec, nullptr), "the H.264 encoder does not start");
    Check(avcodec_parameters_from_context(video.stream->codecpar, &c), "the video stream cannot be described");
    video.stream->time_base = c.time_base;
    video.stream->avg_frame_rate = c.framerate;

    videoFrame.reset(Allocated(av_frame_alloc(), "no video frame"));
    videoFrame->format = c.pix_fmt;
    videoFrame->width = width;
    videoFrame->height = height;
    Check(av_frame_get_buffer(videoFrame.get(), 0), "no video frame");

    scaler.reset(Allocated(sws_getContext(width, height, AV_PIX_FMT_RGBA, width, height, AV_PIX_FMT_YUV420P,
                                          SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr),
                           "no colour converter"));
    // Full-range RGB in, studio-range BT.709 out, as the stream says.
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(scaler.get(), bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
}

void VideoEncoder::OpenAudio(const Settings& settings)
{
    const AVCodec* codec = avcodec_find_encoder_by_name(settings.format.audioEncoder);
    if (codec == nullptr) {
        throw DemoMessage(FormatText("this FFmpeg has no %s encoder", settings.format.audioEncoder));
    }
    audio.stream = Allocated(avformat_new_stream(output.get(), nullptr), "no audio stream");
    audio.codec.reset(Allocated(avcodec_alloc_context3(codec), "no audio encoder"));
    AVCodecContext& c = *audio.codec;
    c.sample_rate = settings.sampleRate;
    av_channel_layout_default(&c.ch_layout, channels);
    c.time_base = {1, settings.sampleRate};
    if (std::string_view(codec->name) == "flac") {
        // 24 bits keep every detail of the decoded float music.
        c.sample_fmt = AV_SAMPLE_FMT_S32;
        c.bits_per_raw_sample = 24;
    } else {
        c.sample_fmt = codec->sample_fmts[0];
        c.bit_rate = 96000 * channels;
    }
    if (output->oformat->flags & AVFMT_GLOBALHEADER) {
        c.flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    Check(avcodec_open2(&c, codec, nullptr), "the audio encoder does not start");
    Check(avcodec_parameters_from_context(audio.stream->codecpar, &c), "the audio stream cannot be described");
    audio.stream->time_base = c.time_base;

    const bool anyLength = (codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE) != 0 || c.frame_size <= 0;
    audioFrameSize = anyLength ? variableAudioFrameSize : c.frame_size;
    audioFrame.reset(Allocated(av_frame_alloc(), "no audio frame"));
    audioFrame->format = c.sample_fmt;
    audioFrame->nb_samples = audioFrameSize;
    audioFrame->sample_rate = c.sample_rate;
    Check(av_channel_layout_copy(&audioFrame->ch_layout, &c.ch_layout), "no audio frame");
    Check(av_frame_get_buffer(audioFrame.get(), 0), "no audio frame");

    SwrContext* converter = nullptr;
    Check(swr_alloc_set_opts2(&converter, &c.ch_layout, c.sample_fmt, c.sample_rate, &c.ch_layout, AV_SAMPLE_FMT_FLT,
                              c.sample_rate, 0, nullptr),
          "no sample converter");
    resampler.reset(converter);
    Check(swr_init(resampler.get()), "no sample converter");
    soundQueue.reset(Allocated(av_audio_fifo_alloc(AV_SAMPLE_FMT_FLT, channels, 4 * audioFrameSize), "no sound buffer"));
    soundChunk.resize(static_cast<std::size_t>(audioFrameSize) * channels);
}

void VideoEncoder::AddVideoFrame(const std::uint8_t* rgba)
{
    Check(av_frame_make_writable(videoFrame.get()), "no video frame");
    // GL's rows run bottom up: start at the top row and step backwards.
    const int stride = width * 4;
    const std::uint8_t* rows[1] = {rgba + static_cast<std::ptrdiff_t>(height - 1) * stride};
    const int strides[1] = {-stride};
    sws_scale(scaler.get(), rows, strides, 0, height, videoFrame->data, videoFrame->linesize);
    videoFrame->pts = video.nextPts++;
    Encode(video, videoFrame.get());
}

void VideoEncoder::AddAudio(std::span<const float> interleaved)
{
    const int samples = static_cast<int>(interleaved.size() / channels);
    void* data[1] = {const_cast<float*>(interleaved.data())};
    if (av_audio_fifo_write(soundQueue.get(), data, samples) < samples) {
        throw DemoMessage("the sound cannot be buffered (out of memory)");
    }
    EncodeBufferedAudio(false);
}

void VideoEncoder::EncodeBufferedAudio(bool atTheEnd)
{
    for (;;) {
        const int buffered = av_audio_fifo_size(soundQueue.get());
        if (buffered == 0 || (buffered < audioFrameSize && !atTheEnd)) {
            return;
        }
        const int samples = std::min(buffered, audioFrameSize);
        void* chunk[1] = {soundChunk.data()};
        av_audio_fifo_read(soundQueue.get(), chunk, samples);
        Check(av_frame_make_writable(audioFrame.get()), "no audio frame");
        audioFrame->nb_samples = samples;
        const std::uint8_t* in[1] = {reinterpret_cast<const std::uint8_t*>(soundChunk.data())};
        Check(swr_convert(resampler.get(), audioFrame->data, samples, in, samples), "the sound cannot be converted");
        audioFrame->pts = audio.nextPts;
        audio.nextPts += samples;
        Encode(audio, audioFrame.get());
    }
}

void VideoEncoder::Encode(Stream& stream, AVFrame* frame)
{
    Check(avcodec_send_frame(stream.codec.get(), frame), "the encoder failed");
    for (;;) {
        const int result = avcodec_receive_packet(stream.codec.get(), packet.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) {
            return;
        }
        Check(result, "the encoder failed");
        av_packet_rescale_ts(packet.get(), stream.codec->time_base, stream.stream->time_base);
        packet->stream_index = stream.stream->index;
        Check(av_interleaved_write_frame(output.get(), packet.get()), "the file cannot be written");
    }
}

void VideoEncoder::Finish()
{
    EncodeBufferedAudio(true);
    Encode(video, nullptr);
    Encode(audio, nullptr);
    Check(av_write_trailer(output.get()), "the file cannot be completed");
    Check(avio_closep(&output->pb), "the file cannot be completed");
}
