// Runs a fuzz harness over files, without libFuzzer: each argument is a file
// or a directory whose files are all replayed, in name order.
#include "support/Files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

std::vector<std::string> inputsOf(const std::string& arg)
{
    std::error_code error;
    if (!std::filesystem::exists(arg, error)) {
        std::fprintf(stderr, "no such file or directory: %s\n", arg.c_str());
        std::exit(2);
    }
    if (!std::filesystem::is_directory(arg, error))
        return {arg};
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(arg, error))
        if (entry.is_regular_file())
            files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

} // namespace

int main(int argc, char** argv)
{
    size_t replayed = 0;
    for (int i = 1; i < argc; ++i)
        for (const std::string& file : inputsOf(argv[i])) {
            const Bytes bytes = readBytes(file);
            LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
            ++replayed;
        }
    std::printf("replayed %zu files\n", replayed);
    return replayed > 0 ? 0 : 1;
}
