#include "WindowRegistry.h"

#include <SDL.h>

#include <ctype.h>

namespace {

// Win32 numbers registered classes from here; below it a name's pointer is
// an atom rather than a string.
const uintptr_t FirstAtom = 0xC000;
const uintptr_t AtomLimit = 0x10000;

bool sameName(const char* a, const char* b)
{
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (tolower(static_cast<unsigned char>(*a)) != tolower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

int indexOfRecord(const WindowRecord* record)
{
    if (record == nullptr)
        return -1;
    return static_cast<int>(record - Layer::state().windows.records);
}

} // namespace

ATOM WindowRegistry::atomOf(int classIndex)
{
    return static_cast<ATOM>(FirstAtom + static_cast<uintptr_t>(classIndex));
}

int WindowRegistry::findClass(LPCSTR name, HINSTANCE instance)
{
    if (name == nullptr)
        return -1;
    uintptr_t value = reinterpret_cast<uintptr_t>(name);
    if (value < AtomLimit) {
        int index = static_cast<int>(value - FirstAtom);
        bool valid = value >= FirstAtom && index < ClassCapacity && Layer::state().classes.isUsed(index);
        return valid ? index : -1;
    }
    const HandleTable<ClassRecord, ClassCapacity>& classes = Layer::state().classes;
    for (int index = 0; index < ClassCapacity; ++index) {
        const ClassRecord& record = classes.records[index];
        if (classes.isUsed(index) && record.instance == instance && sameName(record.name, name))
            return index;
    }
    return -1;
}

bool WindowRegistry::classHasWindows(int classIndex)
{
    const HandleTable<WindowRecord, WindowCapacity>& windows = Layer::state().windows;
    for (int index = 0; index < WindowCapacity; ++index) {
        if (windows.isUsed(index) && windows.records[index].classIndex == classIndex)
            return true;
    }
    return false;
}

WindowRecord* WindowRegistry::window(HWND window)
{
    return Layer::state().windows.find(reinterpret_cast<uintptr_t>(window));
}

WindowRecord* WindowRegistry::windowOfDc(HDC deviceContext)
{
    return Layer::state().windows.find(reinterpret_cast<uintptr_t>(deviceContext));
}

WindowRecord* WindowRegistry::windowOfSdl(unsigned int sdlWindowId)
{
    SDL_Window* sdlWindow = SDL_GetWindowFromID(sdlWindowId);
    if (sdlWindow == nullptr)
        return nullptr;
    HandleTable<WindowRecord, WindowCapacity>& windows = Layer::state().windows;
    for (int index = 0; index < WindowCapacity; ++index) {
        if (windows.isUsed(index) && windows.records[index].sdlWindow == sdlWindow)
            return &windows.records[index];
    }
    return nullptr;
}

HWND WindowRegistry::handleOf(const WindowRecord* record)
{
    int index = indexOfRecord(record);
    return index < 0 ? NULL : reinterpret_cast<HWND>(Layer::state().windows.handleOf(index));
}

HDC WindowRegistry::dcOf(const WindowRecord* record)
{
    int index = indexOfRecord(record);
    return index < 0 ? NULL : reinterpret_cast<HDC>(Layer::state().windows.handleOf(index));
}
