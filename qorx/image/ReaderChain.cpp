#include "qorx/image/ReaderChain.h"

ReaderChain::~ReaderChain() {}

const Image* ReaderChain::load(const char* path)
{
    if (jpeg.load(path, 0))
        return &jpeg;
    if (tga.load(path, SwapRedBlue))
        return &tga;
    if (tiff.load(path, 0))
        return &tiff;
    return nullptr;
}
