#include "qorx/image/TiffImage.h"

#include <tiffio.h>

namespace {

// Open options with per-file handlers came with libtiff 4.5; before that the
// only way to silence the library is to remove its global handlers.
#if TIFFLIB_VERSION >= 20221213
int discardMessage(TIFF*, void*, const char*, const char*, va_list)
{
    return 1; // handled: the library prints nothing
}

TIFF* openQuietly(const char* path)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, discardMessage, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, discardMessage, nullptr);
    TIFF* tiff = TIFFOpenExt(path, "rb", options);
    TIFFOpenOptionsFree(options);
    return tiff;
}
#else
TIFF* openQuietly(const char* path)
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    return TIFFOpen(path, "rb");
}
#endif

// The bytes libtiff decodes one strip or tile into while it converts. A file
// that declares many wide samples would need many times the picture for
// that, so it may take at most twice the picture (16-bit RGBA in one strip)
// plus a little.
bool workingBufferFits(TIFF* tiff, uint64_t pictureBytes)
{
    uint64_t working = TIFFIsTiled(tiff) ? TIFFTileSize64(tiff) : TIFFStripSize64(tiff);
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t samples = 1;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    if (planar == PLANARCONFIG_SEPARATE)
        working *= samples;
    return working <= 2 * pictureBytes + (1u << 20);
}

} // namespace

TiffImage::TiffImage() {}

TiffImage::~TiffImage() {}

// libtiff converts straight into the record's buffer, so the picture exists
// once, and its oriented read puts the top row first like the other readers.
uint8_t* TiffImage::load(const char* path, unsigned flags)
{
    releasePixels();
    TIFF* tiff = openQuietly(path);
    if (!tiff)
        return nullptr;
    uint32_t columns = 0;
    uint32_t rows = 0;
    const bool sized =
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &columns) && TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &rows);
    width = columns;
    height = rows;
    bool converted = false;
    if (sized && workingBufferFits(tiff, uint64_t(width) * height * 4) && allocatePixels(width, height)) {
        pixelCount = int32_t(width * height);
        converted =
            TIFFReadRGBAImageOriented(tiff, width, height, reinterpret_cast<uint32_t*>(pixels), ORIENTATION_TOPLEFT, 0);
    }
    TIFFClose(tiff);
    if (!converted) {
        releasePixels();
        return nullptr;
    }
    if (flags & SwapRedBlue)
        swapRedBlue();
    return pixels;
}
