// The mirror hall's pictures. The scene is drawn unlit, so light is painted
// in: the star's watery environment map, the backing discs' chrome, the
// hall's panelled sky, the glowing particle sprites and the lens flare's
// elements. Every side is even (the engine's PCX reader ignores line
// padding).
#pragma once

#include "art_canvas.h"

#include <cstdint>

// The star's environment map, 256 x 256. The engine looks it up at
// u = 0.5 + 0.5 x, v = 0.5 + 0.5 y of the outward normal (y up), so what the
// star reflects above it is painted at the bottom: a bright rippled surface
// seen from under water, deep blue below, caustics, and a warm highlight.
void rimbel_art_water(art_canvas* c);

// The backing discs, 256 x 256, mapped flat over the disc (its edge touches
// the picture's sides): the ring around the mirror is brushed chrome between
// a glowing orange inner edge and a bright rim.
void rimbel_art_disc(art_canvas* c);

// The hall, 512 x 256, wrapped round the inside of a sphere (u around,
// v from pole to pole; the columns tile): a nebula seen through a lattice of
// chrome-framed glass panels, orange lights at the crossings and a band of
// warm lamps round the equator.
void rimbel_art_hall(art_canvas* c);

// A particle sprite, 128 x 128: a white-hot core in a halo of the colour,
// fading to exact black well inside the square.
void rimbel_art_sprite(art_canvas* c, art_colour colour);

// Lens-flare element k (1 to 15) at its own size; element 2 is the flare's
// source.
void rimbel_art_flare(art_canvas* c, int32_t k);

// The lighting table: 256 x 256 bytes indexed by the normal's x and y
// (row = y), ambient plus diffuse plus a sharp highlight.
void rimbel_art_phong(uint8_t* table);
