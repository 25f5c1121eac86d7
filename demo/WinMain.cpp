#include "demo/RunDemo.h"

#include <windows.h>

// The options come in the command line, on Windows and with the Linux layer
// alike (demo/DemoOptions.h).
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int)
{
    return runDemo(commandLine);
}
