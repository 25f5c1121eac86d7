#include "PeakHeap.h"

namespace {
uint64_t heldBytes = 0;
uint64_t peakBytes = 0;
uint64_t startBytes = 0;
} // namespace

void PeakHeap::restart()
{
    startBytes = heldBytes;
    peakBytes = heldBytes;
}

uint64_t PeakHeap::held()
{
    return heldBytes;
}

uint64_t PeakHeap::growth()
{
    return peakBytes - startBytes;
}

void PeakHeap::allocated(uint64_t bytes)
{
    heldBytes += bytes;
    if (heldBytes > peakBytes)
        peakBytes = heldBytes;
}

void PeakHeap::released(uint64_t bytes)
{
    heldBytes -= bytes;
}
