#include "qorx/image/TgaImage.h"

#include "qorx/image/BlockReader.h"

#include <algorithm>
#include <cstring>

namespace {

const uint8_t TopRowFirst = 0x20;
const uint8_t UncompressedTrueColour = 2;
const uint8_t UncompressedGrey = 3;
const uint8_t RunLengthTrueColour = 10;

using PixelDecoder = void (*)(const uint8_t* source, uint8_t* out, size_t count, unsigned flags);

// Alpha of a 16- or 24-bit pixel: OpaqueAlpha wins over AlphaFromRedBit.
uint8_t alphaFromFlags(bool redTopBit, unsigned flags)
{
    if (flags & OpaqueAlpha)
        return 255;
    return (flags & AlphaFromRedBit) && redTopBit ? 255 : 0;
}

void decodeGrey(const uint8_t* source, uint8_t* out, size_t count, unsigned)
{
    for (size_t i = 0; i < count; ++i, out += 4) {
        const uint8_t grey = source[i];
        out[0] = out[1] = out[2] = out[3] = grey;
    }
}

// Five bits each of blue, green and red, low to high; bit 15 is unused.
void decode16(const uint8_t* source, uint8_t* out, size_t count, unsigned flags)
{
    const bool swap = flags & SwapRedBlue;
    for (size_t i = 0; i < count; ++i, source += 2, out += 4) {
        const unsigned word = source[0] | source[1] << 8;
        const uint8_t blue = uint8_t((word & 0x1F) << 3);
        const uint8_t green = uint8_t(((word >> 5) & 0x1F) << 3);
        const uint8_t red = uint8_t(((word >> 10) & 0x1F) << 3);
        out[0] = swap ? red : blue;
        out[1] = green;
        out[2] = swap ? blue : red;
        out[3] = alphaFromFlags(word & 0x4000, flags);
    }
}

void decode24(const uint8_t* source, uint8_t* out, size_t count, unsigned flags)
{
    const bool swap = flags & SwapRedBlue;
    const uint8_t opaque = alphaFromFlags(false, flags);
    const uint8_t redBit = alphaFromFlags(true, flags);
    for (size_t i = 0; i < count; ++i, source += 3, out += 4) {
        out[0] = source[swap ? 2 : 0];
        out[1] = source[1];
        out[2] = source[swap ? 0 : 2];
        out[3] = source[2] & 0x80 ? redBit : opaque;
    }
}

// Whole pixels as 32-bit words, byte 0 lowest: the compiler turns the byte
// assembly into single loads and stores.
uint32_t loadPixel(const uint8_t* p)
{
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

void storePixel(uint8_t* p, uint32_t pixel)
{
    p[0] = uint8_t(pixel);
    p[1] = uint8_t(pixel >> 8);
    p[2] = uint8_t(pixel >> 16);
    p[3] = uint8_t(pixel >> 24);
}

void decode32Swapped(const uint8_t* source, uint8_t* out, size_t count)
{
    for (size_t i = 0; i < count * 4; i += 4) {
        const uint32_t pixel = loadPixel(source + i);
        storePixel(out + i, (pixel & 0xFF00FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16);
    }
}

void decode32(const uint8_t* source, uint8_t* out, size_t count, unsigned flags)
{
    if (flags & SwapRedBlue)
        decode32Swapped(source, out, count);
    else
        std::memcpy(out, source, count * 4);
}

bool decodesType(uint8_t imageType)
{
    return imageType == UncompressedTrueColour || imageType == UncompressedGrey || imageType == RunLengthTrueColour;
}

// The decoder for a file's type and depth, or null for a type or depth the
// reader has no pixel layout for.
PixelDecoder decoderFor(uint8_t imageType, int depth)
{
    if (!decodesType(imageType))
        return nullptr;
    if (imageType == UncompressedGrey)
        return decodeGrey;
    if (depth == 16 && imageType == UncompressedTrueColour)
        return decode16;
    if (depth == 24)
        return decode24;
    if (depth == 32)
        return decode32;
    return nullptr;
}

// Copies `pixel` into `count` pixels from `out` on, in block copies from the
// start of the area, which stays in the cache.
void fillPixels(uint8_t* out, size_t count, const uint8_t* pixel)
{
    if (count == 0)
        return;
    std::memcpy(out, pixel, 4);
    const size_t blockPixels = 16 * 1024;
    for (size_t done = 1; done < count;) {
        const size_t step = std::min({done, count - done, blockPixels});
        std::memcpy(out + done * 4, out, step * 4);
        done += step;
    }
}

// Exchanges two rows through a small bounce buffer, so the reversal needs no
// second picture-sized buffer and cannot fail.
void swapRows(uint8_t* first, uint8_t* second, size_t bytes)
{
    uint8_t bounce[1024];
    for (size_t done = 0; done < bytes; done += sizeof bounce) {
        const size_t step = std::min(bytes - done, sizeof bounce);
        std::memcpy(bounce, first + done, step);
        std::memcpy(first + done, second + done, step);
        std::memcpy(second + done, bounce, step);
    }
}

uint16_t read16(BlockReader& reader)
{
    const uint8_t low = reader.byte();
    return uint16_t(low | reader.byte() << 8);
}

} // namespace

TgaImage::TgaImage()
    : idLength(0), colorMapType(0), imageType(0), colorMapFirstEntry(0), colorMapLength(0), colorMapEntrySize(0),
      xOrigin(0), yOrigin(0), imageDescriptor(0), imageId(), colorMap()
{
}

TgaImage::~TgaImage() {}

uint8_t* TgaImage::load(const char* path, unsigned flags)
{
    clearFailure();
    if (!openStream(path))
        return nullptr;
    releasePixels();
    BlockReader reader(stream);
    uint32_t rowsRead = 0;
    const bool decoded = readHeader(reader) && readPixels(reader, flags, rowsRead);
    std::fclose(stream);
    if (!decoded) {
        releasePixels();
        return nullptr;
    }
    if (!(imageDescriptor & TopRowFirst))
        reverseRows(rowsRead);
    return pixels;
}

// Past the end of the file header bytes read as 255, like every other byte.
bool TgaImage::readHeader(BlockReader& reader)
{
    const int first = reader.next();
    if (first < 0)
        return reader.readError() ? failSystem(reader.readError()) : fail(LoadFailure::Empty, "empty file");
    idLength = uint8_t(first);
    colorMapType = reader.byte();
    imageType = reader.byte();
    colorMapFirstEntry = read16(reader);
    colorMapLength = read16(reader);
    colorMapEntrySize = reader.byte();
    xOrigin = read16(reader);
    yOrigin = read16(reader);
    width = read16(reader);
    height = read16(reader);
    bitsPerPixel = reader.byte();
    if (bitsPerPixel == 8 || bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32)
        bytesPerPixel = bitsPerPixel / 8;
    imageDescriptor = reader.byte();
    return decoderFor(imageType, bitsPerPixel) || refuseLayout();
}

// Every file reaches this reader when it is not a JPEG, so a layout the
// reader cannot decode is only worth naming when the header looks like a
// TGA's: a colour-map type of 0 or 1 and one of the format's image types.
bool TgaImage::refuseLayout()
{
    static const struct {
        uint8_t type;
        const char* name;
    } types[] = {{0, "no image data"},
                 {1, "colour-mapped"},
                 {2, "true colour"},
                 {3, "grey"},
                 {9, "run-length colour-mapped"},
                 {10, "run-length true colour"},
                 {11, "run-length grey"},
                 {32, "compressed colour-mapped"},
                 {33, "compressed colour-mapped, 4-pass"}};
    const char* name = nullptr;
    for (const auto& known : types)
        if (known.type == imageType)
            name = known.name;
    if (!name || colorMapType > 1)
        return fail(LoadFailure::OtherFormat, "not a TGA file");
    if (!decodesType(imageType))
        return fail(LoadFailure::Refused, "TGA image type %d (%s) is not supported", imageType, name);
    return fail(LoadFailure::Refused, "TGA %s at %d bits per pixel is not supported", name, bitsPerPixel);
}

// `rowsRead` becomes the number of rows, in file order, that hold bytes of
// the file; the rows after them are all the same pixel.
bool TgaImage::readPixels(BlockReader& reader, unsigned flags, uint32_t& rowsRead)
{
    if (!admitSize(width, height) || !allocatePixels(width, height))
        return false;
    readIdAndColorMap(reader);
    pixelCount = int32_t(width * height);
    if (pixelCount <= 0)
        return true;
    rowsRead = height;
    if (imageType == RunLengthTrueColour)
        return decodeRunLength(reader, flags);
    const size_t pixelsRead = decodeUncompressed(reader, flags);
    rowsRead = uint32_t((pixelsRead + width - 1) / width);
    return true;
}

// Only the first 256 entries of three bytes are kept; the pixel data starts
// right after the whole colour map however long it is. An entry takes whole
// bytes, so a 15-bit entry takes two.
void TgaImage::readIdAndColorMap(BlockReader& reader)
{
    std::memcpy(imageId, reader.take(idLength), idLength);
    const size_t mapBytes = size_t(colorMapLength) * ((colorMapEntrySize + 7) / 8);
    const size_t kept = std::min(mapBytes, sizeof colorMap);
    std::memcpy(colorMap, reader.take(kept), kept);
    reader.skip(mapBytes - kept);
}

int TgaImage::sourceBytesPerPixel() const
{
    return imageType == UncompressedGrey ? 1 : bitsPerPixel / 8;
}

// A file that ends early still loads, its missing bytes read as 255. Once the
// file has run out, the remaining pixels are all that same value, so they are
// filled in without reading any further. Returns the number of pixels decoded
// before that.
size_t TgaImage::decodeUncompressed(BlockReader& reader, unsigned flags)
{
    const PixelDecoder decode = decoderFor(imageType, bitsPerPixel);
    const size_t sourceBytes = sourceBytesPerPixel();
    const size_t chunk = BlockReader::Capacity / sourceBytes;
    uint8_t* out = pixels;
    size_t left = size_t(pixelCount);
    while (left > 0 && !reader.pastEnd()) {
        const size_t count = std::min(left, chunk);
        decode(reader.take(count * sourceBytes), out, count, flags);
        out += count * 4;
        left -= count;
    }
    const uint8_t missing[4] = {255, 255, 255, 255};
    uint8_t pixel[4];
    decode(missing, pixel, 1, flags);
    fillPixels(out, left, pixel);
    return size_t(pixelCount) - left;
}

// Fails when a packet would run past the last pixel or when the file ends
// before the picture is complete.
bool TgaImage::decodeRunLength(BlockReader& reader, unsigned flags)
{
    const PixelDecoder decode = decoderFor(imageType, bitsPerPixel);
    const size_t sourceBytes = sourceBytesPerPixel();
    uint8_t* out = pixels;
    size_t left = size_t(pixelCount);
    while (left > 0) {
        const int header = reader.next();
        if (header < 0)
            return endsEarly(reader);
        const size_t count = (header & 0x7F) + 1;
        if (count > left)
            return fail(LoadFailure::Refused, "TGA run-length packet runs past the last pixel");
        if (header & 0x80) {
            decode(reader.take(sourceBytes), out, 1, flags);
            fillPixels(out + 4, count - 1, out);
        } else {
            decode(reader.take(count * sourceBytes), out, count, flags);
        }
        if (reader.pastEnd())
            return endsEarly(reader);
        out += count * 4;
        left -= count;
    }
    return true;
}

bool TgaImage::endsEarly(const BlockReader& reader)
{
    if (reader.readError())
        return failSystem(reader.readError());
    return fail(LoadFailure::Refused, "TGA run-length data ends early");
}

// Swaps row j with row height - 1 - j in place. Two rows that both lie past
// `rowsRead` hold the same pixels, so those pairs are left alone: a short
// file claiming a huge picture costs one pass over the buffer, not three.
void TgaImage::reverseRows(uint32_t rowsRead)
{
    const size_t rowBytes = size_t(width) * 4;
    const uint32_t pairs = std::min(height / 2, rowsRead);
    for (uint32_t j = 0; j < pairs; ++j)
        swapRows(pixels + j * rowBytes, pixels + (height - 1 - j) * rowBytes, rowBytes);
}
