// GetModuleFileNameA of the Win32 subset: the program's own path, which the
// kernel keeps as /proc/self/exe. A program here is one module, so only the
// program itself (NULL or its instance) has a file name.
#include <windows.h>

#include <climits>
#include <cstring>
#include <unistd.h>

extern "C" {

// As on Windows: the length copied without the terminating zero, or, when the
// buffer is too small, the path cut to fit (still terminated) and the
// buffer's size; 0 on failure.
DWORD WINAPI GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size)
{
    if ((module != NULL && module != GetModuleHandleA(NULL)) || fileName == nullptr || size == 0)
        return 0;
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || static_cast<size_t>(length) >= sizeof path)
        return 0;
    if (static_cast<DWORD>(length) >= size) {
        std::memcpy(fileName, path, size - 1);
        fileName[size - 1] = '\0';
        return size;
    }
    std::memcpy(fileName, path, static_cast<size_t>(length));
    fileName[length] = '\0';
    return static_cast<DWORD>(length);
}

} // extern "C"
