#ifndef QORX_IMAGE_BLOCKREADER_H
#define QORX_IMAGE_BLOCKREADER_H

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Reads a stream in blocks of bounded size, so a decoder can take its bytes a
// few at a time without one library call per byte. Past the end of the file
// every byte reads as 255 (the low byte of EOF), which is what the TGA format
// has always decoded missing pixel bytes as; pastEnd() tells whether that
// happened.
class BlockReader {
public:
    static constexpr size_t Capacity = 64 * 1024;

    explicit BlockReader(FILE* stream);
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;

    // The next `count` bytes (at most Capacity), contiguous; valid until the
    // next call.
    const uint8_t* take(size_t count);
    uint8_t byte() { return *take(1); }
    // The next byte, or -1 when the file has ended.
    int next();
    void skip(size_t count);

    // Some byte was read past the end of the file.
    bool pastEnd() const { return padded; }
    // The system's error number when reading failed rather than ended, else 0.
    int readError() const { return error; }

private:
    void fill(size_t count);
    void noteEnd();

    FILE* stream;
    size_t begin;   // next byte to hand out
    size_t end;     // end of the bytes held, padding included
    size_t realEnd; // end of the bytes that came from the file
    bool endOfFile;
    bool padded;
    int error;
    uint8_t block[Capacity];
};

#endif
