// picture-size FILE: loads a TGA, JPEG, TIFF or PNG file with Qorx and prints its
// size, "WIDTHxHEIGHT".
#include <qorx/image/ReaderChain.h>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: picture-size FILE\n");
        return 2;
    }
    ReaderChain readers;
    const Image* image = readers.load(argv[1]);
    if (image == nullptr) {
        std::fprintf(stderr, "picture-size: cannot load %s\n", argv[1]);
        return 1;
    }
    std::printf("%ux%u\n", image->width, image->height);
    return 0;
}
