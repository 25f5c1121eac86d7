#include "BenchPictures.h"

#include "support/PictureFiles.h"

namespace {

// Blue, green, red, alpha of the picture's pixel (x, y), y = 0 at the top.
void benchPixel(uint32_t x, uint32_t y, uint8_t* out)
{
    const bool flat = ((x / 64) + (y / 64)) % 2 == 0;
    for (int c = 0; c < 3; ++c)
        out[c] =
            flat ? uint8_t(40 + 60 * c + (x / 64) % 7) : uint8_t((x * (3 + c) + y * (5 + 2 * c)) ^ (x >> 2) ^ (y << 1));
    out[3] = flat ? 255 : uint8_t(x + y);
}

// Pixels in file order: bottom row first.
Bytes filePixels(uint32_t side)
{
    Bytes pixels(size_t(side) * side * 4);
    for (uint32_t row = 0; row < side; ++row)
        for (uint32_t x = 0; x < side; ++x)
            benchPixel(x, side - 1 - row, &pixels[(size_t(row) * side + x) * 4]);
    return pixels;
}

} // namespace

bool writeBenchTga(const std::string& path, uint32_t side, bool compressed)
{
    const Bytes pixels = filePixels(side);
    const Bytes header = tgaHeader(compressed ? 10 : 2, uint16_t(side), uint16_t(side), 32, 8);
    return writeBytes(path, concat({header, compressed ? tgaRunLength(pixels, 4) : pixels}));
}

bool writeBenchJpeg(const std::string& path, uint32_t side)
{
    Bytes rgb(size_t(side) * side * 3);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            uint8_t pixel[4];
            benchPixel(x, y, pixel);
            uint8_t* out = &rgb[(size_t(y) * side + x) * 3];
            out[0] = pixel[2];
            out[1] = pixel[1];
            out[2] = pixel[0];
        }
    JpegSettings settings;
    settings.quality = 90;
    return writeBytes(path, encodeJpeg(rgb, side, side, settings));
}

bool writeBenchPng(const std::string& path, uint32_t side)
{
    PngPicture picture;
    picture.width = picture.height = side;
    picture.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
    picture.samples.resize(size_t(side) * side * 4);
    for (uint32_t y = 0; y < side; ++y)
        for (uint32_t x = 0; x < side; ++x) {
            uint8_t pixel[4];
            benchPixel(x, y, pixel);
            uint16_t* out = &picture.samples[(size_t(y) * side + x) * 4];
            out[0] = pixel[2];
            out[1] = pixel[1];
            out[2] = pixel[0];
            out[3] = pixel[3];
        }
    return writeBytes(path, encodePng(picture));
}

bool writeShortTga(const std::string& path, uint16_t side)
{
    return writeBytes(path, concat({tgaHeader(2, side, side, 32, 8), {1, 2}}));
}
