#include "HeapFill.h"

#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>

namespace {
bool filling = false;
uint8_t fillByte = 0;

void* allocate(std::size_t size)
{
    void* block = std::malloc(size ? size : 1);
    if (block)
        HeapFill::apply(block, size);
    return block;
}
} // namespace

void HeapFill::start(uint8_t byte)
{
    fillByte = byte;
    filling = true;
    // glibc fills each malloc block with the complement of the setting, and 0
    // turns the setting off: 0xFF cannot be asked for through malloc.
    mallopt(M_PERTURB, byte ^ 0xFF);
}

void HeapFill::stop()
{
    filling = false;
    mallopt(M_PERTURB, 0);
}

void HeapFill::apply(void* block, uint64_t size)
{
    if (filling && size <= FilledLimit)
        std::memset(block, fillByte, size);
}

// The replaceable allocation functions; the aligned forms are left to the
// runtime, which pairs them with its own deallocation.
void* operator new(std::size_t size)
{
    if (void* block = allocate(size))
        return block;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return allocate(size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
