#include "qorx/image/TiffImage.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>

#include <tiffio.h>

namespace {

// The first error libtiff reports while it opens or converts a file, kept
// as the reason of a failed load.
struct TiffMessage {
    char text[160];
};

// Open options with per-file handlers came with libtiff 4.5; before that the
// only way to silence the library is to remove its global handlers, and its
// messages are lost.
#if TIFFLIB_VERSION >= 20221213
int keepFirstError(TIFF*, void* data, const char*, const char* format, va_list arguments)
{
    auto* message = static_cast<TiffMessage*>(data);
    if (message->text[0] == '\0')
        std::vsnprintf(message->text, sizeof message->text, format, arguments);
    return 1; // handled: the library prints nothing
}

int discardWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

TIFF* openQuietly(const char* path, TiffMessage& message)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options)
        return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, keepFirstError, &message);
    TIFFOpenOptionsSetWarningHandlerExtR(options, discardWarning, nullptr);
    TIFF* tiff = TIFFOpenExt(path, "rb", options);
    TIFFOpenOptionsFree(options);
    return tiff;
}
#else
TIFF* openQuietly(const char* path, TiffMessage&)
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
uint64_t workingBytes(TIFF* tiff)
{
    uint64_t working = TIFFIsTiled(tiff) ? TIFFTileSize64(tiff) : TIFFStripSize64(tiff);
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t samples = 1;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    if (planar == PLANARCONFIG_SEPARATE)
        working *= samples;
    return working;
}

bool isTiffHeader(const uint8_t* bytes, size_t count)
{
    if (count < 4)
        return false;
    const bool little = bytes[0] == 'I' && bytes[1] == 'I';
    const bool big = bytes[0] == 'M' && bytes[1] == 'M';
    const unsigned version = little ? bytes[2] | bytes[3] << 8 : bytes[2] << 8 | bytes[3];
    return (little || big) && (version == 42 || version == 43);
}

} // namespace

TiffImage::TiffImage() {}

TiffImage::~TiffImage() {}

// libtiff converts straight into the record's buffer, so the picture exists
// once, and its oriented read puts the top row first like the other readers.
uint8_t* TiffImage::load(const char* path, unsigned flags)
{
    clearFailure();
    releasePixels();
    TiffMessage message = {};
    TIFF* tiff = openQuietly(path, message);
    if (!tiff) {
        explainOpenFailure(path, message.text);
        return nullptr;
    }
    uint32_t columns = 0;
    uint32_t rows = 0;
    const bool sized =
        TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &columns) && TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &rows);
    width = columns;
    height = rows;
    const bool converted = (sized || fail(LoadFailure::Refused, "TIFF: no image size")) && admitSize(width, height) &&
                           admitWorkingBytes(workingBytes(tiff)) && allocatePixels(width, height) &&
                           convert(tiff, message.text);
    TIFFClose(tiff);
    if (!converted) {
        releasePixels();
        return nullptr;
    }
    if (flags & SwapRedBlue)
        swapRedBlue();
    return pixels;
}

bool TiffImage::admitWorkingBytes(uint64_t bytes)
{
    if (bytes <= 2 * (uint64_t(width) * height * 4) + (1u << 20))
        return true;
    return fail(LoadFailure::Refused, "TIFF strips or tiles of %llu bytes are over twice the picture",
                (unsigned long long)bytes);
}

bool TiffImage::convert(TIFF* tiff, const char* message)
{
    pixelCount = int32_t(width * height);
    if (TIFFReadRGBAImageOriented(tiff, width, height, reinterpret_cast<uint32_t*>(pixels), ORIENTATION_TOPLEFT, 0))
        return true;
    return fail(LoadFailure::Refused, "TIFF: %s", *message ? message : "libtiff cannot convert the image");
}

// libtiff tells only that it failed to open the file; its header tells
// whether the file was a TIFF at all.
void TiffImage::explainOpenFailure(const char* path, const char* message)
{
    FILE* file = std::fopen(path, "rb");
    if (!file) {
        failSystem(errno);
        return;
    }
    uint8_t header[4];
    const size_t got = std::fread(header, 1, sizeof header, file);
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (error)
        failSystem(error);
    else if (got == 0)
        fail(LoadFailure::Empty, "empty file");
    else if (!isTiffHeader(header, got))
        fail(LoadFailure::OtherFormat, "not a TIFF file");
    else
        fail(LoadFailure::Refused, "TIFF: %s", *message ? message : "damaged file");
}
