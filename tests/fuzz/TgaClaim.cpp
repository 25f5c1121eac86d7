#include "TgaClaim.h"

namespace {

// Past the end of the file the reader reads 255.
uint8_t byteAt(const uint8_t* data, size_t size, size_t offset)
{
    return offset < size ? data[offset] : 255;
}

} // namespace

bool TgaClaim::isHuge(const uint8_t* data, size_t size)
{
    const uint64_t width = byteAt(data, size, 12) | byteAt(data, size, 13) << 8;
    const uint64_t height = byteAt(data, size, 14) | byteAt(data, size, 15) << 8;
    return width * height > MaxPixels;
}
