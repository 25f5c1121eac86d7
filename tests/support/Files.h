#ifndef QORX_TESTS_SUPPORT_FILES_H
#define QORX_TESTS_SUPPORT_FILES_H

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes concat(std::initializer_list<Bytes> parts);
// Whole files; a file that cannot be read gives no bytes.
bool writeBytes(const std::string& path, const Bytes& bytes);
Bytes readBytes(const std::string& path);

// The share of the little-endian 16-bit samples in `bytes` from `from` on
// (past a header) that are not near silence.
double loudShare(const Bytes& bytes, size_t from = 0);

// A fresh folder under the system's temporary directory, removed with
// everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path(const std::string& name) const;
    std::string root() const { return folder.string(); }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return folder / name; }

private:
    std::filesystem::path folder;
};

#endif
