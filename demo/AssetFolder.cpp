#include "demo/AssetFolder.h"

#include <windows.h>

#include <filesystem>
#include <system_error>
#include <vector>

// Where `cmake --install` puts the data folder, seen from the programs' folder.
#ifndef QORX_DATA_FROM_PROGRAM
#define QORX_DATA_FROM_PROGRAM "../share/qorx"
#endif

namespace fs = std::filesystem;

namespace {

const DWORD LongestPath = 4096;

std::string missingPictures(const std::string& folder)
{
    std::string missing;
    for (const char* name : AssetFolder::Pictures) {
        std::error_code error;
        if (!fs::is_regular_file(fs::path(folder.empty() ? "." : folder) / name, error))
            missing += (missing.empty() ? "" : ", ") + std::string(name);
    }
    return missing;
}

bool holdsAPicture(const std::string& folder)
{
    for (const char* name : AssetFolder::Pictures) {
        std::error_code error;
        if (fs::is_regular_file(fs::path(folder.empty() ? "." : folder) / name, error))
            return true;
    }
    return false;
}

std::string workingDirectory()
{
    std::error_code error;
    const fs::path here = fs::current_path(error);
    return error ? std::string(".") : here.string();
}

} // namespace

const char* const AssetFolder::Pictures[3] = {"stormledge.jpg", "mirk.jpg", "fin.jpg"};
const char* const AssetFolder::Soundtrack = "larkspin.mp3";

AssetFolder::AssetFolder() {}

AssetFolder::~AssetFolder() {}

std::string AssetFolder::programFolder()
{
    std::vector<char> buffer(LongestPath);
    const DWORD length = GetModuleFileNameA(NULL, buffer.data(), LongestPath);
    if (length == 0 || length >= LongestPath)
        return std::string();
    return fs::path(std::string(buffer.data(), length)).parent_path().string();
}

std::string AssetFolder::installedDataFolder()
{
    const std::string program = programFolder();
    if (program.empty())
        return program;
    return (fs::path(program) / QORX_DATA_FROM_PROGRAM).lexically_normal().string();
}

bool AssetFolder::locate(const std::string& named)
{
    folder.clear();
    problem.clear();
    if (!named.empty()) {
        std::error_code error;
        if (!fs::exists(named, error)) {
            problem = "--assets " + named + ": no such folder";
            return false;
        }
        if (!fs::is_directory(named, error)) {
            problem = "--assets " + named + ": not a folder";
            return false;
        }
        const std::string missing = missingPictures(named);
        if (!missing.empty()) {
            problem = "--assets " + named + ": no " + missing + " in it";
            return false;
        }
        folder = named;
        return true;
    }
    // The first folder holding any of the pictures is the presentation's:
    // started among its files, a picture that is missing or bad then ends it
    // as it always has, after those before it have loaded.
    if (holdsAPicture(""))
        return true;
    const std::string places[][2] = {{installedDataFolder(), "the installed data folder"},
                                     {programFolder(), "the program's folder"}};
    for (const auto& place : places) {
        if (!place[0].empty() && holdsAPicture(place[0])) {
            folder = place[0];
            return true;
        }
    }
    problem = "the presentation's pictures (stormledge.jpg, mirk.jpg, fin.jpg) are in none of these folders:\n  " +
              workingDirectory() + " (the working directory)\n";
    for (const auto& place : places)
        if (!place[0].empty())
            problem += "  " + place[0] + " (" + place[1] + ")\n";
    problem += "Name the folder that holds them with --assets DIR.";
    return false;
}

std::string AssetFolder::path(const char* name) const
{
    if (folder.empty())
        return name;
    return (fs::path(folder) / name).string();
}
