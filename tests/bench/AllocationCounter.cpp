#include "AllocationCounter.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include <malloc.h>

// glibc lets a program replace its allocator and reaches the replacement from
// inside the C library too; these forward to glibc's own and keep count.
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);
void* __libc_memalign(size_t, size_t);
void __libc_free(void*);
}

namespace {

std::atomic<long long> held{0};
std::atomic<long long> highest{0};

void* counted(void* block)
{
    if (block) {
        const long long now = held += (long long)malloc_usable_size(block);
        long long top = highest.load(std::memory_order_relaxed);
        while (now > top && !highest.compare_exchange_weak(top, now)) {
        }
    }
    return block;
}

void uncount(void* block)
{
    if (block)
        held -= (long long)malloc_usable_size(block);
}

} // namespace

void AllocationCounter::resetPeak()
{
    highest = held.load();
}

long long AllocationCounter::current()
{
    return held;
}

long long AllocationCounter::peak()
{
    return highest;
}

extern "C" {

void* malloc(size_t size)
{
    return counted(__libc_malloc(size));
}

void* calloc(size_t count, size_t size)
{
    return counted(__libc_calloc(count, size));
}

void* realloc(void* block, size_t size)
{
    uncount(block);
    void* moved = __libc_realloc(block, size);
    if (!moved && size != 0) {
        counted(block); // the old block is still there
        return nullptr;
    }
    return counted(moved);
}

void free(void* block)
{
    uncount(block);
    __libc_free(block);
}

void* memalign(size_t alignment, size_t size)
{
    return counted(__libc_memalign(alignment, size));
}

void* aligned_alloc(size_t alignment, size_t size)
{
    return counted(__libc_memalign(alignment, size));
}

int posix_memalign(void** out, size_t alignment, size_t size)
{
    void* block = counted(__libc_memalign(alignment, size));
    if (!block)
        return ENOMEM;
    *out = block;
    return 0;
}

} // extern "C"
