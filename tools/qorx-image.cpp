// qorx-image FILE [OUT.pam]
//
// Tries the readers in the order a texture does (JPEG, then TGA with red and
// blue swapped, then TIFF) and prints "READER WIDTHxHEIGHT" for the first that
// loads FILE. With OUT.pam it also writes that record's pixels, row 0 first,
// each pixel's four bytes as the record holds them. Exit status 0 when FILE
// loads, 1 when it doesn't or OUT.pam cannot be written, 2 for a usage error.

#include "qorx/image/JpegImage.h"
#include "qorx/image/TgaImage.h"
#include "qorx/image/TiffImage.h"

#include <cstdio>

namespace {

const Image* loadFirst(const char* path, JpegImage& jpeg, TgaImage& tga, TiffImage& tiff,
                       const char*& reader)
{
    reader = "jpeg";
    if (jpeg.load(path, 0))
        return &jpeg;
    reader = "tga";
    if (tga.load(path, SwapRedBlue))
        return &tga;
    reader = "tiff";
    if (tiff.load(path, 0))
        return &tiff;
    return nullptr;
}

bool writePam(const char* path, const Image& image)
{
    FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    std::fprintf(out, "P7\nWIDTH %u\nHEIGHT %u\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n",
                 image.width, image.height);
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
    JpegImage jpeg;
    TgaImage tga;
    TiffImage tiff;
    const char* reader = nullptr;
    const Image* image = loadFirst(argv[1], jpeg, tga, tiff, reader);
    if (!image) {
        std::fprintf(stderr, "qorx-image: cannot load %s\n", argv[1]);
        return 1;
    }
    std::printf("%s %ux%u\n", reader, image->width, image->height);
    if (argc == 3 && !writePam(argv[2], *image)) {
        std::fprintf(stderr, "qorx-image: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
