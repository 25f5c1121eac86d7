#ifndef QORX_WINDOW_ERRORREPORTER_H
#define QORX_WINDOW_ERRORREPORTER_H

// Reports an error the program cannot go on after: a warning box, then the
// end of the process with exit code -1.
class ErrorReporter {
public:
    virtual ~ErrorReporter();

    [[noreturn]] void fatalError(const char* message);
};

#endif
