#ifndef QORX_TESTS_DEMO_CHILDPROCESS_H
#define QORX_TESTS_DEMO_CHILDPROCESS_H

#include <sys/types.h>

#include <string>
#include <vector>

// A program started in a directory of its own with extra environment
// variables. The destructor kills it if it is still running, so a failing
// test never leaves it behind.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::string& directory, const std::vector<std::string>& environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0; }
    bool running();
    // The exit code, or -1 when it has not ended within `seconds` or was
    // killed by a signal.
    int waitForExit(double seconds);

private:
    pid_t pid_;
    int status_;
    bool ended_;
};

#endif
