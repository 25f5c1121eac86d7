#ifndef QORX_WINDOW_WINDOWPROC_H
#define QORX_WINDOW_WINDOWPROC_H

#include <windows.h>

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

#endif
