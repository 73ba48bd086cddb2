#include "gfx/PicturePrefetch.h"

#include <FreeImage.h>

#include <algorithm>
#include <atomic>
#include <cstring>

#include "core/AssetFolders.h"
#include "core/DemoMessage.h"
#include "core/RegularFile.h"
#include "gfx/Texture.h"

namespace {

struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

constexpr std::size_t bytesPerPixel = 4;

PicturePrefetch* current = nullptr;

// Every driver takes 16384 texels a side or fewer; the real limit comes
// with the GL context.
std::atomic<int> largestSide = 16384;

// What the image library says while this thread decodes a picture: the
// library has one message handler for every thread, so each decoding
// thread keeps its own record.
thread_local std::string* decoderMessages = nullptr;

void KeepDecoderMessage(FREE_IMAGE_FORMAT, const char* message)
{
    // A badly damaged file may be reported line by line, and the header's
    // reading says again what the decoding will: the first few, once, say
    // enough.
    constexpr std::size_t enough = 200;
    if (decoderMessages != nullptr && message != nullptr && decoderMessages->size() < enough &&
        decoderMessages->find(message) == std::string::npos) {
        if (!decoderMessages->empty()) {
            *decoderMessages += "; ";
        }
        *decoderMessages += message;
    }
}

class DecoderMessages {
public:
    DecoderMessages()
    {
        // Set once, by whichever thread decodes first.
        [[maybe_unused]] static const bool handled = (FreeImage_SetOutputMessage(KeepDecoderMessage), true);
        decoderMessages = &said;
    }
    ~DecoderMessages() { decoderMessages = nullptr; }
    DecoderMessages(const DecoderMessages&) = delete;
    DecoderMessages& operator=(const DecoderMessages&) = delete;

    const std::string& Said() const { return said; }

private:
    std::string said;
};

std::size_t BytesOf(const PictureLevel& level)
{
    return static_cast<std::size_t>(level.width) * static_cast<std::size_t>(level.height) * bytesPerPixel;
}

DecodedPicture Copy(const DecodedPicture& picture)
{
    DecodedPicture copy;
    copy.opaque = picture.opaque;
    copy.problem = picture.problem;
    for (const PictureLevel& level : picture.levels) {
        PictureLevel& copied = copy.levels.emplace_back(PictureLevel{level.width, level.height, nullptr});
        copied.pixels = std::make_unique_for_overwrite<std::uint8_t[]>(BytesOf(level));
        std::memcpy(copied.pixels.get(), level.pixels.get(), BytesOf(level));
    }
    return copy;
}

DecodedPicture Refused(std::string problem)
{
    DecodedPicture picture;
    picture.problem = std::move(problem);
    return picture;
}

bool SquarePowerOfTwo(int width, int height)
{
    return width == height && (width & (width - 1)) == 0;
}

// The next level down: every texel the mean of a square of four, rounded as
// GLU rounds it.
PictureLevel Halved(const PictureLevel& level)
{
    PictureLevel half{level.width / 2, level.height / 2, nullptr};
    half.pixels = std::make_unique_for_overwrite<std::uint8_t[]>(BytesOf(half));
    const std::size_t row = static_cast<std::size_t>(level.width) * bytesPerPixel;
    for (int y = 0; y < half.height; ++y) {
        const std::uint8_t* upper = level.pixels.get() + static_cast<std::size_t>(2 * y) * row;
        const std::uint8_t* lower = upper + row;
        std::uint8_t* out = half.pixels.get() + static_cast<std::size_t>(y) * half.width * bytesPerPixel;
        for (int x = 0; x < half.width; ++x) {
            for (std::size_t c = 0; c < bytesPerPixel; ++c) {
                const std::size_t at = static_cast<std::size_t>(2 * x) * bytesPerPixel + c;
                out[static_cast<std::size_t>(x) * bytesPerPixel + c] = static_cast<std::uint8_t>(
                    (upper[at] + upper[at + bytesPerPixel] + lower[at] + lower[at + bytesPerPixel] + 2) / 4);
            }
        }
    }
    return half;
}

bool EveryAlphaFull(const PictureLevel& level)
{
    const std::size_t bytes = static_cast<std::size_t>(level.width) * static_cast<std::size_t>(level.height) * bytesPerPixel;
    for (std::size_t alpha = 3; alpha < bytes; alpha += bytesPerPixel) {
        if (level.pixels[alpha] != 0xFF) {
            return false;
        }
    }
    return true;
}

}  // namespace

void SetLargestTextureSide(int side)
{
    largestSide = side;
}

int LargestTextureSide()
{
    return largestSide;
}

