#include "SeedFile.h"

#include <cstdio>

bool SeedFile::write(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    bool written = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

std::vector<uint8_t> SeedFile::read(const std::string& path)
{
    std::vector<uint8_t> bytes;
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
