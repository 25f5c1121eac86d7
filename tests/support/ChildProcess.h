#ifndef QORX_TESTS_SUPPORT_CHILDPROCESS_H
#define QORX_TESTS_SUPPORT_CHILDPROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

// A program run as a child process, in a folder of its own and with extra
// environment variables if asked, its standard error kept if asked. The
// destructor kills it if it is still running, so a failing test never
// leaves it behind; so does the end of the thread that started it.
class ChildProcess {
public:
    struct Options {
        std::string directory;                // empty: the test's own
        std::vector<std::string> environment; // "NAME=value", added to the test's
        bool keepErrorOutput = false;
    };

    // What waitForExit gives for a program still running.
    static constexpr int NotEnded = -1000;

    explicit ChildProcess(const std::vector<std::string>& command);
    ChildProcess(const std::vector<std::string>& command, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    pid_t pid() const { return pid_; }
    bool running();
    bool signal(int number);
    // Waits up to `seconds` for the program to end: its exit code, minus the
    // signal's number if a signal ended it, or NotEnded.
    int waitForExit(double seconds);
    // Everything the program wrote on standard error so far (with
    // keepErrorOutput).
    std::string errorOutput() const;

private:
    pid_t pid_;
    int status_;
    bool ended_;
    std::string errorFile_;
};

#endif
