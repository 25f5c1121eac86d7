// qorx-image FILE [OUT.pam]: whether a picture will load as a texture, and
// why not; Description below says what it prints.

#include "qorx/image/ReaderChain.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

const char Usage[] = "usage: qorx-image FILE [OUT.pam]\n"
                     "       qorx-image --help | -h\n";

const char Description[] = "\n"
                           "Tries the readers in the order a texture does (JPEG, then TGA, then TIFF,\n"
                           "then PNG, whatever the file is called) and prints \"READER WIDTHxHEIGHT\"\n"
                           "(\"png 640x480\") for the first that loads FILE. With OUT.pam it also\n"
                           "writes the decoded pixels as a PAM file (RGB_ALPHA, top row first, each\n"
                           "pixel's four bytes as the reader delivered them).\n"
                           "\n"
                           "When no reader loads FILE it prints \"qorx-image: cannot load FILE: REASON\"\n"
                           "on standard error: the system's message when FILE cannot be read, the size\n"
                           "and the decode budget for a picture of too many pixels, what a reader\n"
                           "found unsupported or damaged in a file of its format, or \"not a JPEG, TGA,\n"
                           "TIFF or PNG file\".\n"
                           "\n"
                           "Exit status: 0 when FILE loads (and OUT.pam is written), 1 when it does\n"
                           "not or OUT.pam cannot be written, 2 for a usage error.\n";

const char* readerName(const ReaderChain& readers, const Image* image)
{
    if (image == &readers.jpeg)
        return "jpeg";
    if (image == &readers.tga)
        return "tga";
    return image == &readers.tiff ? "tiff" : "png";
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

// Any argument but "-" that starts with a dash: no file name does in
// practice, and a mistyped option must not be taken for one.
const char* firstOption(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] == '-' && argv[i][1] != '\0')
            return argv[i];
    return nullptr;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("%s%s", Usage, Description);
        return 0;
    }
    const char* option = firstOption(argc, argv);
    if (option || argc < 2 || argc > 3) {
        if (option)
            std::fprintf(stderr, "qorx-image: unknown option %s\n", option);
        std::fprintf(stderr, "%s", Usage);
        return 2;
    }
    ReaderChain readers;
    const Image* image = readers.load(argv[1]);
    if (!image) {
        std::fprintf(stderr, "qorx-image: cannot load %s: %s\n", argv[1], readers.failureReason());
        return 1;
    }
    std::printf("%s %ux%u\n", readerName(readers, image), image->width, image->height);
    if (argc == 3 && !writePam(argv[2], *image)) {
        std::fprintf(stderr, "qorx-image: cannot write %s: %s\n", argv[2], std::strerror(errno));
        return 1;
    }
    return 0;
}
