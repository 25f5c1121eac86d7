#include "BlockReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

// The block is the stream's only buffer: each fill is one read from the file
// into the block, not a copy through stdio's buffer as well.
BlockReader::BlockReader(FILE* stream)
    : stream(stream), begin(0), end(0), realEnd(0), endOfFile(false), padded(false), error(0)
{
    std::setvbuf(stream, nullptr, _IONBF, 0);
}

const uint8_t* BlockReader::take(size_t count)
{
    if (end - begin < count)
        fill(count);
    const uint8_t* bytes = block + begin;
    begin += count;
    if (begin > realEnd)
        padded = true;
    return bytes;
}

int BlockReader::next()
{
    if (begin == end)
        fill(1);
    if (begin >= realEnd)
        return -1;
    return block[begin++];
}

void BlockReader::skip(size_t count)
{
    while (count > 0) {
        const size_t step = std::min(count, Capacity);
        take(step);
        count -= step;
    }
}

void BlockReader::noteEnd()
{
    endOfFile = true;
    if (std::ferror(stream))
        error = errno;
}

// Moves what is left to the front and reads until at least `count` bytes are
// held; whatever the file cannot supply becomes 255.
void BlockReader::fill(size_t count)
{
    const size_t held = end - begin;
    const size_t real = realEnd > begin ? realEnd - begin : 0;
    std::memmove(block, block + begin, held);
    begin = 0;
    end = held;
    realEnd = real;
    if (!endOfFile) {
        const size_t got = std::fread(block + held, 1, Capacity - held, stream);
        end += got;
        realEnd += got;
        if (got < Capacity - held)
            noteEnd();
    }
    if (end < count) {
        std::memset(block + end, 0xFF, count - end);
        end = count;
    }
}
