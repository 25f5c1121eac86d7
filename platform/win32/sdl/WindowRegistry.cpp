#include "WindowRegistry.h"

#include <SDL.h>

#include <ctype.h>

namespace {

std::mutex registryLock;
HandleTable<ClassRecord, WindowRegistry::classCapacity> classTable;
HandleTable<WindowRecord, WindowRegistry::windowCapacity> windowTable;

const uintptr_t firstAtom = 0xC000;

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
    return static_cast<int>(record - windowTable.records);
}

} // namespace

std::mutex& WindowRegistry::lock()
{
    return registryLock;
}

HandleTable<ClassRecord, WindowRegistry::classCapacity>& WindowRegistry::classes()
{
    return classTable;
}

HandleTable<WindowRecord, WindowRegistry::windowCapacity>& WindowRegistry::windows()
{
    return windowTable;
}

ATOM WindowRegistry::atomOf(int classIndex)
{
    return static_cast<ATOM>(firstAtom + static_cast<uintptr_t>(classIndex));
}

int WindowRegistry::findClass(LPCSTR name, HINSTANCE instance)
{
    if (name == nullptr)
        return -1;
    uintptr_t value = reinterpret_cast<uintptr_t>(name);
    if (value < 0x10000) {
        int index = static_cast<int>(value - firstAtom);
        bool valid = value >= firstAtom && index < classCapacity && classTable.isUsed(index);
        return valid ? index : -1;
    }
    for (int index = 0; index < classCapacity; ++index) {
        const ClassRecord& record = classTable.records[index];
        if (classTable.isUsed(index) && record.instance == instance && sameName(record.name, name))
            return index;
    }
    return -1;
}

bool WindowRegistry::classHasWindows(int classIndex)
{
    for (int index = 0; index < windowCapacity; ++index) {
        if (windowTable.isUsed(index) && windowTable.records[index].classIndex == classIndex)
            return true;
    }
    return false;
}

WindowRecord* WindowRegistry::window(HWND window)
{
    return windowTable.find(reinterpret_cast<uintptr_t>(window));
}

WindowRecord* WindowRegistry::windowOfDc(HDC deviceContext)
{
    return windowTable.find(reinterpret_cast<uintptr_t>(deviceContext));
}

WindowRecord* WindowRegistry::windowOfSdl(unsigned int sdlWindowId)
{
    SDL_Window* sdlWindow = SDL_GetWindowFromID(sdlWindowId);
    if (sdlWindow == nullptr)
        return nullptr;
    for (int index = 0; index < windowCapacity; ++index) {
        if (windowTable.isUsed(index) && windowTable.records[index].sdlWindow == sdlWindow)
            return &windowTable.records[index];
    }
    return nullptr;
}

HWND WindowRegistry::handleOf(const WindowRecord* record)
{
    int index = indexOfRecord(record);
    return index < 0 ? NULL : reinterpret_cast<HWND>(windowTable.handleOf(index));
}

HDC WindowRegistry::dcOf(const WindowRecord* record)
{
    int index = indexOfRecord(record);
    return index < 0 ? NULL : reinterpret_cast<HDC>(windowTable.handleOf(index));
}
