// The program's entry point: Win32 programs start in WinMain.
#include <windows.h>

#include <string>

namespace {

const int ShowDefault = 10; // SW_SHOWDEFAULT

// Win32 hands WinMain the command line without the program's name.
std::string commandLineOf(int argc, char** argv)
{
    std::string line;
    for (int index = 1; index < argc; ++index) {
        if (index > 1)
            line += ' ';
        line += argv[index];
    }
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    std::string commandLine = commandLineOf(argc, argv);
    return WinMain(GetModuleHandleA(NULL), NULL, &commandLine[0], ShowDefault);
}
