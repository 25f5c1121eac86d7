#include "ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

ChildProcess::ChildProcess(const std::string& program, const std::string& directory,
                           const std::vector<std::string>& environment)
    : pid_(-1), status_(0), ended_(false)
{
    pid_ = fork();
    if (pid_ != 0)
        return;
    if (chdir(directory.c_str()) != 0)
        _exit(126);
    for (const std::string& variable : environment)
        putenv(const_cast<char*>(variable.c_str()));
    execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
    _exit(127);
}

ChildProcess::~ChildProcess()
{
    if (started() && running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
}

bool ChildProcess::running()
{
    if (ended_ || !started())
        return false;
    ended_ = waitpid(pid_, &status_, WNOHANG) == pid_;
    return !ended_;
}

int ChildProcess::waitForExit(double seconds)
{
    const timespec pause = {0, 20 * 1000 * 1000};
    for (double waited = 0; running() && waited < seconds; waited += 0.02)
        nanosleep(&pause, nullptr);
    if (!ended_ || !WIFEXITED(status_))
        return -1;
    return WEXITSTATUS(status_);
}
