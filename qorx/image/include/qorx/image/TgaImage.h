#ifndef QORX_IMAGE_TGAIMAGE_H
#define QORX_IMAGE_TGAIMAGE_H

#include "qorx/image/Image.h"

#include <cstddef>
#include <cstdint>

class BlockReader;

// Truevision TGA files of image types 2 (true colour at 16, 24 or 32 bits),
// 3 (grey at 8 bits, grey and alpha at 16) and 10 (run-length true colour at
// 24 or 32 bits). Pixels come out as the file orders them (blue, green, red,
// alpha) unless SwapRedBlue asks for red first; rows come out top row first
// and left to right whatever order the file's descriptor gives. The header
// fields keep what the last load read.
class TgaImage : public Image {
public:
    TgaImage();
    ~TgaImage() override;

    // Returns `pixels`, or null when the file cannot be opened or is not a
    // TGA this reader decodes (failureReason() tells why). A failed open
    // leaves `pixels` as it was.
    uint8_t* load(const char* path, unsigned flags);

    uint8_t idLength;
    uint8_t colorMapType;
    uint8_t imageType;
    uint16_t colorMapFirstEntry;
    uint16_t colorMapLength;
    uint8_t colorMapEntrySize;
    uint16_t xOrigin;
    uint16_t yOrigin;
    uint8_t imageDescriptor;
    uint8_t imageId[256];
    uint8_t colorMap[256 * 3];

private:
    bool readHeader(BlockReader& reader);
    bool refuseLayout();
    bool readPixels(BlockReader& reader, unsigned flags);
    void readIdAndColorMap(BlockReader& reader);
    uint8_t* rowInPlace(uint32_t fileRow) const;
    void finishRow(uint8_t* row) const;
    void decodeUncompressed(BlockReader& reader, unsigned flags);
    bool decodeRunLength(BlockReader& reader, unsigned flags);
    bool endsEarly(const BlockReader& reader);
};

#endif
