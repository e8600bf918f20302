// What start-up hands to every effect's init: the show's shared objects and
// the pictures that two effects share. One record for the whole show; an
// init keeps the pointer if its frame step needs a shared picture that a
// later init makes.
#pragma once

#include <cstdint>

struct display_driver;
struct flare_set;
struct music_clock;
struct pixmap;
struct render_context;

// Pictures that one effect makes or loads and another reads. Each is made
// once; the effect named first owns it.
struct show_pictures {
  pixmap* ring;              // the intro's ring picture; the zoomer flies into it
  pixmap* mirror_opening;    // the mirror hall's first frame; the credits cross-fade into it
  pixmap* hvoxel_background; // data/hvoxel/bgpic.jpg, loaded by the net; the hypervoxel zooms it
  pixmap* hvoxel_backdrop;   // made by the hypervoxel's init; the net's last stage shows it
  pixmap* dcube_background;  // the diffuse cube's background; the light object draws over it
};

struct show_context {
  music_clock* clock;
  pixmap* frame;  // the 320x240 frame every effect draws into
  uint8_t* shade; // the shade table, 64 rows of 256 bytes
  render_context* rc;
  display_driver* driver;
  show_pictures pictures;
  flare_set* flares; // the zoomer's lens flares; the image cube flies them on
};
