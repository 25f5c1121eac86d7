#include "SampleFiles.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>
#include <tiffio.h>

namespace {

// The picture row by row, top row first.
Bytes bandRows(const SampleBands& bands)
{
    Bytes rows;
    for (uint32_t y = 0; y < bands.height; ++y) {
        const Bytes& colour = y < bands.height / 2 ? bands.top : bands.bottom;
        for (uint32_t x = 0; x < bands.width; ++x)
            rows.insert(rows.end(), colour.begin(), colour.end());
    }
    return rows;
}

J_COLOR_SPACE jpegColourSpace(int components)
{
    return components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
}

void writeTiffImage(TIFF* tiff, const SampleBands& bands, const TiffLayout& layout)
{
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, bands.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, bands.height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, bands.components);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, layout.compression);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, layout.orientation);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 4);
    if (layout.predictor != 1)
        TIFFSetField(tiff, TIFFTAG_PREDICTOR, layout.predictor);
    if (bands.components == 4) {
        const uint16_t extra[] = {uint16_t(layout.associatedAlpha ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA)};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    Bytes rows = bandRows(bands);
    const size_t rowBytes = size_t(bands.width) * bands.components;
    const bool bottomFirst = layout.orientation == ORIENTATION_BOTLEFT;
    for (uint32_t y = 0; y < bands.height; ++y) {
        const uint32_t source = bottomFirst ? bands.height - 1 - y : y;
        if (TIFFWriteScanline(tiff, rows.data() + source * rowBytes, y, 0) < 0)
            throw std::runtime_error("TIFFWriteScanline failed");
    }
    TIFFWriteDirectory(tiff);
}

} // namespace

void writeBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

Bytes readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes tgaHeader(uint8_t type, uint16_t width, uint16_t height, uint8_t depth, uint8_t descriptor,
                uint16_t mapLength, uint8_t mapEntryBits, uint8_t idLength)
{
    return {idLength,
            uint8_t(mapLength ? 1 : 0),
            type,
            0, 0,
            uint8_t(mapLength), uint8_t(mapLength >> 8),
            mapEntryBits,
            0, 0, 0, 0,
            uint8_t(width), uint8_t(width >> 8),
            uint8_t(height), uint8_t(height >> 8),
            depth,
            descriptor};
}

namespace {

void compress(const std::string& path, uint32_t width, uint32_t height, int components, const Bytes& rows,
              bool progressive)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    jpeg_stdio_dest(&compressor, file);
    compressor.image_width = width;
    compressor.image_height = height;
    compressor.input_components = components;
    compressor.in_color_space = jpegColourSpace(components);
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&compressor);
    jpeg_start_compress(&compressor, TRUE);
    while (compressor.next_scanline < compressor.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(rows.data()) + size_t(compressor.next_scanline) * width * components;
        jpeg_write_scanlines(&compressor, &row, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    std::fclose(file);
}

} // namespace

void writeJpeg(const std::string& path, const SampleBands& bands, bool progressive)
{
    compress(path, bands.width, bands.height, bands.components, bandRows(bands), progressive);
}

void writeDetailedJpeg(const std::string& path, uint32_t width, uint32_t height, bool progressive)
{
    Bytes rows(size_t(width) * height * 3);
    for (size_t i = 0; i < rows.size(); ++i)
        rows[i] = uint8_t((i * 2654435761u) >> 13 ^ (i / 3 % width) * 3);
    compress(path, width, height, 3, rows, progressive);
}

Bytes decodeJpegDefault(const std::string& path)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        throw std::runtime_error("cannot read " + path);
    jpeg_decompress_struct decompressor;
    jpeg_error_mgr errors;
    decompressor.err = jpeg_std_error(&errors);
    jpeg_create_decompress(&decompressor);
    jpeg_stdio_src(&decompressor, file);
    jpeg_read_header(&decompressor, TRUE);
    jpeg_start_decompress(&decompressor);
    const size_t stride = size_t(decompressor.output_width) * decompressor.output_components;
    Bytes samples(stride * decompressor.output_height);
    while (decompressor.output_scanline < decompressor.output_height) {
        JSAMPROW row = samples.data() + stride * decompressor.output_scanline;
        jpeg_read_scanlines(&decompressor, &row, 1);
    }
    jpeg_finish_decompress(&decompressor);
    jpeg_destroy_decompress(&decompressor);
    std::fclose(file);
    return samples;
}

void writeTiff(const std::string& path, const std::vector<SampleBands>& images, const TiffLayout& layout)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        throw std::runtime_error("cannot write " + path);
    for (const SampleBands& bands : images)
        writeTiffImage(tiff, bands, layout);
    TIFFClose(tiff);
}

void writeFloatTiff(const std::string& path)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        throw std::runtime_error("cannot write " + path);
    const uint32_t width = 4;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 2);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 32);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    std::vector<float> row(width * 3, 0.5f);
    for (uint32_t y = 0; y < 2; ++y)
        TIFFWriteScanline(tiff, row.data(), y, 0);
    TIFFClose(tiff);
}
