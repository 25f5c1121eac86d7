// One fuzz input through the texture's own chain of readers (JPEG, TGA with
// red and blue swapped, TIFF), without the OpenGL upload; the check covers
// the whole winning buffer, which the upload would read.
#include "FuzzInputFile.h"
#include "LoadResultCheck.h"
#include "TgaClaim.h"
#include "qorx/image/ReaderChain.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 2 && (data[2] == 2 || data[2] == 3 || data[2] == 10) && TgaClaim::isHuge(data, size))
        return -1; // a TGA of millions of pixels: slow, and no different
    const char* path = FuzzInputFile::write(data, size);
    ReaderChain chain;
    if (const Image* winner = chain.load(path))
        LoadResultCheck::verify(*winner, winner->pixels);
    return 0;
}
