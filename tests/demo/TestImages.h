#ifndef QORX_TESTS_DEMO_TESTIMAGES_H
#define QORX_TESTS_DEMO_TESTIMAGES_H

#include <cstdint>
#include <string>
#include <vector>

// Small pictures written at test time, so that the tests never depend on the
// bundled assets. Pixels are given as R, G, B bytes, top row first.
struct RgbPicture {
    int width;
    int height;
    std::vector<uint8_t> rgb;

    // A picture whose every pixel differs, so that a swapped channel or a
    // flipped row shows up.
    static RgbPicture gradient(int width, int height);
};

// Uncompressed TGA, type 2, 24 bits, top row first (descriptor bit 5).
bool writeTga(const std::string& path, const RgbPicture& picture);
// Uncompressed 8-bit RGB TIFF, top row first as TIFF stores it.
bool writeTiff(const std::string& path, const RgbPicture& picture);
// Baseline JPEG at the best quality, 4:4:4, so that a flat colour survives
// within a unit or two.
bool writeJpeg(const std::string& path, const RgbPicture& picture);

#endif
