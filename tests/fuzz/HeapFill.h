#ifndef QORX_TESTS_FUZZ_HEAPFILL_H
#define QORX_TESTS_FUZZ_HEAPFILL_H

#include <cstdint>

// Makes fresh heap memory hold a chosen byte, so a test can load a file twice
// with different fills and see whether any returned pixel came from memory
// the reader never wrote. Covers the global allocation operator (this test
// program replaces it) and, in builds without AddressSanitizer, malloc
// through glibc's perturbation setting. Blocks above FilledLimit stay as
// they come, so a huge claimed picture is not paged in by the fill itself.
class HeapFill {
public:
    static const uint64_t FilledLimit = 64u << 20;

    static void start(uint8_t byte);
    static void stop();

    // Used by the replaced allocation operator.
    static void apply(void* block, uint64_t size);
};

#endif
