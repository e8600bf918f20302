// The full-screen display driver: sets one of the layer's full-screen modes,
// converts every presented frame into the mode's pixel format straight in the
// primary surface, and turns window events into the key queue and a virtual
// mouse fed by a 20 ms cursor timer.
#pragma once

#include "display.h"

extern display_driver directdraw_driver;

// Conversion table of one colour channel for a channel mask: entry i is
// trunc((mask >> s) * i / 256) << s, s being the mask's lowest set bit.
void directdraw_build_table(uint32_t mask, uint32_t table[256]);

// Forgets the cached mode list and every state (tests).
void directdraw_reset();
