#ifndef QORX_TESTS_SUPPORT_PICTUREFILES_H
#define QORX_TESTS_SUPPORT_PICTUREFILES_H

// Picture files of the four formats the readers take, made at run time: TGA
// byte by byte, JPEG through libjpeg's compressor, TIFF through libtiff, PNG
// through libpng.

#include "support/Files.h"

#include <string>
#include <vector>

#include <png.h>
#include <tiffio.h>

// An 18-byte TGA header; colour-map fields default to no map.
Bytes tgaHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, uint8_t descriptor,
                uint16_t mapLength = 0, uint8_t mapEntryBits = 0, uint8_t idLength = 0);
// Pixels of `bytesPerPixel` bytes as run-length packets: a run for two or
// more equal pixels, raw packets for the rest, at most 128 pixels a packet.
Bytes tgaRunLength(const Bytes& pixels, int bytesPerPixel);

enum class JpegColours { Grey, Rgb, Cmyk, Ycck };
enum class JpegCoding { Baseline, Progressive, OneScanPerComponent, Arithmetic, Restarts };

struct JpegSettings {
    JpegColours colours = JpegColours::Rgb;
    JpegCoding coding = JpegCoding::Baseline;
    int quality = 75;
    bool fullChroma = false; // 4:4:4 instead of the compressor's 4:2:0
    bool adobeMarker = true; // libjpeg writes one for CMYK and YCCK unless told not to
};

// `samples` holds width x height pixels of 1 (grey), 3 (RGB) or 4 (CMYK,
// also the input of YCCK) samples, top row first.
Bytes encodeJpeg(const Bytes& samples, uint32_t width, uint32_t height, const JpegSettings& settings);
// libjpeg's own decoding with every parameter at its default, top row first.
Bytes decodeJpegDefault(const std::string& path);

// One image (directory) of a TIFF file.
struct TiffPage {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t samples = 3;
    uint16_t bits = 8;
    uint16_t photometric = PHOTOMETRIC_RGB;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t predictor = PREDICTOR_NONE;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    bool planar = false;       // each sample in a plane of its own
    uint32_t rowsPerStrip = 0; // 0: the whole picture in one strip
    uint32_t tileSize = 0;     // square tiles instead of strips
    std::vector<uint16_t> extraSamples;
    std::vector<uint16_t> colourMap; // red, green, blue tables of 2^bits entries each
    // Rows in the file's order (each plane whole, one after another, when
    // planar), each row padded to whole bytes; multi-byte samples in the
    // machine's order.
    Bytes data;

    size_t rowBytes() const { return (size_t(width) * (planar ? 1 : samples) * bits + 7) / 8; }
};

// `mode` is libtiff's: "w", "wb" (big-endian) or "w8" (BigTIFF).
bool writeTiff(const std::string& path, const std::vector<TiffPage>& pages, const char* mode = "w");

struct PngPicture {
    uint32_t width = 0;
    uint32_t height = 0;
    int colourType = PNG_COLOR_TYPE_RGB; // a PNG_COLOR_TYPE_* value
    int depth = 8;                       // bits per sample: 1, 2, 4, 8 or 16
    bool interlaced = false;             // Adam7
    std::vector<png_color> palette;
    Bytes paletteAlpha;                // a palette's tRNS, one alpha per entry
    const png_color_16* transparent{}; // a grey or RGB tRNS value
    // width x height pixels of png_get_channels() samples each, top row
    // first, every sample one value whatever the depth.
    std::vector<uint16_t> samples;
};

Bytes encodePng(const PngPicture& picture);

#endif
