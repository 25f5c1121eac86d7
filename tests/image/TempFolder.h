#ifndef QORX_TESTS_IMAGE_TEMPFOLDER_H
#define QORX_TESTS_IMAGE_TEMPFOLDER_H

#include <string>

// A fresh folder under the system's temporary directory, removed with
// everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    std::string path(const std::string& name) const;

private:
    std::string root;
};

#endif
