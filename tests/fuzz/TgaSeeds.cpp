#include "TgaSeeds.h"

#include "SeedFile.h"

namespace {

void appendLe16(std::vector<uint8_t>& out, unsigned value)
{
    out.push_back(uint8_t(value & 0xFF));
    out.push_back(uint8_t(value >> 8));
}

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
           "x" + std::to_string(s.height) + (s.topFirst ? "-top" : "-bottom") + extra + ".tga";
}

} // namespace

std::vector<uint8_t> TgaSeeds::header(const Shape& s)
{
    std::vector<uint8_t> out;
    out.push_back(s.idLength);
    out.push_back(s.colorMapLength > 0 ? 1 : 0);
    out.push_back(s.imageType);
    appendLe16(out, 0);
    appendLe16(out, s.colorMapLength);
    out.push_back(s.colorMapEntrySize);
    appendLe16(out, 0);
    appendLe16(out, 0);
    appendLe16(out, s.width);
    appendLe16(out, s.height);
    out.push_back(s.depth);
    out.push_back(uint8_t((s.topFirst ? 0x20 : 0) | (s.depth == 32 ? 8 : 0)));
    return out;
}

std::vector<uint8_t> TgaSeeds::rawPixels(const Shape& s)
{
    unsigned bytesPerPixel = s.imageType == 3 ? 1 : s.depth / 8;
    unsigned count = unsigned(s.width) * s.height;
    std::vector<uint8_t> raw;
    for (unsigned i = 0; i < count; ++i)
        for (unsigned b = 0; b < bytesPerPixel; ++b)
            raw.push_back(patternByte(i, b, s.runLength));
    return raw;
}

void TgaSeeds::appendRunLength(std::vector<uint8_t>& out, const std::vector<uint8_t>& raw, int bytesPerPixel)
{
    size_t count = raw.size() / bytesPerPixel;
    auto same = [&](size_t a, size_t b) {
        for (int k = 0; k < bytesPerPixel; ++k)
            if (raw[a * bytesPerPixel + k] != raw[b * bytesPerPixel + k])
                return false;
        return true;
    };
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run))
            ++run;
        if (run >= 2) {
            out.push_back(uint8_t(127 + run));
            out.insert(out.end(), raw.begin() + i * bytesPerPixel, raw.begin() + (i + 1) * bytesPerPixel);
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < count && literal < 128 && !(i + literal + 1 < count && same(i + literal, i + literal + 1)))
            ++literal;
        out.push_back(uint8_t(literal - 1));
        out.insert(out.end(), raw.begin() + i * bytesPerPixel, raw.begin() + (i + literal) * bytesPerPixel);
        i += literal;
    }
}

std::vector<uint8_t> TgaSeeds::encode(const Shape& s)
{
    std::vector<uint8_t> out = header(s);
    for (unsigned i = 0; i < s.idLength; ++i)
        out.push_back(uint8_t('A' + i % 26));
    unsigned mapBytes = unsigned(s.colorMapLength) * s.colorMapEntrySize / 8;
    for (unsigned i = 0; i < mapBytes; ++i)
        out.push_back(uint8_t(i * 5));
    std::vector<uint8_t> raw = rawPixels(s);
    if (s.imageType == 10 && s.depth / 8 > 0)
        appendRunLength(out, raw, s.depth / 8);
    else
        out.insert(out.end(), raw.begin(), raw.end());
    return out;
}

int TgaSeeds::writeAll(const std::string& dir)
{
    int written = 0;
    bool failed = false;
    auto emit = [&](const Shape& s, const char* extra) {
        bool ok = SeedFile::write(dir + "/" + seedName(s, extra), encode(s));
        written += ok ? 1 : 0;
        failed = failed || !ok;
    };
    for (uint8_t type : {2, 3, 10})
        for (uint8_t depth : {8, 16, 24, 32})
            for (bool topFirst : {false, true})
                emit(Shape{type, depth, 7, 5, topFirst, 0, 0, 0}, "");
    emit(Shape{2, 24, 6, 4, false, 9, 4, 24}, "-id-map24");
    emit(Shape{10, 32, 5, 3, true, 255, 256, 24}, "-id-map24-full");
    emit(Shape{2, 16, 4, 4, false, 0, 8, 16}, "-map16");
    emit(Shape{10, 24, 40, 9, false, 0, 0, 0, 150}, "-long-runs");
    emit(Shape{10, 24, 1, 1, true, 0, 0, 0}, "");
    emit(Shape{2, 24, 0, 3, false, 0, 0, 0}, "-empty");
    return failed ? -1 : written;
}
