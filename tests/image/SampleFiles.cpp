#include "SampleFiles.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include <jpeglib.h>
#include <tiffio.h>

namespace {

FILE* openFile(const std::string& path, const char* mode)
{
    FILE* file = std::fopen(path.c_str(), mode);
    if (!file)
        throw std::runtime_error("cannot open " + path);
    return file;
}

// The band picture row by row in the file's order.
Bytes bandRows(const SampleBands& bands, bool bottomFirst)
{
    Bytes rows;
    for (uint32_t row = 0; row < bands.height; ++row) {
        const uint32_t y = bottomFirst ? bands.height - 1 - row : row;
        const Bytes& colour = y < bands.height / 2 ? bands.top : bands.bottom;
        for (uint32_t x = 0; x < bands.width; ++x)
            rows.insert(rows.end(), colour.begin(), colour.end());
    }
    return rows;
}

void setTiffFields(TIFF* tiff, uint32_t width, uint32_t height, int bits, int components)
{
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, components);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 4);
}

void writeTiffRows(TIFF* tiff, uint8_t* rows, size_t rowBytes, uint32_t height)
{
    for (uint32_t y = 0; y < height; ++y)
        if (TIFFWriteScanline(tiff, rows + y * rowBytes, y, 0) < 0)
            throw std::runtime_error("TIFFWriteScanline failed");
    TIFFWriteDirectory(tiff);
}

} // namespace

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

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

void writeJpeg(const std::string& path, uint32_t width, uint32_t height, int components, bool progressive)
{
    FILE* file = openFile(path, "wb");
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    jpeg_stdio_dest(&compressor, file);
    compressor.image_width = width;
    compressor.image_height = height;
    compressor.input_components = components;
    compressor.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&compressor);
    if (progressive)
        jpeg_simple_progression(&compressor);
    jpeg_start_compress(&compressor, TRUE);
    Bytes row(size_t(width) * components);
    while (compressor.next_scanline < height) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = uint8_t((i * 7 + compressor.next_scanline * 13) ^ (i * compressor.next_scanline >> 4));
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    std::fclose(file);
}

Bytes decodeJpegDefault(const std::string& path)
{
    FILE* file = openFile(path, "rb");
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
    for (const SampleBands& bands : images) {
        setTiffFields(tiff, bands.width, bands.height, 8, bands.components);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, layout.compression);
        TIFFSetField(tiff, TIFFTAG_ORIENTATION, layout.orientation);
        if (layout.predictor != 1)
            TIFFSetField(tiff, TIFFTAG_PREDICTOR, layout.predictor);
        const uint16_t alpha[] = {uint16_t(layout.associatedAlpha ? EXTRASAMPLE_ASSOCALPHA : EXTRASAMPLE_UNASSALPHA)};
        if (bands.components == 4)
            TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, alpha);
        Bytes rows = bandRows(bands, layout.orientation == ORIENTATION_BOTLEFT);
        writeTiffRows(tiff, rows.data(), size_t(bands.width) * bands.components, bands.height);
    }
    TIFFClose(tiff);
}

void writeFloatTiff(const std::string& path)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        throw std::runtime_error("cannot write " + path);
    setTiffFields(tiff, 4, 2, 32, 3);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    std::vector<float> rows(4 * 2 * 3, 0.5f);
    writeTiffRows(tiff, reinterpret_cast<uint8_t*>(rows.data()), 4 * 3 * sizeof(float), 2);
    TIFFClose(tiff);
}
