#ifndef QORX_WINDOW_KEYBOARD_H
#define QORX_WINDOW_KEYBOARD_H

#include <cstdint>

// Read-only view of the key-state table that the window procedure keeps.
class Keyboard {
public:
    virtual ~Keyboard();

    unsigned char isDown(int32_t key) const;
};

#endif
