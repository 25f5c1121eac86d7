// qorx-image FILE [OUT.pam]
//
// Tries the readers in the order a texture does (JPEG, then TGA with red and
// blue swapped, then TIFF) and prints "READER WIDTHxHEIGHT" for the first that
// loads FILE. With OUT.pam it also writes that record's pixels, row 0 first,
// each pixel's four bytes as the record holds them. Exit status 0 when FILE
// loads, 1 when it doesn't or OUT.pam cannot be written, 2 for a usage error.

#include "qorx/image/ReaderChain.h"

#include <cstdio>

namespace {

const char* readerName(const ReaderChain& readers, const Image* image)
{
    if (image == &readers.jpeg)
        return "jpeg";
    return image == &readers.tga ? "tga" : "tiff";
}

bool writePam(const char* path, const Image& image)
{
    FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    std::fprintf(out, "P7\nWIDTH %u\nHEIGHT %u\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", image.width,
                 image.height);
    const size_t bytes = size_t(image.width) * image.height * 4;
    const bool written = std::fwrite(image.pixels, 1, bytes, out) == bytes;
    return std::fclose(out) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: qorx-image FILE [OUT.pam]\n");
        return 2;
    }
    ReaderChain readers;
    const Image* image = readers.load(argv[1]);
    if (!image) {
        std::fprintf(stderr, "qorx-image: cannot load %s\n", argv[1]);
        return 1;
    }
    std::printf("%s %ux%u\n", readerName(readers, image), image->width, image->height);
    if (argc == 3 && !writePam(argv[2], *image)) {
        std::fprintf(stderr, "qorx-image: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
