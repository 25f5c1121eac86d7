#include "display/ChildProcess.h"

#include <chrono>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

ChildProcess::ChildProcess(const char* mode)
{
    char* arguments[] = {const_cast<char*>(QORX_WINDOW_CHILD), const_cast<char*>(mode), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, QORX_WINDOW_CHILD, nullptr, nullptr, arguments, environ) == 0)
        pid = child;
}

ChildProcess::~ChildProcess()
{
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
}

int ChildProcess::wait()
{
    int status = 0;
    for (int attempt = 0; attempt < 400; ++attempt) {
        pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid) {
            pid = 0;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1000;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1000;
}
