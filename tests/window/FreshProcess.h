// The window class can be registered only once per process and the key-state
// table is never reset, so a test that needs them as a new process has them
// runs its body in a child: gtest's threadsafe death-test style starts the
// test program again for it. The child prints the body's failed expectations
// on stderr, then a verdict that only a body that ran to its end can give,
// and exits with a code of its own: a body that ends the process early (an
// exit(0) on the way) fails the test.
#ifndef QORX_TESTS_WINDOW_FRESHPROCESS_H
#define QORX_TESTS_WINDOW_FRESHPROCESS_H

#include "FakePlatform.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

inline void useFreshProcesses()
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
}

const int FinishedBodyExitCode = 86;
const char FinishedBodyVerdict[] = "fresh process: the body ran to its end with no failure";

template <class Body>
[[noreturn]] void runAndExitWithVerdict(Body body)
{
    testing::TestPartResultArray failures;
    {
        testing::ScopedFakeTestPartResultReporter reporter(
            testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &failures);
        fake::reset();
        body();
    }
    for (int i = 0; i < failures.size(); ++i) {
        const testing::TestPartResult& failure = failures.GetTestPartResult(i);
        std::fprintf(stderr, "%s:%d: %s\n", failure.file_name() ? failure.file_name() : "?", failure.line_number(),
                     failure.message());
    }
    if (failures.size() == 0)
        std::fprintf(stderr, "%s\n", FinishedBodyVerdict);
    std::exit(FinishedBodyExitCode);
}

template <class Body>
void inFreshProcess(Body body)
{
    useFreshProcesses();
    EXPECT_EXIT(runAndExitWithVerdict(body), testing::ExitedWithCode(FinishedBodyExitCode),
                std::string(FinishedBodyVerdict) + "\n$");
}

#endif
