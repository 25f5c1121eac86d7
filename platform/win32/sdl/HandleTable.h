#ifndef QORX_PLATFORM_SDL_HANDLETABLE_H
#define QORX_PLATFORM_SDL_HANDLETABLE_H

#include <stdint.h>

// A fixed set of records addressed by opaque handles. A handle carries the
// slot and the slot's use count, so a handle to a destroyed object never
// finds the object that later reuses its slot. Constant-initialised: no code
// runs before main.
template <typename Record, int Capacity>
class HandleTable {
public:
    // A handle keeps its slot in its low 7 bits, above them the slot's use count.
    static const int SlotBits = 7;
    static const int SlotLimit = 1 << SlotBits;

    static_assert(Capacity < SlotLimit, "the slot must fit in the handle's low 7 bits");

    // Takes a free slot, resets its record and returns its index, or -1.
    int add()
    {
        for (int index = 0; index < Capacity; ++index) {
            if (!used[index]) {
                used[index] = true;
                ++serial[index];
                records[index] = Record();
                return index;
            }
        }
        return -1;
    }

    void remove(int index)
    {
        if (index >= 0 && index < Capacity)
            used[index] = false;
    }

    // Frees every slot. The use counts stay, so that no handle given out
    // before finds a record made after.
    void clear()
    {
        for (int index = 0; index < Capacity; ++index)
            used[index] = false;
    }

    uintptr_t handleOf(int index) const
    {
        return (static_cast<uintptr_t>(serial[index]) << SlotBits) | static_cast<uintptr_t>(index + 1);
    }

    // The index of the live record a handle names, or -1.
    int indexOf(uintptr_t handle) const
    {
        int index = static_cast<int>(handle & (SlotLimit - 1)) - 1;
        if (index < 0 || index >= Capacity || !used[index])
            return -1;
        if (handleOf(index) != handle)
            return -1;
        return index;
    }

    Record* find(uintptr_t handle)
    {
        int index = indexOf(handle);
        return index < 0 ? nullptr : &records[index];
    }

    bool isUsed(int index) const { return used[index]; }

    Record records[Capacity] = {};

private:
    bool used[Capacity] = {};
    uint32_t serial[Capacity] = {};
};

#endif
