#include "qorx/window/ErrorReporter.h"

#include <windows.h>

#include <cstdlib>

ErrorReporter::~ErrorReporter() = default;

void ErrorReporter::fatalError(const char* message)
{
    MessageBoxA(NULL, message, "Qorx - ERROR!", MB_OK | MB_ICONWARNING);
    std::exit(-1);
}
