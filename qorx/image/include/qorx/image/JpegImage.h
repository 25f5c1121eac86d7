#ifndef QORX_IMAGE_JPEGIMAGE_H
#define QORX_IMAGE_JPEGIMAGE_H

#include "qorx/image/Image.h"

#include <cstdint>

struct jpeg_decompress_struct;
struct JpegErrorManager;

// JPEG files through libjpeg, every decompression parameter at the library's
// default. Pixels are red, green, blue, 0 for colour files and for CMYK and
// YCCK ones, converted from their inks (blue first with SwapRedBlue), and
// grey, grey, grey, 0 for grey-scale ones; the top row comes first.
class JpegImage : public Image {
public:
    JpegImage();
    ~JpegImage() override;

    // Returns `pixels`, or null when the file cannot be opened, libjpeg
    // refuses it, or its size is over the decode budget or does not fit a
    // 32-bit byte count (failureReason() tells which).
    uint8_t* load(const char* path, unsigned flags);

private:
    bool decode(jpeg_decompress_struct& decompressor);
    void explain(jpeg_decompress_struct& decompressor, const JpegErrorManager& errors);
    void close(jpeg_decompress_struct& decompressor);
};

#endif
