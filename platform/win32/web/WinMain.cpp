// The page's entry point: the layer starts, then WinMain runs with an empty
// command line, as a program started without arguments. Once asyncify has
// unwound main() the runtime no longer sees what it returns, so the exit is
// explicit.
#include "PageState.h"

#include <cstdlib>

namespace {

const int ShowDefault = 10; // SW_SHOWDEFAULT

} // namespace

int main()
{
    PageState::start();
    char commandLine[] = "";
    std::exit(WinMain(GetModuleHandleA(NULL), NULL, commandLine, ShowDefault));
}
