#include "SilenceReport.h"

#include <cstdio>

void SilenceReport::keepFirst(const char* what, const char* detail)
{
    if (failed)
        return;
    failed = true;
    std::snprintf(line, sizeof line, "qorx: running silently: %s: %s\n", what, detail);
}

void SilenceReport::sayOnce()
{
    if (!failed || said)
        return;
    said = true;
    std::fputs(line, stderr);
    std::fflush(stderr);
}
