#include "ChildProcess.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char** environ;

namespace {

const long StepNanoseconds = 10 * 1000 * 1000;
const double StepSeconds = 0.01;
const int CannotStart = 127;
const int CannotEnterDirectory = 126;

// The test's environment with the given variables set or replaced.
std::vector<std::string> environmentWith(const std::vector<std::string>& changes)
{
    std::vector<std::string> variables;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        const std::string entry = *variable;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool replaced = false;
        for (const std::string& change : changes)
            replaced = replaced || change.compare(0, name.size(), name) == 0;
        if (!replaced)
            variables.push_back(entry);
    }
    variables.insert(variables.end(), changes.begin(), changes.end());
    return variables;
}

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
    // Made before the fork: a child of a process with threads may only make
    // async-signal-safe calls until it runs the program.
    std::vector<std::string> variables = environmentWith(options.environment);
    std::vector<char*> environment;
    for (const std::string& variable : variables)
        environment.push_back(const_cast<char*>(variable.c_str()));
    environment.push_back(nullptr);
    pid_ = fork();
    if (pid_ != 0) {
        if (errorFd >= 0)
            close(errorFd);
        return;
    }
    // A test program that dies takes its children with it, instead of leaving
    // them to hold its output open (CTest waits for that) or to load the
    // machine.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (!options.directory.empty() && chdir(options.directory.c_str()) != 0)
        _exit(CannotEnterDirectory);
    if (errorFd >= 0)
        dup2(errorFd, STDERR_FILENO);
    execve(arguments[0], arguments.data(), environment.data());
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
