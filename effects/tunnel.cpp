// The tunnel flight: a textured scene with its own camera and keyframes,
// flown through with depth buffering and a wide lens. The flight speeds up
// to a fixed pace, comes up out of a purple tint and washes out to white
// near its end; the sequencer leaves it on a music order.
#include "tunnel.h"

#include "mem.h"
#include "music.h"
#include "polygondrawer.h"
#include "tunnel_parts.h"
#include "vfs.h"

namespace {
tunnel_state tunnel;

void tunnel_release() {
  if (tunnel.context)
    render_context_free(tunnel.context); // the lamp is not the context's
  if (tunnel.lamp)
    light_free(tunnel.lamp);
  if (tunnel.scene)
    render_scene_free(tunnel.scene);
  tunnel = tunnel_state{};
}
} // namespace

tunnel_state* tunnel_get_state() { return &tunnel; }

int32_t tunnel_init(show_context* show) {
  tunnel_release();
  pixmap* frame = show->frame;
  tunnel.clock = show->clock;
  tunnel.frame = frame;
  tunnel.pace = 1.0f;
  tunnel.fade_in = 1.0f;
  tunnel.fade_out = 0.0f;
  // The flight cannot be shown without its scene and a camera to see it by;
  // after a failure nothing is kept, and the frame step draws nothing.
  tunnel.scene = ase_build_scene("data/3dscene/finaljpg.ase", "data/3dscene/");
  tunnel.context = render_context_create(0, frame, 320, 240, TUNNEL_FLIGHT_FOCAL);
  tunnel.lamp = light_create();
  if (!tunnel.scene || tunnel.scene->camera_count < 1 || !tunnel.context || !tunnel.lamp) {
    if (tunnel.scene)
      vfs_note_failure("data/3dscene/finaljpg.ase", "holds no camera");
    tunnel_release();
    return 0;
  }
  tunnel.lamp->type = LIGHT_AMBIENT;
  tunnel.lamp->intensity = 255.0f;
  if (!render_context_add_light(tunnel.context, tunnel.lamp)) {
    tunnel_release();
    return 0;
  }
  render_scene_reset_time(tunnel.scene);
  tunnel.scene->time = TUNNEL_FLIGHT_START_TIME;
  return 1;
}

int32_t tunnel_frame() {
  tunnel_state& t = tunnel;
  if (!t.scene || !t.context)
    return 0; // nothing to fly through
  pixmap* f = t.frame;
  if (!t.started) {
    t.started = 1;
    select_polygondrawer(POLYGONDRAWER_PERSPECTIVE_Z);
    f->flags |= PIXMAP_DEPTH;
  }
  // The colour plane is not cleared: the tunnel fills the whole view.
  if (f->depth)
    mem_fill_words(f->depth, uint32_t(PIXMAP_FAR_DEPTH), size_t(f->width) * size_t(f->height));
  render_scene_animate(t.scene);
  render_scene_draw(t.scene, t.context);

  const float fd = music_frame_delta(t.clock);
  tunnel_advance(&t, fd);
  tunnel_fades(&t, fd, t.clock->order, t.clock->row);
  return 0; // the sequencer leaves this state on a music order
}

void tunnel_leave() {
  if (tunnel.frame)
    tunnel.frame->flags ^= PIXMAP_DEPTH;
}
