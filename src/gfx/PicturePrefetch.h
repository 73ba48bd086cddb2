#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

// One level of a picture: 4 bytes R, G, B, A per pixel, top row first.
struct PictureLevel {
    int width = 0;
    int height = 0;
    std::unique_ptr<std::uint8_t[]> pixels;
};

// A picture file decoded into the pixels a texture uploads, with its
// mipmap levels when they could be worked out here. No levels: the file
// could not be read.
struct DecodedPicture {
    std::vector<PictureLevel> levels;  // full size first
    bool opaque = false;               // every pixel's alpha is full
    // What is wrong with the file, when something is and it exists: why no
    // levels, or what the decoder met in a file it decoded all the same
    // (a JPEG cut short decodes with its missing rows grey).
    std::string problem;
};

// Decodes with the image library and, for a square picture whose side is a
// power of two, halves it down to one pixel exactly as GLU's mipmap builder
// does (each texel the rounded mean of four); needs no GL, runs on any
// thread. A picture with a side longer than the largest texture side is
// refused from its header, before its pixels are decoded.
DecodedPicture DecodePicture(const std::string& path);

// The longest side a texture may have: the driver's, once a GL context
// says so. Until then, that of the largest texture any driver takes.
void SetLargestTextureSide(int side);
int LargestTextureSide();

// Decodes the pictures the loader will need, in the order it will need
// them, on worker threads (one per core), while the loader builds the show
// on the main thread; the textures take them from here instead of decoding
// them. Each picture is decoded once however often it is named. At most
// `held` pictures wait to be taken at a time. A picture taken before a
// worker reached it is decoded by the thread that takes it, so nothing
// waits on a guess that turned out wrong.
class PicturePrefetch {
public:
    PicturePrefetch(const std::vector<std::string>& paths, std::size_t held = 8);
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch&) = delete;
    PicturePrefetch& operator=(const PicturePrefetch&) = delete;

    // The picture at path, if it is one of those given: waited for when a
    // worker is decoding it. Nothing for any other path.
    std::optional<DecodedPicture> Take(const std::string& path);

private:
    struct Entry {
        int uses = 0;  // how often the list names it and it has not been taken
        enum class State { waiting, decoding, decoded } state = State::waiting;
        DecodedPicture picture;
    };
    void Work();
    // Decodes a waiting entry with the lock released meanwhile.
    void Decode(std::unique_lock<std::mutex>& lock, const std::string& path, Entry& entry);

    std::vector<std::string> order;  // each picture once
    std::map<std::string, Entry> entries;
    std::size_t next = 0;            // the next picture of `order` for a worker
    std::size_t decodedHeld = 0;
    std::size_t held;
    bool stopping = false;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::thread> workers;
};

// The prefetch textures take their pictures from while it lives: the
// loader sets one up for the time it builds the show.
class PicturePrefetchScope {
public:
    explicit PicturePrefetchScope(PicturePrefetch& prefetch);
    ~PicturePrefetchScope();
    PicturePrefetchScope(const PicturePrefetchScope&) = delete;
    PicturePrefetchScope& operator=(const PicturePrefetchScope&) = delete;

    // The prefetch in force, or null.
    static PicturePrefetch* Current();

private:
    PicturePrefetch* previous;
};
