#ifndef QORX_IMAGE_READERCHAIN_H
#define QORX_IMAGE_READERCHAIN_H

#include "qorx/image/JpegImage.h"
#include "qorx/image/PngImage.h"
#include "qorx/image/TgaImage.h"
#include "qorx/image/TiffImage.h"

// Finds a file's format by trying the readers in turn: JPEG, then TGA, then
// TIFF, then PNG, whatever the file is called; PNG comes last so that every
// file the first three load loads as it always has. The flags make every
// reader deliver red in byte 0: JPEG, TIFF and PNG decode to RGB on their
// own, TGA stores BGR. All four records exist before the first attempt and
// keep their pixels until the chain is destroyed.
class ReaderChain {
public:
    virtual ~ReaderChain();

    // The record of the first reader that loads `path`, or null. A file that
    // cannot be opened or read, or that a reader refuses for the decode
    // budget, ends the search at once.
    const Image* load(const char* path);

    // Why the last load() found no reader: the most telling of the readers'
    // reasons (the system's message, then the budget, then a reader's
    // refusal of a file in its own format, then an empty file), or
    // "not a JPEG, TGA, TIFF or PNG file". Empty after a success.
    const char* failureReason() const { return reason; }

    JpegImage jpeg;
    TgaImage tga;
    TiffImage tiff;
    PngImage png;

private:
    const char* reason = "";
};

#endif
