#pragma once

#include <future>
#include <memory>
#include <string>

#include "music/DecodedMusic.h"

// The music decoded on a thread of its own from the moment the script names
// it, while the show is built; taken, and waited for, when it is to play.
class MusicDecoding {
public:
    MusicDecoding() = default;
    // Waits for a decoding still under way.
    ~MusicDecoding();
    MusicDecoding(const MusicDecoding&) = delete;
    MusicDecoding& operator=(const MusicDecoding&) = delete;

    void Start(const std::string& path);

    // The music at path: the decoding Start began for it, waited for, or
    // else decoded now. Throws as DecodedMusic::Load does, at this point,
    // whenever the decoding failed.
    std::shared_ptr<const DecodedMusic> Take(const std::string& path);

private:
    std::string started;
    std::future<std::shared_ptr<const DecodedMusic>> decoding;
};
