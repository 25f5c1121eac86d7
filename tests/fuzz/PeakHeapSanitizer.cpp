// The sanitizer build's heap counter: AddressSanitizer owns malloc, so the
// counter listens to its allocation hooks instead.
#include "PeakHeap.h"

#include <cstddef>

extern "C" {
int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                              void (*onFree)(const volatile void*));
size_t __sanitizer_get_allocated_size(const volatile void* block);
}

namespace {

void onMalloc(const volatile void*, size_t size)
{
    PeakHeap::allocated(size);
}

void onFree(const volatile void* block)
{
    PeakHeap::released(__sanitizer_get_allocated_size(block));
}

// Installed before main: a constructor function, not a global object.
__attribute__((constructor)) void installHooks()
{
    __sanitizer_install_malloc_and_free_hooks(onMalloc, onFree);
}

} // namespace
