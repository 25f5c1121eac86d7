// The TGA reader on one fuzz input. The input's last byte doubles as the load
// flags (bits the reader doesn't know must be ignored; the reader never
// reads past the pixel data), and its top bit loads the file a second time
// into the same record, as a reload does.
#include "FuzzInputFile.h"
#include "LoadResultCheck.h"
#include "TgaClaim.h"
#include "qorx/image/TgaImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (TgaClaim::isHuge(data, size))
        return -1; // not worth keeping in the corpus
    const char* path = FuzzInputFile::write(data, size);
    unsigned flags = size > 0 ? data[size - 1] : 0;
    TgaImage image;
    LoadResultCheck::verifyWithCount(image, image.load(path, flags));
    if (flags & 0x80)
        LoadResultCheck::verifyWithCount(image, image.load(path, flags));
    return 0;
}
