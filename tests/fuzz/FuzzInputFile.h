#ifndef QORX_TESTS_FUZZ_FUZZINPUTFILE_H
#define QORX_TESTS_FUZZ_FUZZINPUTFILE_H

#include <cstddef>
#include <cstdint>

// The readers take a path, so every fuzz input goes through a file of its
// own process (under $TMPDIR, else /tmp), rewritten for each input and
// removed when the process exits.
class FuzzInputFile {
public:
    // Returns the path holding exactly `size` bytes of `data`; ends the
    // process when the file cannot be written, since every later input would
    // be tested against stale bytes.
    static const char* write(const uint8_t* data, size_t size);

private:
    static const char* path();
    static void remove();
};

#endif
