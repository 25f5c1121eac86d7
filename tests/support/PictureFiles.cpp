#include "support/PictureFiles.h"

#include "support/PlainLibjpeg.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

Bytes tgaHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, uint8_t descriptor, uint16_t mapLength,
                uint8_t mapEntryBits, uint8_t idLength)
{
    return {idLength,
            uint8_t(mapLength ? 1 : 0),
            type,
            0,
            0,
            uint8_t(mapLength),
            uint8_t(mapLength >> 8),
            mapEntryBits,
            0,
            0,
            0,
            0,
            uint8_t(width),
            uint8_t(width >> 8),
            uint8_t(height),
            uint8_t(height >> 8),
            depth,
            descriptor};
}

Bytes tgaRunLength(const Bytes& pixels, int bytesPerPixel)
{
    const size_t count = pixels.size() / bytesPerPixel;
    auto same = [&](size_t a, size_t b) {
        return std::equal(pixels.begin() + a * bytesPerPixel, pixels.begin() + (a + 1) * bytesPerPixel,
                          pixels.begin() + b * bytesPerPixel);
    };
    auto append = [&](Bytes& out, size_t first, size_t n) {
        out.insert(out.end(), pixels.begin() + first * bytesPerPixel, pixels.begin() + (first + n) * bytesPerPixel);
    };
    Bytes out;
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run))
            ++run;
        if (run > 1) {
            out.push_back(uint8_t(127 + run));
            append(out, i, 1);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1)))
            ++raw;
        out.push_back(uint8_t(raw - 1));
        append(out, i, raw);
        i += raw;
    }
    return out;
}

namespace {

int componentsOf(JpegColours colours)
{
    return colours == JpegColours::Grey ? 1 : colours == JpegColours::Rgb ? 3 : 4;
}

void setCoding(jpeg_compress_struct& c, JpegCoding coding, jpeg_scan_info* scans)
{
    switch (coding) {
    case JpegCoding::Progressive:
        jpeg_simple_progression(&c);
        break;
    case JpegCoding::OneScanPerComponent:
        for (int i = 0; i < c.num_components; ++i)
            scans[i] = jpeg_scan_info{1, {i, 0, 0, 0}, 0, 63, 0, 0};
        c.scan_info = scans;
        c.num_scans = c.num_components;
        break;
    case JpegCoding::Arithmetic:
        c.arith_code = TRUE;
        break;
    case JpegCoding::Restarts:
        c.restart_in_rows = 1;
        c.optimize_coding = TRUE;
        break;
    case JpegCoding::Baseline:
        break;
    }
}

} // namespace

Bytes encodeJpeg(const Bytes& samples, uint32_t width, uint32_t height, const JpegSettings& settings)
{
    jpeg_compress_struct c;
    jpeg_error_mgr errors;
    c.err = jpeg_std_error(&errors);
    jpeg_create_compress(&c);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &memory, &size);
    c.image_width = width;
    c.image_height = height;
    c.input_components = componentsOf(settings.colours);
    c.in_color_space = settings.colours == JpegColours::Grey  ? JCS_GRAYSCALE
                       : settings.colours == JpegColours::Rgb ? JCS_RGB
                                                              : JCS_CMYK;
    jpeg_set_defaults(&c);
    if (settings.colours == JpegColours::Ycck)
        jpeg_set_colorspace(&c, JCS_YCCK);
    c.write_Adobe_marker = settings.adobeMarker && c.write_Adobe_marker;
    jpeg_set_quality(&c, settings.quality, TRUE);
    if (settings.fullChroma)
        for (int i = 0; i < c.num_components; ++i)
            c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    jpeg_scan_info scans[4];
    setCoding(c, settings.coding, scans);
    jpeg_start_compress(&c, TRUE);
    const size_t stride = size_t(width) * c.input_components;
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(samples.data()) + stride * c.next_scanline;
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    Bytes out(memory, memory + size);
    jpeg_destroy_compress(&c);
    std::free(memory);
    return out;
}

Bytes decodeJpegDefault(const std::string& path)
{
    const PlainLibjpeg picture = decodeWithLibjpeg(path.c_str(), false);
    if (!picture.pixels)
        return {};
    return Bytes(picture.pixels.get(),
                 picture.pixels.get() + size_t(picture.width) * picture.height * picture.bytesPerPixel);
}

