#include "qorx/image/TgaImage.h"

#include "BlockReader.h"

#include <algorithm>
#include <cstring>

namespace {

const uint8_t RightToLeft = 0x10;
const uint8_t TopRowFirst = 0x20;
const uint8_t UncompressedTrueColour = 2;
const uint8_t UncompressedGrey = 3;
const uint8_t RunLengthTrueColour = 10;
// A run-length packet's first byte: whether it is a run of one pixel (or
// else literal pixels), and how many pixels it holds, less one.
const int RunPacket = 0x80;
const int PacketCountLessOne = 0x7F;
// The top bit of a 24-bit pixel's red byte, the alpha of AlphaFromRedBit.
const uint8_t RedTopBit = 0x80;

// Decodes `count` pixels from `source`, the file's bytes, into 4-byte pixels
// at `out`.
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

// Grey, then alpha.
void decodeGreyAlpha(const uint8_t* source, uint8_t* out, size_t count, unsigned)
{
    for (size_t i = 0; i < count; ++i, source += 2, out += 4) {
        const uint8_t grey = source[0], alpha = source[1];
        out[0] = out[1] = out[2] = grey;
        out[3] = alpha;
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
        const uint8_t blue = source[0], green = source[1], red = source[2];
        out[0] = swap ? red : blue;
        out[1] = green;
        out[2] = swap ? blue : red;
        out[3] = red & RedTopBit ? redBit : opaque;
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

// Folded at compile time.
bool lowByteFirst()
{
    const uint16_t one = 1;
    uint8_t first;
    std::memcpy(&first, &one, 1);
    return first == 1;
}

// Exchanges bytes 0 and 2 of each pixel. Where the machine puts the low
// byte first, two pixels at a time as one 64-bit word: this loop is most of
// the work of loading an uncompressed 32-bit file.
void swapRedBlue32(const uint8_t* source, uint8_t* out, size_t count)
{
    size_t i = 0;
    if (lowByteFirst()) {
        for (; i + 2 <= count; i += 2) {
            uint64_t pair;
            std::memcpy(&pair, source + 4 * i, 8);
            pair =
                (pair & 0xFF00FF00FF00FF00u) | (pair >> 16 & 0x000000FF000000FFu) | (pair & 0x000000FF000000FFu) << 16;
            std::memcpy(out + 4 * i, &pair, 8);
        }
    }
    for (; i < count; ++i) {
        const uint32_t pixel = loadPixel(source + 4 * i);
        storePixel(out + 4 * i, (pixel & 0xFF00FF00u) | (pixel >> 16 & 0xFFu) | (pixel & 0xFFu) << 16);
    }
}

void decode32(const uint8_t* source, uint8_t* out, size_t count, unsigned flags)
{
    if (flags & SwapRedBlue)
        swapRedBlue32(source, out, count);
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
    switch (imageType) {
    case UncompressedGrey:
        return depth == 8 ? decodeGrey : depth == 16 ? decodeGreyAlpha : nullptr;
    case UncompressedTrueColour:
        return depth == 16 ? decode16 : depth == 24 ? decode24 : depth == 32 ? decode32 : nullptr;
    case RunLengthTrueColour:
        return depth == 24 ? decode24 : depth == 32 ? decode32 : nullptr;
    default:
        return nullptr;
    }
}

void fillPixels(uint8_t* out, size_t count, const uint8_t* pixel)
{
    for (size_t i = 0; i < count; ++i)
        std::memcpy(out + 4 * i, pixel, 4);
}

void mirrorRow(uint8_t* row, size_t columns)
{
    if (columns < 2)
        return;
    for (uint8_t *left = row, *right = row + (columns - 1) * 4; left < right; left += 4, right -= 4) {
        uint32_t a, b;
        std::memcpy(&a, left, 4);
        std::memcpy(&b, right, 4);
        std::memcpy(left, &b, 4);
        std::memcpy(right, &a, 4);
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
    const bool decoded = readHeader(reader) && readPixels(reader, flags);
    std::fclose(stream);
    if (!decoded) {
        releasePixels();
        return nullptr;
    }
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

bool TgaImage::readPixels(BlockReader& reader, unsigned flags)
{
    if (!admitSize(width, height) || !allocatePixels(width, height))
        return false;
    readIdAndColorMap(reader);
    pixelCount = int32_t(width * height);
    if (pixelCount <= 0)
        return true;
    if (imageType == RunLengthTrueColour)
        return decodeRunLength(reader, flags);
    decodeUncompressed(reader, flags);
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

// Each row of the file goes straight to its place in the picture, whatever
// the order of rows (bit 5 of the descriptor) and of pixels within a row
// (bit 4), so the picture is never turned round afterwards.
uint8_t* TgaImage::rowInPlace(uint32_t fileRow) const
{
    const uint32_t row = imageDescriptor & TopRowFirst ? fileRow : height - 1 - fileRow;
    return pixels + size_t(row) * width * 4;
}

void TgaImage::finishRow(uint8_t* row) const
{
    if (imageDescriptor & RightToLeft)
        mirrorRow(row, width);
}

// A file that ends early still loads, its missing bytes read as 255. Once the
// file has run out, the rows left are all that same pixel, so they are
// filled in without reading any further.
void TgaImage::decodeUncompressed(BlockReader& reader, unsigned flags)
{
    const PixelDecoder decode = decoderFor(imageType, bitsPerPixel);
    const size_t sourceBytes = bitsPerPixel / 8;
    const size_t chunk = BlockReader::Capacity / sourceBytes;
    const uint8_t missing[4] = {255, 255, 255, 255};
    uint8_t pixel[4];
    decode(missing, pixel, 1, flags);
    for (uint32_t fileRow = 0; fileRow < height; ++fileRow) {
        uint8_t* row = rowInPlace(fileRow);
        if (reader.pastEnd()) {
            fillPixels(row, width, pixel);
            continue;
        }
        for (size_t done = 0; done < width;) {
            const size_t count = std::min(chunk, width - done);
            decode(reader.take(count * sourceBytes), row + done * 4, count, flags);
            done += count;
        }
        finishRow(row);
    }
}

// Packets run on from one row to the next. Fails when a packet would run
// past the last pixel or when the file ends before the picture is complete.
bool TgaImage::decodeRunLength(BlockReader& reader, unsigned flags)
{
    const PixelDecoder decode = decoderFor(imageType, bitsPerPixel);
    const size_t sourceBytes = bitsPerPixel / 8;
    uint32_t fileRow = 0;
    uint32_t column = 0;
    uint8_t* row = rowInPlace(0);
    size_t left = size_t(pixelCount);
    while (left > 0) {
        const int header = reader.next();
        if (header < 0)
            return endsEarly(reader);
        size_t count = (header & PacketCountLessOne) + 1;
        if (count > left)
            return fail(LoadFailure::Refused, "TGA run-length packet runs past the last pixel");
        left -= count;
        const bool run = header & RunPacket;
        uint8_t pixel[4];
        if (run)
            decode(reader.take(sourceBytes), pixel, 1, flags);
        while (count > 0) {
            const size_t step = std::min<size_t>(count, width - column);
            uint8_t* out = row + size_t(column) * 4;
            if (run)
                fillPixels(out, step, pixel);
            else
                decode(reader.take(step * sourceBytes), out, step, flags);
            count -= step;
            column += uint32_t(step);
            if (column == width) {
                finishRow(row);
                column = 0;
                if (++fileRow < height)
                    row = rowInPlace(fileRow);
            }
        }
        if (reader.pastEnd())
            return endsEarly(reader);
    }
    return true;
}

bool TgaImage::endsEarly(const BlockReader& reader)
{
    if (reader.readError())
        return failSystem(reader.readError());
    return fail(LoadFailure::Refused, "TGA run-length data ends early");
}
