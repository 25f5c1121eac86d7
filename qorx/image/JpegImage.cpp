#include "qorx/image/JpegImage.h"

#include "JpegErrorManager.h"

#include <cstdint>
#include <cstring>

#include <jerror.h>

namespace {

// `samples` may lie in the back of the same row: each pixel is read before
// its four bytes are written, and those never reach a later pixel's samples.
void expandRgb(const uint8_t* samples, uint8_t* out, size_t columns)
{
    for (size_t i = 0; i < columns; ++i, samples += 3, out += 4) {
        const uint8_t red = samples[0], green = samples[1], blue = samples[2];
        out[0] = red;
        out[1] = green;
        out[2] = blue;
        out[3] = 0;
    }
}

// Two pixels at a time through a mask laid out in memory order, which keeps
// it independent of the machine's byte order.
void clearFourthBytes(uint8_t* out, size_t columns)
{
    const uint8_t keep[8] = {255, 255, 255, 0, 255, 255, 255, 0};
    uint64_t mask;
    std::memcpy(&mask, keep, 8);
    size_t i = 0;
    for (; i + 2 <= columns; i += 2) {
        uint64_t pair;
        std::memcpy(&pair, out + 4 * i, 8);
        pair &= mask;
        std::memcpy(out + 4 * i, &pair, 8);
    }
    if (i < columns)
        out[4 * i + 3] = 0;
}

void expandGrey(const uint8_t* samples, int components, uint8_t* out, size_t columns)
{
    for (size_t i = 0; i < columns; ++i, samples += components, out += 4) {
        const uint8_t grey = samples[0];
        out[0] = out[1] = out[2] = grey;
        out[3] = 0;
    }
}

// Red is the light that neither cyan nor black takes away,
// (255 - C) (255 - K) / 255 rounded; green goes with magenta, blue with
// yellow. CMYK JPEGs store each ink inverted, 255 for none, which is that
// light already: Adobe's files say so in their marker, and the files of other
// writers, without it, are read the same way by every other JPEG reader. In
// place.
void convertCmyk(uint8_t* pixels, size_t columns)
{
    for (size_t i = 0; i < columns; ++i, pixels += 4) {
        const unsigned light = pixels[3];
        for (int k = 0; k < 3; ++k)
            pixels[k] = uint8_t((pixels[k] * light + 127) / 255);
        pixels[3] = 0;
    }
}

// How libjpeg's samples become four bytes a pixel.
enum class Samples { Rgb, PaddedRgb, Cmyk, Other };

// Colour pixels get a fourth byte of 0, whether they come as three samples or
// padded to four; CMYK and YCCK (which libjpeg turns into CMYK) become red,
// green, blue and 0 too; any other count (grey-scale above all) spreads the
// first sample over red, green and blue, so no pixel is left unwritten.
void copyRow(const uint8_t* samples, uint8_t* out, size_t columns, int components, Samples kind)
{
    if (components == 4 && samples != out)
        std::memcpy(out, samples, columns * 4);
    if (kind == Samples::PaddedRgb)
        clearFourthBytes(out, columns);
    else if (kind == Samples::Cmyk)
        convertCmyk(out, columns);
    else if (kind == Samples::Rgb)
        expandRgb(samples, out, columns);
    else if (components != 4)
        expandGrey(samples, components, out, columns);
}

// Each scan of a file is a pass over every coefficient of the picture, and a
// file may repeat scans without end. Real files have a few dozen at most.
const int MostScans = 1000;

void refuseEndlessScans(j_common_ptr common)
{
    const auto* decompressor = reinterpret_cast<j_decompress_ptr>(common);
    if (decompressor->input_scan_number > MostScans)
        JpegErrorManager::refuse(common, "JPEG of more than 1000 scans");
}

} // namespace

JpegImage::JpegImage() {}

JpegImage::~JpegImage() {}

