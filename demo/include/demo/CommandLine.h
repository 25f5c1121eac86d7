#ifndef QORX_DEMO_COMMANDLINE_H
#define QORX_DEMO_COMMANDLINE_H

#include <string>
#include <vector>

// The arguments in the command line WinMain is handed (the program's name is
// not part of it), split as Windows' C runtime splits them for main(): blanks
// separate arguments except inside double quotes, which are dropped; a
// backslash is an ordinary character unless backslashes come before a quote,
// where each pair gives one backslash and an odd one left over makes the
// quote a literal one. So "C:\My Pictures" is one argument, and "" an empty one.
class CommandLine {
public:
    explicit CommandLine(const char* line);
    virtual ~CommandLine();

    const std::vector<std::string>& arguments() const { return args; }

private:
    std::vector<std::string> args;
};

#endif
