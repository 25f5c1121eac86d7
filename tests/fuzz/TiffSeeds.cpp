#include "TiffSeeds.h"

#include <algorithm>
#include <tiffio.h>
#include <vector>

namespace {

struct SampleFormat {
    uint16_t samples;
    uint16_t bits;
    uint16_t photometric;
};

SampleFormat formatOf(TiffSeeds::Layout layout)
{
    switch (layout) {
    case TiffSeeds::Layout::Rgb:
        return {3, 8, PHOTOMETRIC_RGB};
    case TiffSeeds::Layout::Rgba:
        return {4, 8, PHOTOMETRIC_RGB};
    case TiffSeeds::Layout::RgbPlanar:
        return {3, 8, PHOTOMETRIC_RGB};
    case TiffSeeds::Layout::Grey8:
        return {1, 8, PHOTOMETRIC_MINISBLACK};
    case TiffSeeds::Layout::Grey16:
        return {1, 16, PHOTOMETRIC_MINISBLACK};
    case TiffSeeds::Layout::Bilevel:
        return {1, 1, PHOTOMETRIC_MINISWHITE};
    case TiffSeeds::Layout::Palette:
        return {1, 8, PHOTOMETRIC_PALETTE};
    case TiffSeeds::Layout::Rgba16:
        return {4, 16, PHOTOMETRIC_RGB};
    }
    return {3, 8, PHOTOMETRIC_RGB};
}

void setTags(TIFF* tif, const TiffSeeds::Shape& s, const SampleFormat& f)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, s.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, s.height);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, f.samples);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, f.bits);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, f.photometric);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, s.compression);
    TIFFSetField(tif, TIFFTAG_ORIENTATION, s.orientation);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG,
                 s.layout == TiffSeeds::Layout::RgbPlanar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    if (s.predictor)
        TIFFSetField(tif, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    if (s.layout == TiffSeeds::Layout::Rgba || s.layout == TiffSeeds::Layout::Rgba16) {
        uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    if (s.layout == TiffSeeds::Layout::Palette) {
        static uint16_t red[256], green[256], blue[256];
        for (int i = 0; i < 256; ++i) {
            red[i] = uint16_t(i * 257);
            green[i] = uint16_t((255 - i) * 257);
            blue[i] = uint16_t((i * 7 % 256) * 257);
        }
        TIFFSetField(tif, TIFFTAG_COLORMAP, red, green, blue);
    }
    if (s.tileSize) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, s.tileSize);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, s.tileSize);
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, s.rowsPerStrip ? s.rowsPerStrip : s.height);
    }
}

uint8_t patternByte(uint32_t x, uint32_t y, uint32_t sample)
{
    return uint8_t(x * 23 + y * 13 + sample * 80);
}

// The bytes of one row of one plane (all samples when contiguous).
std::vector<uint8_t> rowBytes(const TiffSeeds::Shape& s, const SampleFormat& f, uint32_t y, uint16_t plane)
{
    bool separate = s.layout == TiffSeeds::Layout::RgbPlanar;
    uint32_t samplesInRow = separate ? 1 : f.samples;
    std::vector<uint8_t> row((size_t(s.width) * samplesInRow * f.bits + 7) / 8);
    if (f.bits == 1) {
        for (uint32_t x = 0; x < s.width; ++x)
            if ((x + y) % 3 == 0)
                row[x / 8] |= uint8_t(0x80 >> (x % 8));
        return row;
    }
    uint32_t bytesPerSample = f.bits / 8;
    for (uint32_t x = 0; x < s.width; ++x)
        for (uint32_t k = 0; k < samplesInRow; ++k)
            for (uint32_t b = 0; b < bytesPerSample; ++b)
                row[(x * samplesInRow + k) * bytesPerSample + b] = patternByte(x, y, separate ? plane : k);
    return row;
}

bool writeStrips(TIFF* tif, const TiffSeeds::Shape& s, const SampleFormat& f, uint16_t planes)
{
    for (uint16_t plane = 0; plane < planes; ++plane)
        for (uint32_t y = 0; y < s.height; ++y) {
            std::vector<uint8_t> row = rowBytes(s, f, y, plane);
            if (TIFFWriteScanline(tif, row.data(), y, plane) < 0)
                return false;
        }
    return true;
}

