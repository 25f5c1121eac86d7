#ifndef QORX_TESTS_SUPPORT_FILES_H
#define QORX_TESTS_SUPPORT_FILES_H

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

Bytes concat(std::initializer_list<Bytes> parts);
// Whole files; a file that cannot be read gives no bytes.
bool writeBytes(const std::string& path, const Bytes& bytes);
Bytes readBytes(const std::string& path);

// A fresh folder under the system's temporary directory, removed with
// everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path(const std::string& name) const;
    const std::string& root() const { return folder; }

private:
    std::string folder;
};

#endif
