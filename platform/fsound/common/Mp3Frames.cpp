#include "Mp3Frames.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace {

// Bit rates in kbit/s by bit-rate index 1..14.
constexpr int Mpeg1Layer1Rates[14] = {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448};
constexpr int Mpeg1Layer2Rates[14] = {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384};
constexpr int Mpeg1Layer3Rates[14] = {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
constexpr int Mpeg2Layer1Rates[14] = {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256};
constexpr int Mpeg2Layer23Rates[14] = {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};

constexpr int Mpeg1SampleRates[3] = {44100, 48000, 32000};

enum Version { Mpeg25 = 0, Mpeg2 = 2, Mpeg1 = 3 };
enum Layer { Layer3 = 1, Layer2 = 2, Layer1 = 3 };

struct FrameHeader {
    int version;
    int layer;
    int sampleRate;
    std::size_t length;
};

int bitRateKbps(int version, int layer, int index)
{
    if (version == Mpeg1)
        return (layer == Layer1 ? Mpeg1Layer1Rates : layer == Layer2 ? Mpeg1Layer2Rates : Mpeg1Layer3Rates)[index - 1];
    return (layer == Layer1 ? Mpeg2Layer1Rates : Mpeg2Layer23Rates)[index - 1];
}

int sampleRate(int version, int index)
{
    int shift = version == Mpeg1 ? 0 : version == Mpeg2 ? 1 : 2;
    return Mpeg1SampleRates[index] >> shift;
}

std::size_t frameLength(int version, int layer, int bitRate, int rate, int padding)
{
    if (layer == Layer1)
        return static_cast<std::size_t>((12000 * bitRate / rate + padding) * 4);
    int factor = (layer == Layer3 && version != Mpeg1) ? 72000 : 144000;
    return static_cast<std::size_t>(factor * bitRate / rate + padding);
}

// Free-format streams (bit-rate index 0) are refused: their frame length is
// not in the header, and nothing this program ships uses them.
bool parseHeader(const unsigned char* p, FrameHeader& header)
{
    if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0)
        return false;
    int version = (p[1] >> 3) & 3;
    int layer = (p[1] >> 1) & 3;
    int rateIndex = p[2] >> 4;
    int sampleIndex = (p[2] >> 2) & 3;
    if (version == 1 || layer == 0 || rateIndex == 0 || rateIndex == 15 || sampleIndex == 3)
        return false;
    int rate = sampleRate(version, sampleIndex);
    int bitRate = bitRateKbps(version, layer, rateIndex);
    header = {version, layer, rate, frameLength(version, layer, bitRate, rate, (p[2] >> 1) & 1)};
    return true;
}

bool startsWith(const unsigned char* data, std::size_t size, const char* text)
{
    std::size_t length = std::strlen(text);
    return size >= length && std::memcmp(data, text, length) == 0;
}

std::size_t skipId3v2Tags(const unsigned char* data, std::size_t size)
{
    std::size_t pos = 0;
    while (size - pos >= 10 && startsWith(data + pos, size - pos, "ID3")) {
        const unsigned char* tag = data + pos;
        if ((tag[6] | tag[7] | tag[8] | tag[9]) & 0x80)
            return pos; // not a tag after all; the frame walk will refuse it
        std::size_t body = (std::size_t(tag[6]) << 21) | (tag[7] << 14) | (tag[8] << 7) | tag[9];
        std::size_t total = 10 + body + ((tag[5] & 0x10) ? 10 : 0);
        if (total > size - pos)
            return size;
        pos += total;
    }
    return pos;
}

// An ID3v1 tag is the file's last 128 bytes; APE and Lyrics3 tags vary in
// size and may sit before one.
bool isTrailingTag(const unsigned char* data, std::size_t size)
{
    return (size == 128 && startsWith(data, size, "TAG")) || startsWith(data, size, "APETAGEX") ||
           startsWith(data, size, "LYRICSBEGIN");
}

bool sameStream(const FrameHeader& a, const FrameHeader& b)
{
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate;
}

} // namespace

bool mp3FramesAreIntact(const unsigned char* data, std::size_t size)
{
    std::size_t pos = skipId3v2Tags(data, size);
    FrameHeader first{};
    std::size_t frames = 0;
    while (size - pos >= 4) {
        FrameHeader header{};
        if (!parseHeader(data + pos, header))
            return frames > 0 && isTrailingTag(data + pos, size - pos);
        if (frames > 0 && !sameStream(first, header))
            return false;
        if (frames == 0)
            first = header;
        ++frames;
        if (header.length >= size - pos)
            return true;
        pos += header.length;
    }
    return frames > 0;
}

const char* mp3FileProblem(const char* fileName)
{
    // Larger is not a soundtrack. It also catches a directory, which opens as
    // a file on Linux and reports a size near LONG_MAX.
    const long MaxFileBytes = 64L << 20;
    std::FILE* file = std::fopen(fileName, "rb");
    if (!file)
        return std::strerror(errno);
    const long size = std::fseek(file, 0, SEEK_END) == 0 ? std::ftell(file) : -1;
    const bool sized = size > 0 && size <= MaxFileBytes;
    std::unique_ptr<unsigned char[]> data(sized ? new (std::nothrow) unsigned char[size] : nullptr);
    const bool read = data && std::fseek(file, 0, SEEK_SET) == 0 &&
                      std::fread(data.get(), 1, static_cast<std::size_t>(size), file) == static_cast<std::size_t>(size);
    std::fclose(file);
    if (read && mp3FramesAreIntact(data.get(), static_cast<std::size_t>(size)))
        return nullptr;
    return "not a playable MP3 file";
}
