#ifndef QORX_DEMO_RECORDING_PNGFILE_H
#define QORX_DEMO_RECORDING_PNGFILE_H

#include <cstdint>
#include <string>

// Writes 8-bit RGB pictures as PNG files.
class PngFile {
public:
    // `rgb` holds `height` rows of `width` pixels of 3 bytes each, the bottom
    // row first, as OpenGL reads them back; the file has the top row first.
    // False when the file cannot be written (a partial file is removed).
    static bool write(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb);
};

#endif
