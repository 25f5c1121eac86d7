#include "qorx/window/Letterbox.h"

#include <stdint.h>

Letterbox Letterbox::fit(int pictureWidth, int pictureHeight, int screenWidth, int screenHeight)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || screenWidth <= 0 || screenHeight <= 0)
        return {0, 0, screenWidth > 0 ? screenWidth : 0, screenHeight > 0 ? screenHeight : 0};
    // Compare the two shapes in integers so that an exact fit (800x600 on
    // 1024x768) has no stray one-pixel bar.
    int64_t widthIfFullHeight = static_cast<int64_t>(pictureWidth) * screenHeight / pictureHeight;
    if (widthIfFullHeight <= screenWidth) {
        int width = static_cast<int>(widthIfFullHeight);
        return {(screenWidth - width) / 2, 0, width, screenHeight};
    }
    int height = static_cast<int>(static_cast<int64_t>(pictureHeight) * screenWidth / pictureWidth);
    return {0, (screenHeight - height) / 2, screenWidth, height};
}
