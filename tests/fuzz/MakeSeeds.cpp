// Writes the fuzzers' seed files: small valid TGA, JPEG, TIFF and PNG files
// of every kind the readers accept.
#include "JpegSeeds.h"
#include "PngSeeds.h"
#include "TgaSeeds.h"
#include "TiffSeeds.h"

#include <cstdio>
#include <sys/stat.h>
#include <tiffio.h>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIRECTORY\n", argv[0]);
        return 2;
    }
    std::string dir = argv[1];
    mkdir(dir.c_str(), 0777);
    TIFFSetWarningHandler(nullptr);
    int tga = TgaSeeds::writeAll(dir);
    int jpeg = JpegSeeds::writeAll(dir);
    int tiff = TiffSeeds::writeAll(dir);
    int png = PngSeeds::writeAll(dir);
    std::printf("seeds in %s: %d TGA, %d JPEG, %d TIFF, %d PNG\n", dir.c_str(), tga, jpeg, tiff, png);
    return tga > 0 && jpeg > 0 && tiff > 0 && png > 0 ? 0 : 1; // -1 marks a file that could not be written
}
