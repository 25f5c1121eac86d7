// The program's entry point: Win32 programs start in WinMain.
#include <windows.h>

#include <string>

namespace {

const int ShowDefault = 10; // SW_SHOWDEFAULT

// One argument as Windows' C runtime reads it back: quoted when it is empty
// or holds a blank or a quote, a quote inside escaped with a backslash, and
// the backslashes just before a quote doubled.
void appendQuoted(std::string& line, const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) {
        line += argument;
        return;
    }
    line += '"';
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        line.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        line += c;
    }
    line.append(2 * backslashes, '\\');
    line += '"';
}

// Win32 hands WinMain the command line without the program's name.
std::string commandLineOf(int argc, char** argv)
{
    std::string line;
    for (int index = 1; index < argc; ++index) {
        if (index > 1)
            line += ' ';
        appendQuoted(line, argv[index]);
    }
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    std::string commandLine = commandLineOf(argc, argv);
    return WinMain(GetModuleHandleA(NULL), NULL, &commandLine[0], ShowDefault);
}
