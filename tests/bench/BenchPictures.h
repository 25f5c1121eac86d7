#ifndef QORX_TESTS_BENCH_BENCHPICTURES_H
#define QORX_TESTS_BENCH_BENCHPICTURES_H

// The pictures the image benchmarks load: side x side, half flat tiles and
// half busy ones, so run-length data holds both runs and raw packets and a
// JPEG has real detail to decode.

#include <cstdint>
#include <string>

// 32-bit TGA, bottom row first (the usual layout), uncompressed or run-length.
bool writeBenchTga(const std::string& path, uint32_t side, bool runLength);
bool writeBenchJpeg(const std::string& path, uint32_t side);
// RGBA, as libpng's writer compresses it by default.
bool writeBenchPng(const std::string& path, uint32_t side);
// An 18-byte header claiming `side` x `side` 32-bit pixels and two data bytes.
bool writeShortTga(const std::string& path, uint16_t side);

#endif
