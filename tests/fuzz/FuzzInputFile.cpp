#include "FuzzInputFile.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {
char inputPath[512]; // constant-initialised; filled on first use
}

const char* FuzzInputFile::path()
{
    if (inputPath[0] == '\0') {
        const char* dir = std::getenv("TMPDIR");
        std::snprintf(inputPath, sizeof inputPath, "%s/qorx-fuzz-%d.input", dir && *dir ? dir : "/tmp", int(getpid()));
        std::atexit(remove);
    }
    return inputPath;
}

void FuzzInputFile::remove()
{
    std::remove(inputPath);
}

const char* FuzzInputFile::write(const uint8_t* data, size_t size)
{
    const char* file = path();
    FILE* out = std::fopen(file, "wb");
    bool ok = out && (size == 0 || std::fwrite(data, 1, size, out) == size);
    if (out)
        ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        std::fprintf(stderr, "cannot write the fuzz input to %s\n", file);
        std::abort();
    }
    return file;
}
