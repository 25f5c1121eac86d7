#include "ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

namespace {

const long StepNanoseconds = 10 * 1000 * 1000;
const double StepSeconds = 0.01;
const int CannotStart = 127;
const int CannotEnterDirectory = 126;

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& command) : ChildProcess(command, Options()) {}

ChildProcess::ChildProcess(const std::vector<std::string>& command, const Options& options)
    : pid_(-1), status_(0), ended_(false)
{
    if (command.empty())
        return;
    int errorFd = -1;
    if (options.keepErrorOutput) {
        char pattern[] = "/tmp/qorx-child-stderr-XXXXXX";
        errorFd = mkstemp(pattern);
        if (errorFd < 0)
            return;
        errorFile_ = pattern;
    }
    std::vector<char*> arguments;
    for (const std::string& argument : command)
        arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    pid_ = fork();
    if (pid_ != 0) {
        if (errorFd >= 0)
            close(errorFd);
        return;
    }
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0)
        _exit(CannotEnterDirectory);
    for (const std::string& variable : options.environment)
        putenv(const_cast<char*>(variable.c_str()));
    if (errorFd >= 0)
        dup2(errorFd, STDERR_FILENO);
    execv(arguments[0], arguments.data());
    _exit(CannotStart);
}

ChildProcess::~ChildProcess()
{
    if (running()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, &status_, 0);
    }
    if (!errorFile_.empty())
        unlink(errorFile_.c_str());
}

bool ChildProcess::running()
{
    if (ended_ || !started())
        return false;
    ended_ = waitpid(pid_, &status_, WNOHANG) == pid_;
    return !ended_;
}

bool ChildProcess::signal(int number)
{
    return running() && kill(pid_, number) == 0;
}

int ChildProcess::waitForExit(double seconds)
{
    const timespec pause = {0, StepNanoseconds};
    for (double waited = 0; running() && waited < seconds; waited += StepSeconds)
        nanosleep(&pause, nullptr);
    if (!ended_)
        return NotEnded;
    return WIFSIGNALED(status_) ? -WTERMSIG(status_) : WEXITSTATUS(status_);
}

std::string ChildProcess::errorOutput() const
{
    std::ifstream in(errorFile_);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
