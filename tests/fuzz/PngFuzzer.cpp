// The PNG reader on one fuzz input. Bit 0 of the last byte asks for the
// red-blue swap; bit 1 loads the file a second time into the same record.
#include "FuzzInputFile.h"
#include "LoadResultCheck.h"
#include "qorx/image/PngImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* path = FuzzInputFile::write(data, size);
    unsigned last = size > 0 ? data[size - 1] : 0;
    PngImage image;
    LoadResultCheck::verifyWithCount(image, image.load(path, last & SwapRedBlue));
    if (last & 2)
        LoadResultCheck::verifyWithCount(image, image.load(path, last & SwapRedBlue));
    return 0;
}
