#include "PngFile.h"

#include <zlib.h>

#include <cstdio>
#include <vector>

namespace {

const uint8_t Signature[8] = {137, 'P', 'N', 'G', '\r', '\n', 26, '\n'};
const uint8_t TrueColour = 2;
// Each row is stored as its difference from the row above, which the
// presentation's smooth pictures turn into small numbers that deflate well;
// the fastest deflate level keeps a frame's writing short beside its drawing.
const uint8_t FilterUp = 2;
const int CompressionLevel = 1;
const size_t ChunkBytes = 1 << 16;

void putBigEndian(std::vector<uint8_t>& out, uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

bool writeChunk(std::FILE* file, const char type[4], const uint8_t* data, size_t size)
{
    std::vector<uint8_t> head;
    putBigEndian(head, static_cast<uint32_t>(size));
    head.insert(head.end(), type, type + 4);
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
    if (size > 0)
        crc = crc32(crc, data, static_cast<uInt>(size));
    std::vector<uint8_t> tail;
    putBigEndian(tail, static_cast<uint32_t>(crc));
    return std::fwrite(head.data(), 1, head.size(), file) == head.size() &&
           (size == 0 || std::fwrite(data, 1, size, file) == size) &&
           std::fwrite(tail.data(), 1, tail.size(), file) == tail.size();
}

// The filtered rows, deflated into IDAT chunks of at most ChunkBytes.
bool writeImageData(std::FILE* file, int32_t width, int32_t height, const uint8_t* rgb)
{
    const size_t stride = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> row(stride + 1);
    std::vector<uint8_t> out(ChunkBytes);
    z_stream stream = {};
    if (deflateInit(&stream, CompressionLevel) != Z_OK)
        return false;
    bool written = true;
    for (int32_t y = 0; y <= height && written; ++y) {
        const bool last = y == height;
        if (!last) {
            // Bottom row first in memory: file row y is memory row height-1-y.
            const uint8_t* current = rgb + static_cast<size_t>(height - 1 - y) * stride;
            row[0] = FilterUp;
            for (size_t i = 0; i < stride; ++i)
                row[i + 1] = static_cast<uint8_t>(current[i] - (y == 0 ? 0 : current[i + stride]));
            stream.next_in = row.data();
            stream.avail_in = static_cast<uInt>(row.size());
        }
        int result = Z_OK;
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            result = deflate(&stream, last ? Z_FINISH : Z_NO_FLUSH);
            const size_t produced = out.size() - stream.avail_out;
            if (result == Z_STREAM_ERROR || (produced > 0 && !writeChunk(file, "IDAT", out.data(), produced)))
                written = false;
        } while (written && (stream.avail_out == 0 || (last && result != Z_STREAM_END)));
    }
    deflateEnd(&stream);
    return written;
}

} // namespace

bool PngFile::write(const std::string& path, int32_t width, int32_t height, const uint8_t* rgb)
{
    if (width <= 0 || height <= 0 || rgb == nullptr)
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    std::vector<uint8_t> header;
    putBigEndian(header, static_cast<uint32_t>(width));
    putBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, TrueColour, 0, 0, 0}); // depth, colour type, deflate, filters, no interlace
    bool written = std::fwrite(Signature, 1, sizeof Signature, file) == sizeof Signature &&
                   writeChunk(file, "IHDR", header.data(), header.size()) && writeImageData(file, width, height, rgb) &&
                   writeChunk(file, "IEND", nullptr, 0);
    written = std::fclose(file) == 0 && written;
    if (!written)
        std::remove(path.c_str());
    return written;
}
