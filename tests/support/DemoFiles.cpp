#include "support/DemoFiles.h"

#include <algorithm>
#include <filesystem>

void copyDemoFiles(const std::string& from, const std::string& to, const std::vector<std::string>& leftOut)
{
    std::vector<std::string> names(std::begin(DemoPictures), std::end(DemoPictures));
    names.push_back(DemoSoundtrack);
    for (const std::string& name : names)
        if (std::find(leftOut.begin(), leftOut.end(), name) == leftOut.end())
            std::filesystem::copy_file(std::filesystem::path(from) / name, std::filesystem::path(to) / name);
}
