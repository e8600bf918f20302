// The show's effects in sequencer order, with the order their inits run in.
#include "effect.h"

#include "blurp.h"
#include "dcube.h"
#include "endpart.h"
#include "galaxy.h"
#include "hypervoxel.h"
#include "icube.h"
#include "intro.h"
#include "lobj.h"
#include "magnet.h"
#include "mirrors.h"
#include "net.h"
#include "qube.h"
#include "seqzoom.h"
#include "tunnel.h"

// clang-format off
constexpr effect effect_table[TIMELINE_STATES] = {
    {.name = "galaxy", .init_order = 5, .init = galaxy_init, .init_message = "Unable to init galaxy!", .frame = galaxy_frame, .ends = EFFECT_ENDS_ON_ORDER},
    {.name = "intro burn-in", .init_order = 1, .init = intro_init, .init_message = "Unable to load intro files\n", .frame = [] { return intro_frame(0); }},
    {.name = "intro tile wall", .frame = [] { return intro_frame(1); }},
    {.name = "intro title", .frame = [] { return intro_frame(2); }},
    {.name = "sequence zoomer", .init_order = 2, .init = seqzoom_init, .init_message = "Unable to init seqzoomer!\n", .frame = seqzoom_frame},
    {.name = "image cube", .init_order = 3, .init = icube_init, .init_message = "Unable to init i_cube!\n", .frame = icube_frame},
    {.name = "radial-blur credits", .init_order = 7, .init = blurp_init, .init_message = "Unable to init blurp!\n", .frame = blurp_frame},
    {.name = "mirror hall", .init_order = 6, .init = mirrors_init, .init_message = "Unable to init rimbel mirrors!\n", .frame = mirrors_frame},
    {.name = "tunnel flight", .init_order = 4, .init = tunnel_init, .init_message = "Unable to init 3d-tunnel flight!\n", .frame = tunnel_frame, .leave = tunnel_leave, .ends = EFFECT_ENDS_ON_ORDER},
    {.name = "magnet", .init_order = 9, .init = magnet_init, .init_message = "Unable to load magnet files\n", .frame = magnet_frame},
    {.name = "qube", .init_order = 11, .init = qube_init, .init_message = "Unable to init quben!\n", .frame = qube_frame},
    {.name = "net", .init_order = 8, .init = net_init, .init_message = "Unable to init 3d_net!\n", .frame = net_frame},
    {.name = "hypervoxel", .init_order = 13, .init = hypervoxel_init, .init_message = "Unable to init hypervoxel part!\n", .frame = hypervoxel_frame},
    {.name = "diffuse cube", .init_order = 10, .init = dcube_init, .init_message = "Unable to init diffuse cube!\n", .frame = dcube_frame},
    {.name = "light object", .init_order = 12, .init = lobj_init, .init_message = "Unable to init lobj!\n", .frame = lobj_frame},
};

constexpr effect effect_end_part = {.name = "end part", .init = endpart_init, .init_message = "Unable to init endpart!\n", .frame = endpart_frame};
// clang-format on

namespace {
constexpr int32_t count_inits() {
  int32_t n = 0;
  for (const effect& e : effect_table)
    n += e.init_order > 0;
  return n;
}

// Every init has a place of its own in the start-up order, and a state that
// ends on an order has one on the timeline.
constexpr bool table_sound() {
  for (int32_t i = 0; i < TIMELINE_STATES; i++) {
    const effect& e = effect_table[i];
    if (e.ends == EFFECT_ENDS_ON_ORDER && timeline_states[i].end_order == TIMELINE_NO_ORDER)
      return false;
    if (e.init_order < 0 || e.init_order > count_inits())
      return false;
    for (int32_t j = 0; j < i && e.init_order > 0; j++)
      if (effect_table[j].init_order == e.init_order)
        return false;
  }
  return true;
}
static_assert(table_sound());
} // namespace

constexpr int32_t effect_init_count = count_inits();
