#include "qorx/window/Keyboard.h"

#include "qorx/window/KeyStateTable.h"

Keyboard::~Keyboard() = default;

unsigned char Keyboard::isDown(int32_t key) const
{
    return KeyStateTable[key & 0xFF];
}
