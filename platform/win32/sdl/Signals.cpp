#include "Signals.h"

#include "XDisplay.h"

#include <SDL.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <dirent.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

const int HandledSignals[] = {SIGINT, SIGTERM, SIGHUP};
const int HandledCount = 3;

// How long the video thread has to take a signal before the watch ends the
// program itself, and how long the program then has to end by the close
// path. Both well inside the second a user waits.
const int TakeWithinMs = 300;
const int EndWithinMs = 800;
const int WatchStepMs = 10;
const unsigned RestoreWithinSeconds = 1;

enum Phase { Idle = 0, Taken = 1, Ending = 2 };

// The state of the signal part of the layer. The handler touches only the
// atomics and the wake pipe; the video thread takes a signal, the watch
// thread waits on the pipe.
struct SignalState {
    std::atomic<int> pending;
    std::atomic<int> phase;
    int wakePipe[2];
    bool installed;
    struct sigaction previous[HandledCount];
    SDL_Thread* watch;
    std::atomic<bool> watchStopping;
    std::atomic<bool> boxShown;
};

SignalState signalState = {{0}, {Idle}, {-1, -1}, false, {}, nullptr, {false}, {false}};

// The processes this one started: while a box is up, SDL's box process.
// It has the program's signal handlers, so only SIGKILL ends it for sure.
void endChildren()
{
    DIR* processes = opendir("/proc");
    if (processes == nullptr)
        return;
    const pid_t self = getpid();
    while (dirent* entry = readdir(processes)) {
        const pid_t pid = static_cast<pid_t>(std::atoi(entry->d_name));
        char path[64];
        std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
        FILE* stat = pid > 0 ? std::fopen(path, "r") : nullptr;
        if (stat == nullptr)
            continue;
        // pid (name) state ppid ...; the name may hold spaces and brackets.
        char line[512] = "";
        const bool read = std::fgets(line, sizeof line, stat) != nullptr;
        std::fclose(stat);
        const char* nameEnd = read ? std::strrchr(line, ')') : nullptr;
        char state = 0;
        int parent = 0;
        if (nameEnd != nullptr && std::sscanf(nameEnd + 1, " %c %d", &state, &parent) == 2 && parent == self)
            kill(pid, SIGKILL);
    }
    closedir(processes);
}

void onSignal(int signal)
{
    int expected = 0;
    if (!signalState.pending.compare_exchange_strong(expected, signal)) {
        // A second signal: the user insists.
        Signals::endWith(signal);
    }
    const int savedErrno = errno;
    const char wake = 1;
    if (write(signalState.wakePipe[1], &wake, 1) < 0) {
        // The watch looks at `pending` on its next step anyway.
    }
    errno = savedErrno;
}

void onRestoreTimeout(int)
{
    Signals::endWith(signalState.pending.load());
}

bool waitForPhase(int wanted, int milliseconds)
{
    for (int waited = 0; waited < milliseconds; waited += WatchStepMs) {
        if (signalState.phase.load() == wanted)
            return true;
        SDL_Delay(WatchStepMs);
    }
    return signalState.phase.load() == wanted;
}

// The program did not get to its close path in time: the layer puts the
// desktop's mode back through a connection of its own, whatever the video
// thread is doing, and ends the process.
[[noreturn]] void endFromWatch(int signal)
{
    signalState.phase.store(Ending);
    // An X server that does not answer cannot keep the program alive.
    struct sigaction action = {};
    action.sa_handler = onRestoreTimeout;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    alarm(RestoreWithinSeconds);
    if (signalState.boxShown.load())
        endChildren();
    XDisplay::restoreDesktopFromAnyThread();
    Signals::endWith(signal);
}

int watchSignals(void*)
{
    for (;;) {
        pollfd wake = {signalState.wakePipe[0], POLLIN, 0};
        poll(&wake, 1, 100);
        if (signalState.watchStopping.load())
            return 0;
        const int signal = signalState.pending.load();
        if (signal == 0)
            continue;
        if (!waitForPhase(Taken, TakeWithinMs))
            endFromWatch(signal);
        SDL_Delay(EndWithinMs - TakeWithinMs);
        if (!signalState.watchStopping.load())
            endFromWatch(signal);
        return 0;
    }
}

bool openWakePipe()
{
    if (pipe(signalState.wakePipe) != 0)
        return false;
    for (int end : signalState.wakePipe) {
        fcntl(end, F_SETFD, FD_CLOEXEC);
        fcntl(end, F_SETFL, O_NONBLOCK);
    }
    return true;
}

} // namespace

void Signals::start()
{
    if (signalState.installed || !openWakePipe())
        return;
    // SDL's threads block these signals, so the handler runs on another.
    signalState.watchStopping.store(false);
    signalState.watch = SDL_CreateThread(watchSignals, "qorx signal watch", nullptr);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int index = 0; index < HandledCount; ++index)
        sigaction(HandledSignals[index], &action, &signalState.previous[index]);
    // A write to an X server that has gone away fails and is reported (see
    // XDisplay.h) instead of killing the program without a word.
    std::signal(SIGPIPE, SIG_IGN);
    signalState.installed = true;
}

void Signals::stop()
{
    if (!signalState.installed)
        return;
    for (int index = 0; index < HandledCount; ++index)
        sigaction(HandledSignals[index], &signalState.previous[index], nullptr);
    signalState.watchStopping.store(true);
    const char wake = 1;
    if (write(signalState.wakePipe[1], &wake, 1) < 0) {
        // The watch wakes within its poll's timeout anyway.
    }
    if (signalState.pending.load() == 0)
        SDL_WaitThread(signalState.watch, nullptr);
    else
        SDL_DetachThread(signalState.watch); // it may be ending the process already
    signalState.watch = nullptr;
    close(signalState.wakePipe[0]);
    close(signalState.wakePipe[1]);
    signalState.wakePipe[0] = -1;
    signalState.wakePipe[1] = -1;
    signalState.installed = false;
}

int Signals::take(bool threadHasWindows)
{
    const int signal = signalState.pending.load();
    if (signal == 0 || !threadHasWindows)
        return 0;
    int expected = Idle;
    return signalState.phase.compare_exchange_strong(expected, Taken) ? signal : 0;
}

void Signals::boxShown(bool shown)
{
    signalState.boxShown.store(shown);
}

int Signals::received()
{
    return signalState.pending.load();
}

void Signals::endWith(int signal)
{
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    raise(signal);
    _exit(128 + signal); // not reached: the default action ends the process
}
