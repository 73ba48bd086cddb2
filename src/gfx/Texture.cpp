#include "gfx/Texture.h"

#include <cstring>
#include <optional>

#include "core/AssetFolders.h"
#include "core/DebugOutput.h"
#include "core/FileReads.h"
#include "core/DemoMessage.h"
#include "gfx/Guards.h"
#include "gfx/PicturePrefetch.h"

namespace {

constexpr std::size_t bytesPerPixel = 4;

std::size_t PixelCount(int width, int height)
{
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

}  // namespace

CTexture::CTexture()
{
    glGenTextures(1, &textureId);
}

CTexture::~CTexture()
{
    glDeleteTextures(1, &textureId);
}

namespace {

// What every texture gets, before its pixels.
void SetParameters(bool mirrored)
{
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    const GLint wrap = mirrored ? GL_MIRRORED_REPEAT : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, static_cast<GLfloat>(GL_MODULATE));
}

}  // namespace

void CTexture::Upload(TextureImage image)
{
    TextureBinding binding(textureId);
    SetParameters(image.mirrored);
    if (image.format != GL_RGBA) {
        throw DemoMessage("Unknown pixeldepth");
    }
    gluBuild2DMipmaps(GL_TEXTURE_2D, GL_RGBA, image.width, image.height, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels);
}

void CTexture::UploadLevels(const std::vector<PictureLevel>& levels)
{
    TextureBinding binding(textureId);
    SetParameters(false);
    for (std::size_t level = 0; level < levels.size(); ++level) {
        glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA, levels[level].width, levels[level].height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, levels[level].pixels.get());
    }
}

CTextureFreeImage::CTextureFreeImage(const char* path)
{
    if (path != nullptr) {
        LoadFromFile(path);
    }
}

void CTextureFreeImage::LoadFromFile(const char* path)
{
    NoteFileRead(path);
    PicturePrefetch* prefetch = PicturePrefetchScope::Current();
    const std::string file = FindAsset(path);
    std::optional<DecodedPicture> prefetched = prefetch != nullptr ? prefetch->Take(path) : std::nullopt;
    const DecodedPicture picture = prefetched ? std::move(*prefetched) : DecodePicture(file);
    opaque = picture.opaque;
    if (picture.levels.empty()) {
        DebugOutput(picture.problem.empty() ? FormatText("Unable to load image: %s\n", path)
                                            : FormatText("Unable to load image: %s (%s)\n", path, picture.problem.c_str()));
        NoteUnreadableFile(path);
        return;
    }
    if (!picture.problem.empty()) {
        DebugOutput(FormatText("The image %s is damaged: %s\n", path, picture.problem.c_str()));
        NoteUnreadableFile(path);
    }
    if (picture.levels.size() > 1) {
        UploadLevels(picture.levels);
        return;
    }
    const PictureLevel& image = picture.levels.front();
    CTexture::Upload({image.pixels.get(), image.width, image.height, false, GL_RGBA});
}

std::unique_ptr<std::uint8_t[]> UprightRgba(const std::function<const std::uint8_t*(int row)>& sourceRow, int width, int height,
                                            int sourceBytesPerPixel)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * bytesPerPixel;
    const bool opaque = sourceBytesPerPixel == 3;
    auto upright = std::make_unique_for_overwrite<std::uint8_t[]>(PixelCount(width, height) * bytesPerPixel);
    for (int row = 0; row < height; ++row) {
        const std::uint8_t* in = sourceRow(height - 1 - row);
        std::uint8_t* out = upright.get() + static_cast<std::size_t>(row) * rowBytes;
        for (int x = 0; x < width; ++x, in += sourceBytesPerPixel, out += bytesPerPixel) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = opaque ? 0xFF : in[3];
        }
    }
    return upright;
}
