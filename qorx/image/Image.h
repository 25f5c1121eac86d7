#ifndef QORX_IMAGE_IMAGE_H
#define QORX_IMAGE_IMAGE_H

#include <cstdint>
#include <cstdio>

// Load flags, passed to every reader's load(path, flags).
enum LoadFlags : unsigned {
    SwapRedBlue = 1,      // exchange red and blue relative to the reader's own order
    OpaqueAlpha = 4,      // TGA: alpha 255 for 16- and 24-bit pixels
    AlphaFromRedBit = 16, // TGA: alpha from the top bit of red, for 16- and 24-bit pixels
};

// A decoded picture: width x height pixels of 4 bytes, rows one after another.
// Base of the readers; each declares its own load(path, flags), which returns
// `pixels` on success and null on failure. The record owns `pixels`.
class Image {
public:
    Image();
    virtual ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;

    uint32_t width;
    uint32_t height;
    FILE* stream;
    uint8_t* pixels;
    int32_t pixelCount;
    int32_t bitsPerPixel;
    int32_t bytesPerPixel;

protected:
    // Whether columns x rows 4-byte pixels fit a 32-bit byte count.
    static bool fitsPixelBuffer(uint32_t columns, uint32_t rows);
    // Replaces `pixels` with a new buffer of columns x rows 4-byte pixels.
    // Fails, allocating nothing, when that many bytes don't fit a 32-bit
    // count; a failed allocation leaves `pixels` null too.
    bool allocatePixels(uint32_t columns, uint32_t rows);
    void releasePixels();
    // Exchanges bytes 0 and 2 of each of the width x height pixels.
    void swapRedBlue();
};

#endif
