#ifndef QORX_TESTS_FUZZ_PNGSEEDS_H
#define QORX_TESTS_FUZZ_PNGSEEDS_H

#include "support/PictureFiles.h"

#include <cstdint>
#include <string>

// Small PNG files made with libpng's writer: every colour type at every
// depth, interlaced or not, with and without tRNS.
class PngSeeds {
public:
    struct Shape {
        int colourType; // a PNG_COLOR_TYPE_* value
        int depth;
        uint32_t width;
        uint32_t height;
        bool interlaced;
        bool transparency; // a tRNS chunk (grey, RGB and palette files only)
    };

    // Writes every seed into `dir`, which must exist; returns how many, or -1
    // when a file could not be written.
    static int writeAll(const std::string& dir);
    static Bytes encode(const Shape& shape);
};

#endif
