#include "qorx/window/KeyStateTable.h"

unsigned char KeyStateTable[256] = {};
