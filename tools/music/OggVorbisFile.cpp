#include "music/OggVorbisFile.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "music/Tempo.h"

namespace {

constexpr float vorbisQuality = 0.6f;  // about 192 kbit/s for stereo
constexpr int streamSerial = 0x4B455354;
constexpr std::size_t chunkFrames = 4096;

// The encoder's state, set up for stereo at the track's rate and torn down
// in reverse order.
class VorbisEncoder {
public:
    VorbisEncoder()
    {
        vorbis_info_init(&info);
        if (vorbis_encode_init_vbr(&info, 2, Tempo::sampleRate, vorbisQuality) != 0) {
            vorbis_info_clear(&info);
            throw std::runtime_error("The Vorbis encoder refused its settings");
        }
        vorbis_comment_init(&comment);
        vorbis_comment_add_tag(&comment, "TITLE", "Kestrova");
        vorbis_analysis_init(&state, &info);
        vorbis_block_init(&state, &block);
        ogg_stream_init(&stream, streamSerial);
    }

    ~VorbisEncoder()
    {
        ogg_stream_clear(&stream);
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&state);
        vorbis_comment_clear(&comment);
        vorbis_info_clear(&info);
    }

    VorbisEncoder(const VorbisEncoder&) = delete;
    VorbisEncoder& operator=(const VorbisEncoder&) = delete;

    // The three header packets, each flushed onto pages of their own as
    // players expect.
    void WriteHeaders(std::ofstream& file)
    {
        ogg_packet identification;
        ogg_packet comments;
        ogg_packet codebooks;
        vorbis_analysis_headerout(&state, &comment, &identification, &comments, &codebooks);
        ogg_stream_packetin(&stream, &identification);
        ogg_stream_packetin(&stream, &comments);
        ogg_stream_packetin(&stream, &codebooks);
        ogg_page page;
        while (ogg_stream_flush(&stream, &page) != 0) {
            WritePage(file, page);
        }
    }

    // Hands frames to the encoder; no frames marks the end of the audio.
    void Encode(const StereoBuffer& audio, std::size_t first, std::size_t count, std::ofstream& file)
    {
        if (count > 0) {
            float** buffer = vorbis_analysis_buffer(&state, static_cast<int>(count));
            std::copy_n(audio.left.begin() + static_cast<std::ptrdiff_t>(first), count, buffer[0]);
            std::copy_n(audio.right.begin() + static_cast<std::ptrdiff_t>(first), count, buffer[1]);
        }
        vorbis_analysis_wrote(&state, static_cast<int>(count));
        WriteReadyPages(file);
    }

private:
    static void WritePage(std::ofstream& file, const ogg_page& page)
    {
        file.write(reinterpret_cast<const char*>(page.header), page.header_len);
        file.write(reinterpret_cast<const char*>(page.body), page.body_len);
    }

    void WriteReadyPages(std::ofstream& file)
    {
        while (vorbis_analysis_blockout(&state, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&state, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                ogg_page page;
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    WritePage(file, page);
                }
                if (packet.e_o_s != 0) {
                    while (ogg_stream_flush(&stream, &page) != 0) {
                        WritePage(file, page);
                    }
                }
            }
        }
    }

    vorbis_info info{};
    vorbis_comment comment{};
    vorbis_dsp_state state{};
    vorbis_block block{};
    ogg_stream_state stream{};
};

}  // namespace

void SaveOggVorbis(const StereoBuffer& audio, const std::filesystem::path& path)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        throw std::runtime_error("Unable to create " + path.string());
    }
    VorbisEncoder encoder;
    encoder.WriteHeaders(file);
    for (std::size_t first = 0; first < audio.Frames(); first += chunkFrames) {
        encoder.Encode(audio, first, std::min(chunkFrames, audio.Frames() - first), file);
    }
    encoder.Encode(audio, 0, 0, file);
    if (!file.flush()) {
        throw std::runtime_error("Unable to write " + path.string());
    }
}
