#ifndef QORX_TESTS_FUZZ_SEEDFILE_H
#define QORX_TESTS_FUZZ_SEEDFILE_H

#include <cstdint>
#include <string>
#include <vector>

// Whole-file helpers shared by the seed writers, the harness replay and the tests.
class SeedFile {
public:
    static bool write(const std::string& path, const std::vector<uint8_t>& bytes);
    static std::vector<uint8_t> read(const std::string& path);
};

#endif
