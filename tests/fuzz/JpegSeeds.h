#ifndef QORX_TESTS_FUZZ_JPEGSEEDS_H
#define QORX_TESTS_FUZZ_JPEGSEEDS_H

#include "support/PictureFiles.h"

#include <cstdint>
#include <string>
#include <vector>

// Small JPEG files made with libjpeg's compressor: baseline, progressive,
// component-by-component and arithmetic-coded, in grey, colour, CMYK and YCCK.
class JpegSeeds {
public:
    struct Shape {
        JpegColours colours;
        JpegCoding coding;
        unsigned width;
        unsigned height;
        bool fullChroma; // 4:4:4 instead of the compressor's 4:2:0
    };

    // Writes every seed into `dir`, which must exist; returns how many, or -1
    // when a file could not be written.
    static int writeAll(const std::string& dir);
    static std::vector<uint8_t> encode(const Shape& shape);
};

#endif
