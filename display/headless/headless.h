// The headless driver: keeps the last presented frame in memory; each
// wait_retrace is one frame period of simulated time, handed to a hook (the
// virtual clock), and delivers the scripted keys that have come due.
#pragma once

#include "display.h"

extern display_driver headless_driver;

// Called once per wait_retrace, after the frame counter has advanced.
using headless_retrace_hook = void (*)(void* context);

void headless_configure(int32_t fps, headless_retrace_hook hook, void* context);
// A key press (and release) of virtual-key code vk at simulated time seconds.
void headless_add_key(double seconds, int32_t vk);
void headless_set_modifiers(int32_t shift_down, int32_t caps_lock_on);
// A failing open for tests of the shell's retry: sizes listed here refuse.
void headless_refuse_size(int32_t width, int32_t height);

// The screen as last presented (none before open), and frame counts.
const pixmap* headless_screen();
int64_t headless_retraces();
int64_t headless_presents();
int32_t headless_is_open();
// Forgets everything (tests).
void headless_reset();
