#ifndef QORX_DEMO_RUNDEMO_H
#define QORX_DEMO_RUNDEMO_H

// Runs the presentation as WinMain's command line asks (DemoOptions): on
// screen, start-up, the three scenes, shutdown, returning 0 once Escape has
// ended it; or recorded into files, returning 0 when all are written, 1 when
// not. Prints the help and returns 0, or a usage error and returns 2. A fatal
// start-up error on screen, or a close request, ends the process from inside
// instead (exit codes -1 and 0).
int runDemo(const char* commandLine);

#endif
