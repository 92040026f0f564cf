#include <gtest/gtest.h>

#include "canvas/canvas.h"

namespace {

// Bottom-up and top-down pictures, each read into a cleared size, so that a
// failed read cannot pass.
TEST(Wallpaper, PictureSizeOfEitherRowOrder)
{
    for (int signedHeight : {30, -30}) {
        BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), 40, signedHeight, 1, 24, 0, 0, 0, 0, 0, 0}, {}};
        void *bits = nullptr;
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        int width = 0, height = 0;
        GetBitmapSize(nullptr, bitmap, &width, &height);
        EXPECT_EQ(width * 100 + height, 4030) << signedHeight;
        DeleteObject(bitmap);
    }
}

} // namespace