bool writeTiles(TIFF* tif, const TiffSeeds::Shape& s, const SampleFormat& f, uint16_t planes)
{
    std::vector<uint8_t> tile(TIFFTileSize(tif));
    size_t tileRowBytes = TIFFTileRowSize(tif);
    for (uint16_t plane = 0; plane < planes; ++plane)
        for (uint32_t ty = 0; ty < s.height; ty += s.tileSize)
            for (uint32_t tx = 0; tx < s.width; tx += s.tileSize) {
                std::fill(tile.begin(), tile.end(), 0);
                for (uint32_t y = ty; y < ty + s.tileSize && y < s.height; ++y) {
                    std::vector<uint8_t> row = rowBytes(s, f, y, plane);
                    size_t offset = size_t(tx) * row.size() / s.width;
                    size_t count = std::min(tileRowBytes, row.size() - offset);
                    std::copy(row.begin() + offset, row.begin() + offset + count,
                              tile.begin() + (y - ty) * tileRowBytes);
                }
                if (TIFFWriteTile(tif, tile.data(), tx, ty, 0, plane) < 0)
                    return false;
            }
    return true;
}

std::string seedName(const TiffSeeds::Shape& s, int index)
{
    static const char* const layouts[] = {"rgb",    "rgba",    "rgb-planar", "grey8",
                                          "grey16", "bilevel", "palette",    "rgba16"};
    return "tiff-" + std::to_string(index) + "-" + layouts[int(s.layout)] + "-c" + std::to_string(s.compression) +
           (s.predictor ? "-pred" : "") + (s.tileSize ? "-tiled" : "") + "-o" + std::to_string(s.orientation) + ".tif";
}

} // namespace

bool TiffSeeds::write(const std::string& path, const Shape& s)
{
    TIFF* tif = TIFFOpen(path.c_str(), s.mode);
    if (!tif)
        return false;
    SampleFormat f = formatOf(s.layout);
    uint16_t planes = s.layout == Layout::RgbPlanar ? f.samples : 1;
    bool ok = true;
    for (int page = 0; page < s.pages && ok; ++page) {
        setTags(tif, s, f);
        ok = s.tileSize ? writeTiles(tif, s, f, planes) : writeStrips(tif, s, f, planes);
        ok = ok && TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return ok;
}

int TiffSeeds::writeAll(const std::string& dir)
{
    const Shape shapes[] = {
        {Layout::Rgb, COMPRESSION_NONE, false, 9, 7, 0, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Rgb, COMPRESSION_LZW, false, 9, 7, 2, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Rgb, COMPRESSION_LZW, true, 9, 7, 3, 0, ORIENTATION_BOTLEFT, "wb", 1},
        {Layout::Rgb, COMPRESSION_PACKBITS, false, 9, 7, 2, 0, ORIENTATION_TOPRIGHT, "w", 1},
        {Layout::Rgb, COMPRESSION_ADOBE_DEFLATE, true, 9, 7, 4, 0, ORIENTATION_LEFTTOP, "w", 1},
        {Layout::Rgb, COMPRESSION_NONE, false, 20, 18, 0, 16, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Rgb, COMPRESSION_LZW, false, 20, 18, 0, 16, ORIENTATION_BOTRIGHT, "w8", 1},
        {Layout::Rgb, COMPRESSION_JPEG, false, 16, 16, 16, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Rgba, COMPRESSION_NONE, false, 9, 7, 0, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Rgba, COMPRESSION_PACKBITS, false, 9, 7, 1, 0, ORIENTATION_RIGHTBOT, "wb", 1},
        {Layout::RgbPlanar, COMPRESSION_NONE, false, 9, 7, 3, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::RgbPlanar, COMPRESSION_LZW, false, 20, 18, 0, 16, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Grey8, COMPRESSION_NONE, false, 9, 7, 0, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Grey8, COMPRESSION_PACKBITS, false, 9, 7, 2, 0, ORIENTATION_LEFTBOT, "w", 1},
        {Layout::Grey16, COMPRESSION_LZW, true, 9, 7, 0, 0, ORIENTATION_TOPLEFT, "wb", 1},
        {Layout::Bilevel, COMPRESSION_NONE, false, 21, 7, 0, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Bilevel, COMPRESSION_CCITTRLE, false, 21, 7, 0, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Bilevel, COMPRESSION_CCITTFAX3, false, 21, 7, 3, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Bilevel, COMPRESSION_CCITTFAX4, false, 21, 7, 0, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Palette, COMPRESSION_NONE, false, 9, 7, 0, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Palette, COMPRESSION_LZW, false, 9, 7, 2, 0, ORIENTATION_TOPLEFT, "w", 1},
        {Layout::Rgb, COMPRESSION_NONE, false, 5, 4, 0, 0, ORIENTATION_TOPLEFT, "w", 2},
        {Layout::Rgba16, COMPRESSION_ADOBE_DEFLATE, true, 9, 7, 0, 0, ORIENTATION_TOPLEFT, "w", 1},
    };
    int written = 0;
    for (const Shape& s : shapes) {
        if (!write(dir + "/" + seedName(s, written), s))
            return -1;
        ++written;
    }
    return written;
}