// libjpeg's fatal errors come back here through a long jump. Nothing between
// setjmp and the library's frames needs destroying: the stream and the
// buffer are fields of the record, the rest is plain data.
uint8_t* JpegImage::load(const char* path, unsigned flags)
{
    clearFailure();
    releasePixels();
    if (!openStream(path))
        return nullptr;
    JpegErrorManager errors;
    jpeg_decompress_struct decompressor;
    // Zeroed so that destroying it is safe even if creation itself fails.
    std::memset(&decompressor, 0, sizeof decompressor);
    decompressor.err = errors.install();
    if (setjmp(errors.recoveryPoint)) {
        explain(decompressor, errors);
        close(decompressor);
        releasePixels();
        return nullptr;
    }
    jpeg_CreateDecompress(&decompressor, JPEG_LIB_VERSION, sizeof decompressor);
    const bool decoded = decode(decompressor);
    close(decompressor);
    if (!decoded) {
        releasePixels();
        return nullptr;
    }
    if (flags & SwapRedBlue)
        swapRedBlue();
    return pixels;
}

// Each row is decoded into the end of its own place in `pixels` and spread
// to four bytes a pixel from the front, where no byte is overwritten before
// it has been read. Only files of more than four components, whose samples
// are wider than the row, go through a separate row from libjpeg's pool.
bool JpegImage::decode(jpeg_decompress_struct& decompressor)
{
    jpeg_progress_mgr progress = {};
    progress.progress_monitor = refuseEndlessScans;
    decompressor.progress = &progress;
    jpeg_stdio_src(&decompressor, stream);
    jpeg_read_header(&decompressor, TRUE);
    // Refused on the frame header alone: for a file of several scans libjpeg
    // would otherwise reserve every coefficient of the picture first.
    width = decompressor.image_width;
    height = decompressor.image_height;
    if (!admitSize(width, height))
        return false;
    // libjpeg-turbo writes its RGB output as four-byte pixels just as well,
    // with the same colour values, which saves spreading every row again.
    const bool padded = decompressor.out_color_space == JCS_RGB;
    if (padded)
        decompressor.out_color_space = JCS_EXT_RGBX;
    jpeg_start_decompress(&decompressor);
    width = decompressor.output_width;
    height = decompressor.output_height;
    bytesPerPixel = decompressor.num_components;
    bitsPerPixel = 8 * decompressor.num_components;
    if (!allocatePixels(width, height))
        return false;
    const int components = decompressor.output_components;
    const Samples kind = padded                                     ? Samples::PaddedRgb
                         : components == 3                          ? Samples::Rgb
                         : decompressor.out_color_space != JCS_CMYK ? Samples::Other
                                                                    : Samples::Cmyk;
    const size_t rowBytes = size_t(width) * 4;
    const size_t sampleBytes = size_t(width) * components;
    JSAMPROW spare = nullptr;
    if (sampleBytes > rowBytes)
        spare = (*decompressor.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&decompressor), JPOOL_IMAGE,
                                                  JDIMENSION(sampleBytes), 1)[0];
    while (decompressor.output_scanline < decompressor.output_height) {
        const JDIMENSION row = decompressor.output_scanline;
        uint8_t* out = pixels + row * rowBytes;
        JSAMPROW samples = spare ? spare : out + rowBytes - sampleBytes;
        if (jpeg_read_scanlines(&decompressor, &samples, 1) != 1)
            return fail(LoadFailure::Refused, "JPEG: no data for row %u", unsigned(row));
        copyRow(samples, out, width, components, kind);
    }
    jpeg_finish_decompress(&decompressor);
    return true;
}

// libjpeg reads the file through stdio: a read that fails, of a folder say,
// reaches it as an empty file.
void JpegImage::explain(jpeg_decompress_struct& decompressor, const JpegErrorManager& errors)
{
    const int code = errors.manager.msg_code;
    if (errors.refusal) {
        fail(LoadFailure::Refused, "%s", errors.refusal);
    } else if (code == JERR_NO_SOI) {
        fail(LoadFailure::OtherFormat, "not a JPEG file");
    } else if (code == JERR_INPUT_EMPTY) {
        if (std::ferror(stream))
            failSystem(errors.systemError);
        else
            fail(LoadFailure::Empty, "empty file");
    } else {
        char message[JMSG_LENGTH_MAX];
        (*errors.manager.format_message)(reinterpret_cast<j_common_ptr>(&decompressor), message);
        fail(LoadFailure::Refused, "JPEG: %s", message);
    }
}

void JpegImage::close(jpeg_decompress_struct& decompressor)
{
    jpeg_destroy_decompress(&decompressor);
    std::fclose(stream);
}