namespace {

void setTags(TIFF* tiff, const TiffPage& page)
{
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, page.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, page.height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, page.samples);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, page.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, page.sampleFormat);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, page.photometric);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, page.compression);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, page.orientation);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, page.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    if (page.predictor != PREDICTOR_NONE)
        TIFFSetField(tiff, TIFFTAG_PREDICTOR, page.predictor);
    if (!page.extraSamples.empty())
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, uint16_t(page.extraSamples.size()), page.extraSamples.data());
    if (!page.colourMap.empty()) {
        const size_t entries = page.colourMap.size() / 3;
        TIFFSetField(tiff, TIFFTAG_COLORMAP, page.colourMap.data(), page.colourMap.data() + entries,
                     page.colourMap.data() + 2 * entries);
    }
    if (page.tileSize) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, page.tileSize);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, page.tileSize);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, page.rowsPerStrip ? page.rowsPerStrip : page.height);
    }
}

const uint8_t* rowOf(const TiffPage& page, uint16_t plane, uint32_t y)
{
    return page.data.data() + (size_t(plane) * page.height + y) * page.rowBytes();
}

bool writeStrips(TIFF* tiff, const TiffPage& page, uint16_t planes)
{
    for (uint16_t plane = 0; plane < planes; ++plane)
        for (uint32_t y = 0; y < page.height; ++y)
            if (TIFFWriteScanline(tiff, const_cast<uint8_t*>(rowOf(page, plane, y)), y, plane) < 0)
                return false;
    return true;
}

bool writeTiles(TIFF* tiff, const TiffPage& page, uint16_t planes)
{
    Bytes tile(TIFFTileSize(tiff));
    const size_t tileRowBytes = TIFFTileRowSize(tiff);
    const size_t rowBytes = page.rowBytes();
    for (uint16_t plane = 0; plane < planes; ++plane)
        for (uint32_t ty = 0; ty < page.height; ty += page.tileSize)
            for (uint32_t tx = 0; tx < page.width; tx += page.tileSize) {
                std::fill(tile.begin(), tile.end(), 0);
                const size_t offset = size_t(tx) * rowBytes / page.width;
                const size_t count = std::min(tileRowBytes, rowBytes - offset);
                for (uint32_t y = ty; y < ty + page.tileSize && y < page.height; ++y)
                    std::copy_n(rowOf(page, plane, y) + offset, count, tile.begin() + (y - ty) * tileRowBytes);
                if (TIFFWriteTile(tiff, tile.data(), tx, ty, 0, plane) < 0)
                    return false;
            }
    return true;
}

} // namespace

bool writeTiff(const std::string& path, const std::vector<TiffPage>& pages, const char* mode)
{
    TIFF* tiff = TIFFOpen(path.c_str(), mode);
    if (!tiff)
        return false;
    bool ok = true;
    for (const TiffPage& page : pages) {
        if (!ok)
            break;
        const uint16_t planes = page.planar ? page.samples : 1;
        ok = page.data.size() >= page.rowBytes() * page.height * planes;
        setTags(tiff, page);
        ok = ok && (page.tileSize ? writeTiles(tiff, page, planes) : writeStrips(tiff, page, planes));
        ok = ok && TIFFWriteDirectory(tiff);
    }
    TIFFClose(tiff);
    return ok;
}

namespace {

int channelsOf(int colourType)
{
    switch (colourType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    }
    return 1;
}

// One row as the file stores it: samples below 8 bits packed from the high
// bits down, 16-bit ones most significant byte first.
Bytes packedRow(const PngPicture& picture, uint32_t y)
{
    const size_t count = size_t(picture.width) * channelsOf(picture.colourType);
    const uint16_t* samples = picture.samples.data() + y * count;
    Bytes row((count * picture.depth + 7) / 8);
    for (size_t i = 0; i < count; ++i) {
        if (picture.depth == 16) {
            row[2 * i] = uint8_t(samples[i] >> 8);
            row[2 * i + 1] = uint8_t(samples[i]);
        } else {
            const size_t bit = i * picture.depth;
            row[bit / 8] |= uint8_t(samples[i] << (8 - picture.depth - bit % 8));
        }
    }
    return row;
}

void ignoreWarning(png_structp, png_const_charp) {}

void appendToBytes(png_structp png, png_bytep data, size_t length)
{
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

} // namespace

Bytes encodePng(const PngPicture& picture)
{
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, ignoreWarning);
    png_infop info = png_create_info_struct(png);
    std::vector<Bytes> rows;
    for (uint32_t y = 0; y < picture.height; ++y)
        rows.push_back(packedRow(picture, y));
    std::vector<png_bytep> pointers;
    for (Bytes& row : rows)
        pointers.push_back(row.data());
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, appendToBytes, nullptr);
    png_set_IHDR(png, info, picture.width, picture.height, picture.depth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!picture.palette.empty())
        png_set_PLTE(png, info, picture.palette.data(), int(picture.palette.size()));
    if (!picture.paletteAlpha.empty() || picture.transparent)
        png_set_tRNS(png, info, picture.paletteAlpha.data(), int(picture.paletteAlpha.size()), picture.transparent);
    png_write_info(png, info);
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}
