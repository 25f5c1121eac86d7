#ifndef QORX_DEMO_ASSETFOLDER_H
#define QORX_DEMO_ASSETFOLDER_H

#include <string>

// The folder the presentation takes its pictures and soundtrack from. A folder
// named on the command line must hold the three pictures; otherwise the first
// folder that holds any of them is the presentation's, and a picture missing
// there ends the presentation when its turn to load comes, as it always has.
// Without the soundtrack the presentation runs silently.
class AssetFolder {
public:
    static const char* const Pictures[3];
    static const char* const Soundtrack;

    AssetFolder();
    virtual ~AssetFolder();

    // The folder named on the command line, or, when `named` is empty, the
    // first that holds any of the pictures of: the working directory, the
    // installed data folder, the program's own folder. False when there is none, with
    // `problem` saying where it looked, in a few lines.
    bool locate(const std::string& named);

    // Where to open `name`: the bare name in the working directory, as the
    // presentation always has, else inside the folder found.
    std::string path(const char* name) const;

    // The installed data folder, which lies where the program is installed
    // (QORX_DATA_FROM_PROGRAM, relative to the program's folder); empty when
    // the program's path is unknown.
    static std::string installedDataFolder();
    static std::string programFolder();

    std::string folder; // empty for the working directory
    std::string problem;
};

#endif
