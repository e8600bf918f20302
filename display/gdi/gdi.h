// The windowed display driver: a captioned window in the middle of the
// desktop, a 32-bit bottom-up bitmap of the frame's size that every present
// fills (red and blue swapped) and hands to the window, the key queue with
// Shift, Ctrl, Alt, the arrows and the keypad plus and minus diverted into
// flags of their own, and the keyboard axes.
#pragma once

#include "display.h"

extern display_driver gdi_driver;

// Forgets every state (tests).
void gdi_reset();
