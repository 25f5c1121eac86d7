#include "support/Files.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

#include <stdlib.h>

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

bool writeBytes(const std::string& path, const Bytes& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

Bytes readBytes(const std::string& path)
{
    Bytes bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    uint8_t block[65536];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0)
        bytes.insert(bytes.end(), block, block + got);
    std::fclose(file);
    return bytes;
}

double loudShare(const Bytes& bytes, size_t from)
{
    const int NearSilence = 256;
    size_t loud = 0;
    size_t count = 0;
    for (size_t i = from; i + 1 < bytes.size(); i += 2, ++count) {
        const int16_t sample = static_cast<int16_t>(bytes[i] | bytes[i + 1] << 8);
        loud += sample > NearSilence || sample < -NearSilence;
    }
    return count == 0 ? 0 : double(loud) / count;
}

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "qorx-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    folder = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
}

std::string TempFolder::path(const std::string& name) const
{
    return (folder / name).string();
}
