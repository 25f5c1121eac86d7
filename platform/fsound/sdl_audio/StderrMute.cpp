#include "StderrMute.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

StderrMute::StderrMute() : saved_(-1), muted_(false)
{
    std::fflush(stderr);
    int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull < 0)
        return;
    saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    muted_ = saved_ >= 0 && dup2(devNull, STDERR_FILENO) >= 0;
    close(devNull);
}

StderrMute::~StderrMute()
{
    std::fflush(stderr);
    if (muted_)
        dup2(saved_, STDERR_FILENO);
    if (saved_ >= 0)
        close(saved_);
}
