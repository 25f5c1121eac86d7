#ifndef QORX_TESTS_FUZZ_READERCHAIN_H
#define QORX_TESTS_FUZZ_READERCHAIN_H

#include "qorx/image/JpegImage.h"
#include "qorx/image/TgaImage.h"
#include "qorx/image/TiffImage.h"

// The readers as a texture load tries them, without the OpenGL upload: JPEG
// with no flags, then TGA with the red-blue swap, then TIFF with no flags;
// the first that returns pixels wins. The records live as long as the chain.
class ReaderChain {
public:
    // The winning record, or null when every reader refused the file.
    const Image* load(const char* path);

    JpegImage jpeg;
    TgaImage tga;
    TiffImage tiff;
};

#endif
