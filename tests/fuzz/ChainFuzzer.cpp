// One fuzz input through the readers in a texture's order; the check reads
// the whole winning buffer, as the upload would.
#include "FuzzInputFile.h"
#include "LoadResultCheck.h"
#include "ReaderChain.h"
#include "TgaClaim.h"

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
