#include "qorx/image/PngImage.h"

#include <cerrno>
#include <cstring>

#include <png.h>

// What libpng's callbacks leave for the load: the stream they read, the first
// error they met, and the system's error number when reading itself failed.
struct PngMessage {
    FILE* stream;
    int systemError;
    char text[160];
};

namespace {

const size_t SignatureBytes = 8;

// libpng's fatal errors leave through the jump its read struct holds; the
// message stays for the reason of the load.
[[noreturn]] void keepError(png_structp png, png_const_charp text)
{
    auto* message = static_cast<PngMessage*>(png_get_error_ptr(png));
    if (message->text[0] == '\0')
        std::snprintf(message->text, sizeof message->text, "%s", text);
    png_longjmp(png, 1);
}

void discardWarning(png_structp, png_const_charp) {}

// Reads through the record's own stream. libpng's default reader calls every
// short read "Read Error"; this one tells a file that ends early from one
// that cannot be read, and a PNG cut short is refused either way.
void readFromStream(png_structp png, png_bytep data, size_t length)
{
    auto* message = static_cast<PngMessage*>(png_get_io_ptr(png));
    if (std::fread(data, 1, length, message->stream) == length)
        return;
    if (std::ferror(message->stream))
        message->systemError = errno;
    png_error(png, "the file ends early");
}

// A grey or RGB tRNS value beyond what the file's depth can hold names no
// pixel's colour, and the chunk is ignored: libpng would compare only the
// value's low bits and make pixels transparent that the file never meant.
// libpng itself drops a palette's tRNS of more entries than the palette.
bool hasTransparency(png_structp png, png_infop info)
{
    png_bytep alphas = nullptr;
    int count = 0;
    png_color_16p colour = nullptr;
    if (!png_get_tRNS(png, info, &alphas, &count, &colour))
        return false;
    const int type = png_get_color_type(png, info);
    const unsigned most = (1u << png_get_bit_depth(png, info)) - 1;
    if (type == PNG_COLOR_TYPE_GRAY)
        return colour->gray <= most;
    if (type == PNG_COLOR_TYPE_RGB)
        return colour->red <= most && colour->green <= most && colour->blue <= most;
    return type == PNG_COLOR_TYPE_PALETTE;
}

// libpng's transformations that turn every colour type and depth into four
// bytes a pixel: palettes looked up, grey below 8 bits widened, tRNS to
// alpha, 16 bits rounded to 8 ((v * 255 + 32767) / 65535, which libpng's
// scaling gives exactly), grey to RGB, and alpha 255 where there is none.
void askForRgba(png_structp png, png_infop info, unsigned flags)
{
    if (png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    png_set_expand_gray_1_2_4_to_8(png);
    if (hasTransparency(png, info))
        png_set_tRNS_to_alpha(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    if (flags & SwapRedBlue)
        png_set_bgr(png);
}

} // namespace

PngImage::PngImage() {}

PngImage::~PngImage() {}

uint8_t* PngImage::load(const char* path, unsigned flags)
{
    clearFailure();
    releasePixels();
    if (!openStream(path))
        return nullptr;
    bool decoded = readSignature();
    if (decoded) {
        PngMessage message = {stream, 0, {}};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, keepError, discardWarning);
        png_infop info = png ? png_create_info_struct(png) : nullptr;
        decoded = info ? decode(png, info, flags, message) : failSystem(ENOMEM);
        png_destroy_read_struct(&png, &info, nullptr);
    }
    std::fclose(stream);
    if (!decoded) {
        releasePixels();
        return nullptr;
    }
    return pixels;
}

bool PngImage::readSignature()
{
    png_byte signature[SignatureBytes];
    const size_t got = std::fread(signature, 1, SignatureBytes, stream);
    if (std::ferror(stream))
        return failSystem(errno);
    if (got == 0)
        return fail(LoadFailure::Empty, "empty file");
    if (got < SignatureBytes || png_sig_cmp(signature, 0, SignatureBytes) != 0)
        return fail(LoadFailure::OtherFormat, "not a PNG file");
    return true;
}

// libpng's errors come back here through a long jump. Between setjmp and
// libpng's frames there is nothing to destroy: the stream, the buffer and
// the sizes are fields of the record, the rest is plain data.
bool PngImage::decode(png_structp png, png_infop info, unsigned flags, PngMessage& message)
{
    if (setjmp(png_jmpbuf(png))) {
        explain(message);
        return false;
    }
    png_set_read_fn(png, &message, readFromStream);
    png_set_sig_bytes(png, SignatureBytes);
    // Only the chunks that make the picture are read: text, profiles and the
    // rest are skipped, never decompressed.
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_read_info(png, info);
    width = png_get_image_width(png, info);
    height = png_get_image_height(png, info);
    bytesPerPixel = png_get_channels(png, info);
    bitsPerPixel = bytesPerPixel * png_get_bit_depth(png, info);
    if (!admitSize(width, height))
        return false;
    pixelCount = int32_t(width * height);
    askForRgba(png, info, flags);
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4)
        return fail(LoadFailure::Refused, "PNG: rows of %zu bytes instead of four a pixel",
                    png_get_rowbytes(png, info));
    if (!allocatePixels(width, height))
        return false;
    readRows(png, passes);
    // The chunks after the image data, up to IEND: a file cut short after its
    // last row is refused too.
    png_read_end(png, nullptr);
    return true;
}

// Each pass of an interlaced file writes its pixels straight into their
// places in the picture, so the picture exists once and libpng holds no more
// than a row of its own.
void PngImage::readRows(png_structp png, int passes)
{
    const size_t rowBytes = size_t(width) * 4;
    for (int pass = 0; pass < passes; ++pass)
        for (uint32_t row = 0; row < height; ++row)
            png_read_row(png, pixels + row * rowBytes, nullptr);
}

void PngImage::explain(const PngMessage& message)
{
    if (message.systemError)
        failSystem(message.systemError);
    else
        fail(LoadFailure::Refused, "PNG: %s", message.text);
}
