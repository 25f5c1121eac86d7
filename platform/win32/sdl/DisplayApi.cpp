// Display modes and the cursor of the Win32 subset.
#include "DisplayModes.h"

#include <windows.h>

extern "C" {

// CDS_FULLSCREEN or not, the change lasts until it is undone or the program
// ends; nothing is written to a registry.
LONG WINAPI ChangeDisplaySettingsA(DEVMODEA* mode, DWORD flags)
{
    (void)flags;
    if (mode == nullptr)
        return DisplayModes::restore();
    return DisplayModes::change(*mode);
}

int WINAPI ShowCursor(BOOL show)
{
    return DisplayModes::showCursor(show != FALSE);
}

int WINAPI GetSystemMetrics(int index)
{
    return DisplayModes::screenMetric(index);
}

} // extern "C"
