#ifndef QORX_WINDOW_KEYSTATETABLE_H
#define QORX_WINDOW_KEYSTATETABLE_H

// One flag per virtual-key code (low 8 bits), 1 while the key is down.
// Written only by windowProc, read only through Keyboard::isDown.
extern unsigned char KeyStateTable[256];

#endif
