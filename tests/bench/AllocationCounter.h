#ifndef QORX_TESTS_BENCH_ALLOCATIONCOUNTER_H
#define QORX_TESTS_BENCH_ALLOCATIONCOUNTER_H

#include <cstddef>

// Counts the bytes held through malloc and friends, which the program
// replaces (operator new, stdio, libjpeg and stb_image all allocate through
// them), and the highest count since the last reset.
class AllocationCounter {
public:
    // Makes the peak the current count.
    static void resetPeak();
    static long long current();
    static long long peak();
};

#endif
