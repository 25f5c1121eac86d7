#include "qorx/image/Image.h"

#include <new>

Image::Image() : width(0), height(0), stream(nullptr), pixels(nullptr), pixelCount(0), bitsPerPixel(0), bytesPerPixel(0)
{
}

Image::~Image()
{
    releasePixels();
}

bool Image::fitsPixelBuffer(uint32_t columns, uint32_t rows)
{
    return uint64_t(columns) * rows * 4 <= UINT32_MAX;
}

bool Image::allocatePixels(uint32_t columns, uint32_t rows)
{
    releasePixels();
    if (!fitsPixelBuffer(columns, rows))
        return false;
    pixels = new (std::nothrow) uint8_t[size_t(columns) * rows * 4];
    return pixels != nullptr;
}

void Image::releasePixels()
{
    delete[] pixels;
    pixels = nullptr;
}

void Image::swapRedBlue()
{
    const size_t count = size_t(width) * height;
    for (uint8_t* p = pixels; p != pixels + count * 4; p += 4) {
        const uint8_t first = p[0];
        p[0] = p[2];
        p[2] = first;
    }
}
