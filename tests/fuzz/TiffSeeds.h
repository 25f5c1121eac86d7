#ifndef QORX_TESTS_FUZZ_TIFFSEEDS_H
#define QORX_TESTS_FUZZ_TIFFSEEDS_H

#include <cstdint>
#include <string>

// Small TIFF files made with libtiff: several sample layouts, compressions,
// strip and tile arrangements, orientations, byte orders and page counts.
class TiffSeeds {
public:
    enum class Layout { Rgb, Rgba, RgbPlanar, Grey8, Grey16, Bilevel, Palette, Rgba16 };

    struct Shape {
        Layout layout;
        uint16_t compression; // a COMPRESSION_* value
        bool predictor;       // horizontal differencing
        uint32_t width;
        uint32_t height;
        uint32_t rowsPerStrip; // ignored when tiled
        uint32_t tileSize;     // 0: strips
        uint16_t orientation;  // an ORIENTATION_* value
        const char* mode;      // TIFFOpen mode: "w", "wb" (big-endian), "w8" (BigTIFF)
        int pages;
    };

    // Writes every seed into `dir`, which must exist; returns how many, or -1
    // when a file could not be written.
    static int writeAll(const std::string& dir);
    static bool write(const std::string& path, const Shape& shape);
};

#endif
