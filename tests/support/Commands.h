// Waiting on a program seen from outside, and asking X tools about its
// windows: what the tests that run whole programs share.
#ifndef QORX_TESTS_SUPPORT_COMMANDS_H
#define QORX_TESTS_SUPPORT_COMMANDS_H

#include <functional>
#include <string>

// The command's standard output; its standard error is dropped.
std::string capture(const std::string& command);

// Polls until the condition holds or the seconds have passed; the condition's
// last answer.
bool waitUntil(double seconds, const std::function<bool()>& condition);

// The id ("0x...") of the first X window named exactly `name`, or "" when
// there is none. xwininfo lists every window with its name; xdotool's search
// misses windows without a class, such as SDL's message boxes.
std::string windowNamed(const std::string& name);

#endif
