#include "TiffSeeds.h"

#include "support/PictureFiles.h"

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

uint8_t patternByte(uint32_t x, uint32_t y, uint32_t sample)
{
    return uint8_t(x * 23 + y * 13 + sample * 80);
}

// The bytes of one row of one plane (all samples when contiguous).
Bytes rowBytes(const TiffSeeds::Shape& s, const SampleFormat& f, uint32_t y, uint16_t plane)
{
    bool separate = s.layout == TiffSeeds::Layout::RgbPlanar;
    uint32_t samplesInRow = separate ? 1 : f.samples;
    Bytes row((size_t(s.width) * samplesInRow * f.bits + 7) / 8);
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
    const SampleFormat f = formatOf(s.layout);
    TiffPage page;
    page.width = s.width;
    page.height = s.height;
    page.samples = f.samples;
    page.bits = f.bits;
    page.photometric = f.photometric;
    page.compression = s.compression;
    page.predictor = s.predictor ? PREDICTOR_HORIZONTAL : PREDICTOR_NONE;
    page.orientation = s.orientation;
    page.planar = s.layout == Layout::RgbPlanar;
    page.rowsPerStrip = s.rowsPerStrip;
    page.tileSize = s.tileSize;
    if (s.layout == Layout::Rgba || s.layout == Layout::Rgba16)
        page.extraSamples = {EXTRASAMPLE_UNASSALPHA};
    if (s.layout == Layout::Palette)
        for (int table = 0; table < 3; ++table)
            for (int i = 0; i < 256; ++i)
                page.colourMap.push_back(uint16_t((table == 0 ? i : table == 1 ? 255 - i : i * 7 % 256) * 257));
    for (uint16_t plane = 0; plane < (page.planar ? f.samples : 1); ++plane)
        for (uint32_t y = 0; y < s.height; ++y) {
            const Bytes row = rowBytes(s, f, y, plane);
            page.data.insert(page.data.end(), row.begin(), row.end());
        }
    return writeTiff(path, std::vector<TiffPage>(size_t(s.pages), page), s.mode);
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
