#include "TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include <stdlib.h>

TempFolder::TempFolder()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "qorx-image-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    root = pattern;
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::string TempFolder::path(const std::string& name) const
{
    return root + "/" + name;
}
