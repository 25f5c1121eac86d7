#ifndef QORX_TESTS_DISPLAY_CHILDPROCESS_H
#define QORX_TESTS_DISPLAY_CHILDPROCESS_H

// The test window program (WindowChild.cpp) run as a child process.
class ChildProcess {
public:
    explicit ChildProcess(const char* mode);
    ~ChildProcess();
    bool started() const { return pid > 0; }
    // Waits up to twenty seconds; the exit code, or -1000 if the program did
    // not end by itself (it is then killed) or was ended by a signal.
    int wait();

private:
    int pid = 0;
};

#endif
