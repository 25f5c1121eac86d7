#ifndef QORX_IMAGE_READERCHAIN_H
#define QORX_IMAGE_READERCHAIN_H

#include "qorx/image/JpegImage.h"
#include "qorx/image/TgaImage.h"
#include "qorx/image/TiffImage.h"

// Finds a file's format by trying the readers in turn: JPEG, then TGA, then
// TIFF, whatever the file is called. The flags make every reader deliver red
// in byte 0: JPEG and TIFF decode to RGB on their own, TGA stores BGR. All
// three records exist before the first attempt and keep their pixels until
// the chain is destroyed.
class ReaderChain {
public:
    virtual ~ReaderChain();

    // The record of the first reader that loads `path`, or null.
    const Image* load(const char* path);

    JpegImage jpeg;
    TgaImage tga;
    TiffImage tiff;
};

#endif
