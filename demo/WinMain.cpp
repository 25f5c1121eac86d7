#include "demo/RunDemo.h"

#include <windows.h>

// The presentation has no command line and nothing to configure.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return runDemo();
}
