#ifndef QORX_DEMO_RUNDEMO_H
#define QORX_DEMO_RUNDEMO_H

// Runs the whole presentation: start-up, the three scenes, shutdown. Returns 0
// once Escape has ended it. A fatal start-up error or a close request ends the
// process from inside instead (exit codes -1 and 0).
int runDemo();

#endif
