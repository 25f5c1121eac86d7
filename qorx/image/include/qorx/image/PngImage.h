#ifndef QORX_IMAGE_PNGIMAGE_H
#define QORX_IMAGE_PNGIMAGE_H

#include "qorx/image/Image.h"

#include <cstdint>

struct png_struct_def;
struct png_info_def;
struct PngMessage;

// PNG files through libpng, of every colour type and depth, interlaced or
// not: pixels red, green, blue, alpha (blue first with SwapRedBlue), top row
// first. Grey spreads over red, green and blue; a palette is looked up; a
// tRNS chunk becomes alpha; alpha is 255 where the file has none. 16-bit
// channels are rounded to 8 bits. Gamma and colour profiles are not applied.
// libpng's warnings and errors are never printed; its error becomes the
// reason of a failed load.
class PngImage : public Image {
public:
    PngImage();
    ~PngImage() override;

    // Returns `pixels`, or null when the file cannot be opened, is not a PNG,
    // is damaged or cut short, or its size is over the decode budget or does
    // not fit a 32-bit byte count (failureReason() tells which).
    uint8_t* load(const char* path, unsigned flags);

private:
    bool readSignature();
    bool decode(png_struct_def* png, png_info_def* info, unsigned flags, PngMessage& message);
    void readRows(png_struct_def* png, int passes);
    void explain(const PngMessage& message);
};

#endif
