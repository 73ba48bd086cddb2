#include "music/MusicDecoding.h"

MusicDecoding::~MusicDecoding()
{
    if (decoding.valid()) {
        decoding.wait();
    }
}

void MusicDecoding::Start(const std::string& path)
{
    if (decoding.valid()) {
        decoding.wait();
    }
    started = path;
    decoding = std::async(std::launch::async,
                          [path] { return std::make_shared<const DecodedMusic>(DecodedMusic::Load(path)); });
}

std::shared_ptr<const DecodedMusic> MusicDecoding::Take(const std::string& path)
{
    if (decoding.valid() && started == path) {
        return decoding.get();
    }
    return std::make_shared<const DecodedMusic>(DecodedMusic::Load(path));
}
