#include "gfx/FrameCapture.h"

#include <FreeImage.h>

#include <memory>

#include "core/DemoMessage.h"
#include "gfx/Gl.h"

namespace {
struct BitmapDeleter {
    void operator()(FIBITMAP* bitmap) const { FreeImage_Unload(bitmap); }
};
}  // namespace

void SaveFramePng(const std::string& path, int width, int height)
{
    const std::unique_ptr<FIBITMAP, BitmapDeleter> bitmap(FreeImage_Allocate(width, height, 24));
    if (!bitmap) {
        throw DemoMessage(FormatText("Unable to write %s", path.c_str()));
    }
    // GL's rows start at the bottom, as FreeImage's do; its pitch is
    // 4-byte aligned, as GL_PACK_ALIGNMENT 4 expects.
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, width, height, GL_BGR, GL_UNSIGNED_BYTE, FreeImage_GetBits(bitmap.get()));
    if (!FreeImage_Save(FIF_PNG, bitmap.get(), path.c_str(), PNG_DEFAULT)) {
        throw DemoMessage(FormatText("Unable to write %s", path.c_str()));
    }
}
