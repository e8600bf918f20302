// The tunnel flight's pieces: its state and the steps of its frame that can
// be checked on their own. Shared by tunnel*.cpp and the tests.
#pragma once

#include "light.h"
#include "pixmap.h"
#include "render_context.h"
#include "render_scene.h"

#include <cstdint>

struct music_clock;

constexpr float TUNNEL_FLIGHT_START_TIME = 7500.0f; // scene time of the first frame
constexpr float TUNNEL_FLIGHT_MAX_PACE = 75.0f;     // scene time per tick at full speed
constexpr uint32_t TUNNEL_FLIGHT_TINT = 0x941040;   // the dark purple the picture comes up from
constexpr uint32_t TUNNEL_FLIGHT_WHITE = 0xFFFFFF;
constexpr float TUNNEL_FLIGHT_FOCAL = 256.0f; // the wide lens of its own render context

struct tunnel_state {
  music_clock* clock;
  pixmap* frame;
  render_scene* scene;
  render_context* context; // private: focal 256 on the frame
  light* lamp;
  float pace;     // scene time per tick
  float fade_in;  // tint left over the picture, 1 to 0
  float fade_out; // white over the picture, 0 to 1
  int32_t started;
};

// The running effect's state (for the tests).
tunnel_state* tunnel_get_state();

// Moves the scene time on by pace x fd, then speeds up by half a unit a
// tick, up to the full pace.
void tunnel_advance(tunnel_state* t, float fd);

// The tint the picture comes up from, clearing in 100 ticks; and from row
// 101 of order 21 on, the wash to white (also 100 ticks).
void tunnel_fades(tunnel_state* t, float fd, uint32_t order, uint32_t row);
