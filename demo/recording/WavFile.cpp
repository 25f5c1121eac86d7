#include "WavFile.h"

#include <vector>

namespace {

const uint16_t Channels = 2;
const uint16_t BytesPerSample = 2;
const uint16_t Pcm = 1;
const uint32_t HeaderBytes = 44;
// What the RIFF size field can count, less the rest of the header.
const uint64_t MostDataBytes = 0xFFFFFFFFull - (HeaderBytes - 8);

void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void putTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

WavFile::WavFile() : file(nullptr), announced(0), written(0), failed(false) {}

WavFile::~WavFile()
{
    if (file != nullptr) {
        failed = true;
        close();
    }
}

bool WavFile::open(const std::string& path, int32_t rate, uint32_t frames)
{
    const uint64_t dataBytes = uint64_t(frames) * Channels * BytesPerSample;
    if (file != nullptr || rate <= 0 || dataBytes > MostDataBytes)
        return false;
    std::vector<uint8_t> header;
    putTag(header, "RIFF");
    putLittleEndian(header, static_cast<uint32_t>(dataBytes + HeaderBytes - 8), 4);
    putTag(header, "WAVE");
    putTag(header, "fmt ");
    putLittleEndian(header, 16, 4);
    putLittleEndian(header, Pcm, 2);
    putLittleEndian(header, Channels, 2);
    putLittleEndian(header, static_cast<uint32_t>(rate), 4);
    putLittleEndian(header, static_cast<uint32_t>(rate) * Channels * BytesPerSample, 4);
    putLittleEndian(header, Channels * BytesPerSample, 2);
    putLittleEndian(header, 8 * BytesPerSample, 2);
    putTag(header, "data");
    putLittleEndian(header, static_cast<uint32_t>(dataBytes), 4);

    file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    filePath = path;
    announced = frames;
    written = 0;
    failed = std::fwrite(header.data(), 1, header.size(), file) != header.size();
    return !failed;
}

bool WavFile::append(const int16_t* samples, uint32_t count)
{
    if (file == nullptr || failed || count > announced - written) {
        failed = true;
        return false;
    }
    // Little-endian whatever the machine's order.
    std::vector<uint8_t> block;
    block.reserve(size_t(count) * Channels * BytesPerSample);
    for (size_t i = 0; i < size_t(count) * Channels; ++i)
        putLittleEndian(block, static_cast<uint16_t>(samples[i]), 2);
    failed = std::fwrite(block.data(), 1, block.size(), file) != block.size();
    written += count;
    return !failed;
}

bool WavFile::close()
{
    if (file == nullptr)
        return false;
    const bool closed = std::fclose(file) == 0;
    file = nullptr;
    const bool complete = closed && !failed && written == announced;
    if (!complete)
        std::remove(filePath.c_str());
    return complete;
}
