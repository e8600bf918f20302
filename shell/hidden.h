// The hidden mode: switched on by the pass word as the first line of
// readme.txt, it bounces a sprite over every frame.
#pragma once

#include "pixmap.h"

struct hidden_sprite {
  const pixmap* sprite;
  float x, y;   // position, starts at (160, 120)
  float vx, vy; // velocity in pixels per frame, starts at (3, 4.5)
};

// 1 when readme.txt in the current directory starts with the pass word line.
int32_t hidden_readme_check();
void hidden_sprite_begin(hidden_sprite* hs, const pixmap* sprite);
// Draws the sprite at its position (pixels whose red byte is 255 are
// see-through) and moves it, bouncing off the frame's edges.
void hidden_sprite_step(hidden_sprite* hs, pixmap* frame);
