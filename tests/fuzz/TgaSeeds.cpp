#include "TgaSeeds.h"

#include "support/PictureFiles.h"

namespace {

// Runs of equal pixels alternate with stretches of distinct ones, so the
// run-length encoder makes both kinds of packet.
uint8_t patternByte(unsigned pixel, unsigned byte, unsigned runLength)
{
    unsigned base = (pixel / runLength) % 2 == 0 ? pixel / runLength : pixel * 3;
    return uint8_t(base * 37 + byte * 71 + 13);
}

std::string seedName(const TgaSeeds::Shape& s, const char* extra)
{
    return "tga-t" + std::to_string(s.imageType) + "-d" + std::to_string(s.depth) + "-" + std::to_string(s.width) +
           "x" + std::to_string(s.height) + (s.topFirst ? "-top" : "-bottom") + (s.rightToLeft ? "-rtl" : "") + extra +
           ".tga";
}

Bytes rawPixels(const TgaSeeds::Shape& s)
{
    unsigned bytesPerPixel = s.depth / 8;
    unsigned count = unsigned(s.width) * s.height;
    Bytes raw;
    for (unsigned i = 0; i < count; ++i)
        for (unsigned b = 0; b < bytesPerPixel; ++b)
            raw.push_back(patternByte(i, b, s.runLength));
    return raw;
}

} // namespace

std::vector<uint8_t> TgaSeeds::encode(const Shape& s)
{
    const uint8_t descriptor = uint8_t((s.topFirst ? 0x20 : 0) | (s.rightToLeft ? 0x10 : 0) | (s.depth == 32 ? 8 : 0));
    Bytes out = tgaHeader(s.imageType, s.width, s.height, s.depth, descriptor, s.colorMapLength, s.colorMapEntrySize,
                          s.idLength);
    for (unsigned i = 0; i < s.idLength; ++i)
        out.push_back(uint8_t('A' + i % 26));
    unsigned mapBytes = unsigned(s.colorMapLength) * s.colorMapEntrySize / 8;
    for (unsigned i = 0; i < mapBytes; ++i)
        out.push_back(uint8_t(i * 5));
    const Bytes raw = rawPixels(s);
    return concat({out, s.imageType == 10 && s.depth / 8 > 0 ? tgaRunLength(raw, s.depth / 8) : raw});
}

int TgaSeeds::writeAll(const std::string& dir)
{
    int written = 0;
    bool failed = false;
    auto emit = [&](const Shape& s, const char* extra) {
        bool ok = writeBytes(dir + "/" + seedName(s, extra), encode(s));
        written += ok ? 1 : 0;
        failed = failed || !ok;
    };
    for (uint8_t type : {2, 3, 10})
        for (uint8_t depth : {8, 16, 24, 32})
            for (bool topFirst : {false, true})
                for (bool rightToLeft : {false, true})
                    emit(Shape{type, depth, 7, 5, topFirst, 0, 0, 0, 5, rightToLeft}, "");
    emit(Shape{2, 24, 6, 4, false, 9, 4, 24}, "-id-map24");
    emit(Shape{10, 32, 5, 3, true, 255, 256, 24}, "-id-map24-full");
    emit(Shape{2, 16, 4, 4, false, 0, 8, 16}, "-map16");
    emit(Shape{10, 24, 40, 9, false, 0, 0, 0, 150}, "-long-runs");
    emit(Shape{10, 24, 1, 1, true, 0, 0, 0}, "");
    emit(Shape{2, 24, 0, 3, false, 0, 0, 0}, "-empty");
    return failed ? -1 : written;
}
