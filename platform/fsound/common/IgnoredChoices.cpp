// The output driver and the mixer are the backend's to choose, on every
// platform; the calls are accepted so that callers written for a choice run.
#include <fmod.h>

signed char F_API FSOUND_SetOutput(int)
{
    return 1;
}

signed char F_API FSOUND_SetMixer(int)
{
    return 1;
}
