#ifndef QORX_TESTS_IMAGE_SAMPLEFILES_H
#define QORX_TESTS_IMAGE_SAMPLEFILES_H

// Picture files for the reader tests, written at test time: TGA headers byte
// by byte, JPEGs through libjpeg's compressor and TIFFs through libtiff.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes concat(std::initializer_list<Bytes> parts);
void writeBytes(const std::string& path, const Bytes& bytes);
Bytes readBytes(const std::string& path);

// An 18-byte TGA header; colour-map fields default to no map.
Bytes tgaHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, uint8_t descriptor,
                uint16_t mapLength = 0, uint8_t mapEntryBits = 0, uint8_t idLength = 0);

// A JPEG full of detail with 1 (grey), 3 (RGB) or 4 (CMYK) components.
void writeJpeg(const std::string& path, uint32_t width, uint32_t height, int components, bool progressive);
// libjpeg's own decoding with every parameter at its default, top row first.
Bytes decodeJpegDefault(const std::string& path);

// A picture of two bands, `top` over `bottom`, each colour given as
// `components` samples.
struct SampleBands {
    uint32_t width;
    uint32_t height;
    int components;
    Bytes top;
    Bytes bottom;
};

struct TiffLayout {
    uint16_t compression; // COMPRESSION_*
    uint16_t orientation; // ORIENTATION_TOPLEFT or ORIENTATION_BOTLEFT
    uint16_t predictor = 1;
    bool associatedAlpha = false; // a fourth component is associated alpha
};

// Each band picture becomes one image (directory) of the file, in order.
void writeTiff(const std::string& path, const std::vector<SampleBands>& images, const TiffLayout& layout);
// 32-bit floating-point RGB samples, which libtiff's RGBA interface refuses.
void writeFloatTiff(const std::string& path);

#endif
