// The one line that says why the music stays silent. It is made at the first
// failure and said when the presentation plays, so that a program that never
// gets that far (no display) says nothing of its sound.
#ifndef QORX_PLATFORM_FSOUND_SILENCEREPORT_H
#define QORX_PLATFORM_FSOUND_SILENCEREPORT_H

#include <cstddef>

const std::size_t SilenceReportLength = 512;

// A plain aggregate, so that a backend's state can hold it without a
// constructor: start it as {false, false, ""}.
struct SilenceReport {
    bool failed;
    bool said;
    char line[SilenceReportLength];

    // Whatever goes wrong first is the only thing said; later failures follow
    // from it or would repeat it.
    void keepFirst(const char* what, const char* detail);
    // On standard error, once, if anything failed.
    void sayOnce();
};

#endif
