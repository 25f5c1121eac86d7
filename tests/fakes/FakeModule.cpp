// GetModuleFileNameA of the fake system: the path a test gave, else the test
// program's own, as the SDL2 layer gives it. Not logged: it asks, it does not
// act on the system.
#include "FakePlatform.h"

#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string& moduleFileName()
{
    static std::string path;
    return path;
}

std::string ownPath()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? std::string(path, static_cast<size_t>(length)) : std::string();
}

} // namespace

namespace fake {

void setModuleFileName(const std::string& path)
{
    moduleFileName() = path;
}

} // namespace fake

DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    const std::string path = moduleFileName().empty() ? ownPath() : moduleFileName();
    if (module != NULL || fileName == nullptr || size == 0 || path.empty())
        return 0;
    const size_t copied = path.size() < size ? path.size() : size - 1;
    std::memcpy(fileName, path.data(), copied);
    fileName[copied] = '\0';
    return path.size() < size ? static_cast<DWORD>(copied) : size;
}
