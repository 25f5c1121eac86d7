#ifndef QORX_IMAGE_TIFFIMAGE_H
#define QORX_IMAGE_TIFFIMAGE_H

#include "qorx/image/Image.h"

#include <cstdint>

struct tiff;

// TIFF files through libtiff's RGBA interface: the first image of the file,
// pixels red, green, blue, alpha (blue first with SwapRedBlue), alpha 255
// where the file has none, top row first. libtiff's messages are never
// printed; its first error becomes the reason of a failed load.
class TiffImage : public Image {
public:
    TiffImage();
    ~TiffImage() override;

    // Returns `pixels`, or null when libtiff cannot open the file or convert
    // its first image, or the image's size is over the decode budget or does
    // not fit a 32-bit byte count (failureReason() tells which).
    uint8_t* load(const char* path, unsigned flags);

private:
    bool admitWorkingBytes(uint64_t bytes);
    bool convert(tiff* file, const char* message);
    void explainOpenFailure(const char* path, const char* message);
};

#endif
