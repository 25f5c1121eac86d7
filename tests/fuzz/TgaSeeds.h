#ifndef QORX_TESTS_FUZZ_TGASEEDS_H
#define QORX_TESTS_FUZZ_TGASEEDS_H

#include <cstdint>
#include <string>
#include <vector>

// Small TGA files of every image type and depth the reader accepts (and of
// the depths it refuses), with and without image ID and colour map, in every
// row and pixel order, and run-length streams whose packets cross row ends.
class TgaSeeds {
public:
    struct Shape {
        uint8_t imageType;
        uint8_t depth;
        uint16_t width;
        uint16_t height;
        bool topFirst;
        uint8_t idLength;
        uint16_t colorMapLength;
        uint8_t colorMapEntrySize;
        unsigned runLength = 5;   // equal pixels in a row of the pattern
        bool rightToLeft = false; // descriptor bit 4
    };

    // Writes every seed into `dir`, which must exist; returns how many, or -1
    // when a file could not be written.
    static int writeAll(const std::string& dir);

    // A whole file: header, ID, colour map, then the pixel data of `shape`
    // (run-length packets for type 10) made from a fixed pattern.
    static std::vector<uint8_t> encode(const Shape& shape);
};

#endif
