// The ordinary build's heap counter: this program's own malloc family, passed
// on to glibc's, so that every allocation of the readers, libjpeg, libtiff
// and the C++ runtime is seen.
#include "PeakHeap.h"

#include <cerrno>
#include <cstddef>
#include <malloc.h>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* block);
}

namespace {

void* counted(void* block)
{
    if (block)
        PeakHeap::allocated(malloc_usable_size(block));
    return block;
}

void uncount(void* block)
{
    if (block)
        PeakHeap::released(malloc_usable_size(block));
}

} // namespace

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
    if (!moved && block && size > 0) {
        counted(block); // the old block stays
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

int posix_memalign(void** result, size_t alignment, size_t size)
{
    void* block = counted(__libc_memalign(alignment, size));
    if (!block)
        return ENOMEM;
    *result = block;
    return 0;
}

void* valloc(size_t size)
{
    return counted(__libc_memalign(4096, size));
}

} // extern "C"
