// The mirror hall's pieces: its state, the scene it builds on the mirror
// engine, and the steps of its frame that can be checked on their own.
// Shared by mirrors*.cpp and the tests.
#pragma once

#include "mirror_scene.h"
#include "particles.h"
#include "pixmap.h"
#include "show_context.h"

#include <cstdint>

struct music_clock;

// The scene's slots.
constexpr int32_t MIRRORS_OBJECTS = 10;
constexpr int32_t MIRRORS_EMITTERS = 7;
constexpr int32_t MIRRORS_IMAGEMAPS = 20;
constexpr int32_t MIRRORS_STAR = 0;
constexpr int32_t MIRRORS_HALL = 9;
constexpr int32_t MIRRORS_FEEDBACK_MAP = 2; // the mirrors' texture: the previous frame
constexpr int32_t MIRRORS_FLARE_ELEMENTS = 15;
// The emitters: three circling streams, then four fountains.
constexpr int32_t MIRRORS_STREAMS = 3;
constexpr int32_t MIRRORS_FIRST_FOUNTAIN = 3;
constexpr int32_t MIRRORS_STREAM_BIRTHS = 2;    // new particles per frame in each stream
constexpr int32_t MIRRORS_FOUNTAIN_BURST = 100; // new particles per fountain on the bar
constexpr uint32_t MIRRORS_BURST_ROWS = 15;     // the fountains wait while the row is at most this

struct mirrors_state {
  show_context* show;
  music_clock* clock;
  pixmap* frame;
  uint8_t* shade; // kept, not used
  mirror_scene scene;
  rgb_image* images[2]; // drawn in turn; image 1 shares image 0's depth buffer
  int32_t last;         // the image drawn last
  rgb_image* blank_map; // the mirrors' texture before the first frame
  pixmap* opening;      // the first frame, for the credits' cross-fade
  float kappa;          // camera swing
  float epsilon;        // stream circling
  int32_t latch;        // set once the fountains have burst in this bar
};

// The running effect's state (for the tests).
mirrors_state* mirrors_get_state();

// Builds the scene: image maps, objects, emitters, the lens flare and the
// face list. 1, or 0 with the engine's error code set.
int32_t mirrors_build_scene(mirrors_state* m);
// Releases everything the scene holds.
void mirrors_release_scene(mirrors_state* m);

// Moves the streams round by fd ticks and lets their particles and the
// fountains' (on the bar) be born and move.
void mirrors_particles(mirrors_state* m, float fd, uint32_t row);

// Copies the picture drawn last into the frame, turns to the other picture
// and clears its depth; the mirrors then show the picture just presented.
void mirrors_present(mirrors_state* m);
