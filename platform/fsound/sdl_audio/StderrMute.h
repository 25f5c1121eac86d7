// Sends standard error to /dev/null for the lifetime of the object. Libraries
// under SDL (ALSA when there is no sound card) write their notes straight to
// file descriptor 2 and offer SDL no way to quieten them; the sound layer
// says what went wrong in one line of its own.
#ifndef QORX_PLATFORM_FSOUND_STDERRMUTE_H
#define QORX_PLATFORM_FSOUND_STDERRMUTE_H

class StderrMute {
public:
    StderrMute();
    virtual ~StderrMute();
    StderrMute(const StderrMute&) = delete;
    StderrMute& operator=(const StderrMute&) = delete;

private:
    int saved_;
    bool muted_;
};

#endif
