#include "BenchPictures.h"

#include <cstdio>
#include <fstream>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace {

using Bytes = std::vector<uint8_t>;

// Blue, green, red, alpha of the picture's pixel (x, y), y = 0 at the top.
void benchPixel(uint32_t x, uint32_t y, uint8_t* out)
{
    const bool flat = ((x / 64) + (y / 64)) % 2 == 0;
    for (int c = 0; c < 3; ++c)
        out[c] =
            flat ? uint8_t(40 + 60 * c + (x / 64) % 7) : uint8_t((x * (3 + c) + y * (5 + 2 * c)) ^ (x >> 2) ^ (y << 1));
    out[3] = flat ? 255 : uint8_t(x + y);
}

Bytes tgaHeaderBytes(uint8_t type, uint16_t side)
{
    return {
        0,  0, type, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(side), uint8_t(side >> 8), uint8_t(side), uint8_t(side >> 8),
        32, 8};
}

// Pixels in file order: bottom row first.
std::vector<uint32_t> filePixels(uint32_t side)
{
    std::vector<uint32_t> pixels(size_t(side) * side);
    for (uint32_t row = 0; row < side; ++row)
        for (uint32_t x = 0; x < side; ++x)
            benchPixel(x, side - 1 - row, reinterpret_cast<uint8_t*>(&pixels[size_t(row) * side + x]));
    return pixels;
}

void append(Bytes& out, uint32_t pixel)
{
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(&pixel);
    out.insert(out.end(), bytes, bytes + 4);
}

// Greedy packets: a run for two or more equal pixels, raw pixels otherwise.
Bytes runLength(const std::vector<uint32_t>& pixels)
{
    Bytes out;
    size_t i = 0;
    while (i < pixels.size()) {
        size_t run = 1;
        while (i + run < pixels.size() && run < 128 && pixels[i + run] == pixels[i])
            ++run;
        if (run > 1) {
            out.push_back(uint8_t(0x80 | (run - 1)));
            append(out, pixels[i]);
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < pixels.size() && raw < 128 &&
               !(i + raw + 1 < pixels.size() && pixels[i + raw] == pixels[i + raw + 1]))
            ++raw;
        out.push_back(uint8_t(raw - 1));
        for (size_t k = 0; k < raw; ++k)
            append(out, pixels[i + k]);
        i += raw;
    }
    return out;
}

void writeFile(const std::string& path, const Bytes& head, const Bytes& body)
{
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(head.data()), std::streamsize(head.size()));
    out.write(reinterpret_cast<const char*>(body.data()), std::streamsize(body.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

void writeBenchTga(const std::string& path, uint32_t side, bool compressed)
{
    const std::vector<uint32_t> pixels = filePixels(side);
    Bytes body;
    if (compressed) {
        body = runLength(pixels);
    } else {
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(pixels.data());
        body.assign(bytes, bytes + pixels.size() * 4);
    }
    writeFile(path, tgaHeaderBytes(compressed ? 10 : 2, uint16_t(side)), body);
}

void writeBenchJpeg(const std::string& path, uint32_t side)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path);
    jpeg_compress_struct compressor;
    jpeg_error_mgr errors;
    compressor.err = jpeg_std_error(&errors);
    jpeg_create_compress(&compressor);
    jpeg_stdio_dest(&compressor, file);
    compressor.image_width = side;
    compressor.image_height = side;
    compressor.input_components = 3;
    compressor.in_color_space = JCS_RGB;
    jpeg_set_defaults(&compressor);
    jpeg_set_quality(&compressor, 90, TRUE);
    jpeg_start_compress(&compressor, TRUE);
    std::vector<uint8_t> row(size_t(side) * 3);
    while (compressor.next_scanline < side) {
        for (uint32_t x = 0; x < side; ++x) {
            uint8_t pixel[4];
            benchPixel(x, compressor.next_scanline, pixel);
            row[x * 3] = pixel[2];
            row[x * 3 + 1] = pixel[1];
            row[x * 3 + 2] = pixel[0];
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&compressor, rows, 1);
    }
    jpeg_finish_compress(&compressor);
    jpeg_destroy_compress(&compressor);
    std::fclose(file);
}

void writeShortTga(const std::string& path, uint16_t side)
{
    Bytes head = tgaHeaderBytes(2, side);
    writeFile(path, head, {1, 2});
}
