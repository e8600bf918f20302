// Sequence zoomer: a fly-in on the intro's ring picture, then a plunge
// through three pictures nested as discs, with lens flares drifting over.
#pragma once

#include <cstdint>

struct display_driver;
struct music_clock;
struct pixmap;
struct render_context;

int32_t seqzoom_init(music_clock* clock, pixmap* frame);
int32_t seqzoom_frame();

// Draws the four flares over the frame and moves them on; the image cube
// calls it every frame too, continuing where the zoomer left them.
void seqzoom_flare_step();