DecodedPicture DecodePicture(const std::string& path)
{
    if (IsSpecialFile(path)) {
        return Refused("not a regular file");
    }
    const FREE_IMAGE_FORMAT type = FreeImage_GetFileType(path.c_str(), 0);
    if (type == FIF_UNKNOWN) {
        return {};
    }
    const DecoderMessages messages;
    if (FreeImage_FIFSupportsNoPixels(type)) {
        const Bitmap header(FreeImage_Load(type, path.c_str(), FIF_LOAD_NOPIXELS));
        const unsigned width = header ? FreeImage_GetWidth(header.get()) : 0;
        const unsigned height = header ? FreeImage_GetHeight(header.get()) : 0;
        const auto largest = static_cast<unsigned>(LargestTextureSide());
        if (width > largest || height > largest) {
            return Refused(FormatText("%u x %u pixels, larger than the largest texture, %u x %u",
                                      width, height, largest, largest));
        }
    }
    const Bitmap bitmap(FreeImage_Load(type, path.c_str(), 0));
    Bitmap converted;
    FIBITMAP* pixelsSource = bitmap.get();
    if (bitmap && FreeImage_GetBPP(bitmap.get()) != 32 && FreeImage_GetBPP(bitmap.get()) != 24) {
        converted.reset(FreeImage_ConvertTo32Bits(bitmap.get()));
        pixelsSource = converted.get();
    }
    const int width = pixelsSource ? static_cast<int>(FreeImage_GetWidth(pixelsSource)) : 0;
    const int height = pixelsSource ? static_cast<int>(FreeImage_GetHeight(pixelsSource)) : 0;
    if (width <= 0 || height <= 0) {
        return Refused(messages.Said());
    }
    DecodedPicture picture;
    picture.problem = messages.Said();
    // 24-bit pictures (every JPEG) are widened in the same pass, sparing the
    // library's conversion and its copy.
    const int sourceBytesPerPixel = static_cast<int>(FreeImage_GetBPP(pixelsSource)) / 8;
    picture.levels.push_back(
        {width, height, UprightRgba([pixelsSource](int row) { return FreeImage_GetScanLine(pixelsSource, row); }, width, height,
                                    sourceBytesPerPixel)});
    picture.opaque = sourceBytesPerPixel == 3 || EveryAlphaFull(picture.levels.front());
    if (SquarePowerOfTwo(width, height)) {
        while (picture.levels.back().width > 1) {
            picture.levels.push_back(Halved(picture.levels.back()));
        }
    }
    return picture;
}

PicturePrefetch::PicturePrefetch(const std::vector<std::string>& paths, std::size_t held) : held(std::max<std::size_t>(held, 1))
{
    for (const std::string& path : paths) {
        Entry& entry = entries[path];
        if (entry.uses++ == 0) {
            order.push_back(path);
        }
    }
    const unsigned threads = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned thread = 0; thread < threads && thread < order.size(); ++thread) {
        workers.emplace_back([this] { Work(); });
    }
}

PicturePrefetch::~PicturePrefetch()
{
    {
        const std::lock_guard lock(mutex);
        stopping = true;
    }
    changed.notify_all();
    for (std::thread& worker : workers) {
        worker.join();
    }
}

void PicturePrefetch::Work()
{
    std::unique_lock lock(mutex);
    for (;;) {
        // Past pictures the loader took first, decoding them itself.
        while (next < order.size() && entries[order[next]].state != Entry::State::waiting) {
            ++next;
        }
        changed.wait(lock, [this] { return stopping || next >= order.size() || decodedHeld < held; });
        if (stopping || next >= order.size()) {
            return;
        }
        if (entries[order[next]].state != Entry::State::waiting) {
            continue;
        }
        const std::string& path = order[next++];
        Decode(lock, path, entries[path]);
    }
}

void PicturePrefetch::Decode(std::unique_lock<std::mutex>& lock, const std::string& path, Entry& entry)
{
    entry.state = Entry::State::decoding;
    lock.unlock();
    // The texture that takes it says where it came from, on the builder's thread.
    DecodedPicture picture = DecodePicture(LocateAsset(path));
    lock.lock();
    entry.picture = std::move(picture);
    entry.state = Entry::State::decoded;
    ++decodedHeld;
    changed.notify_all();
}

std::optional<DecodedPicture> PicturePrefetch::Take(const std::string& path)
{
    std::unique_lock lock(mutex);
    const auto found = entries.find(path);
    if (found == entries.end() || found->second.uses == 0) {
        return std::nullopt;
    }
    Entry& entry = found->second;
    if (entry.state == Entry::State::waiting) {
        Decode(lock, path, entry);
    }
    changed.wait(lock, [&entry] { return entry.state == Entry::State::decoded; });
    if (--entry.uses > 0) {
        return Copy(entry.picture);
    }
    --decodedHeld;
    changed.notify_all();
    return std::move(entry.picture);
}

PicturePrefetchScope::PicturePrefetchScope(PicturePrefetch& prefetch) : previous(current)
{
    current = &prefetch;
}

PicturePrefetchScope::~PicturePrefetchScope()
{
    current = previous;
}

PicturePrefetch* PicturePrefetchScope::Current()
{
    return current;
}
