#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "gfx/Gl.h"
#include "gfx/PicturePrefetch.h"

// Pixels handed to CTexture::Upload: width x height pixels of 4 bytes each,
// rows stored without padding; the first row in memory becomes texture row
// 0 (t = 0). The caller keeps ownership of the pixels.
struct TextureImage {
    const std::uint8_t* pixels;
    int width;
    int height;
    bool mirrored;  // mirrored-repeat wrapping instead of plain repeat
    GLenum format;  // only GL_RGBA is accepted
};

// One GL 2D texture, owned by value by whatever draws with it. Every texture
// repeats (or mirrors) and filters linearly both ways; mipmaps are built.
class CTexture {
public:
    CTexture();
    virtual ~CTexture();

    CTexture(const CTexture&) = delete;
    CTexture& operator=(const CTexture&) = delete;

    // Fills the texture and leaves no texture bound. Throws "Unknown
    // pixeldepth" for any format but GL_RGBA.
    virtual void Upload(TextureImage image);

    // The same for a picture whose mipmap levels are worked out already
    // (all of them, down to one pixel): the texture GLU would have built.
    void UploadLevels(const std::vector<PictureLevel>& levels);

    GLuint textureId = 0;
    // Every texel's alpha is full, so blending it by its alpha over anything
    // gives the texture itself; only pictures read from a file say so.
    bool opaque = false;
};

// A texture read from an image file; the file type is found from the
// contents, any bit depth is converted to 32 bits.
class CTextureFreeImage : public CTexture {
public:
    // A null path creates the texture name and loads nothing.
    explicit CTextureFreeImage(const char* path);

    // A missing or unreadable file leaves the texture empty and says so in
    // the debug output; the show goes on.
    void LoadFromFile(const char* path);
};

// Turns rows in the image library's layout (bottom row first, bytes B, G, R
// and, in 32-bit rows, A) into the one Upload takes (top row first, bytes
// R, G, B, A) in one pass: rows are reversed, bytes 0 and 2 of every pixel
// swap, and 24-bit pixels get full alpha, as the library's own conversion
// would give them. sourceRow(n) is row n counted from the bottom.
std::unique_ptr<std::uint8_t[]> UprightRgba(const std::function<const std::uint8_t*(int row)>& sourceRow, int width, int height,
                                            int sourceBytesPerPixel);
