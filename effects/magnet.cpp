// The magnet: a rusty texture bent over the block grid by the field of four
// turning poles, a glowing wire cube turning in front of it. On the music's
// beats the poles jump and the field grows until it gives way to the net,
// while the cube flies back and out of the top of the picture.
#include "magnet.h"

#include "magnet_parts.h"
#include "music.h"
#include "net.h"
#include "pcx.h"
#include "picture_fit.h"

namespace {
magnet_state magnet;

void magnet_release() {
  if (magnet.texture)
    pixmap_free(magnet.texture);
  magnet = magnet_state{};
}

void magnet_field_step(magnet_state& s, float fd) {
  magnet_field& f = s.field;
  if (f.strength > MAGNET_END_STRENGTH) {
    pixmap_fill_rect(s.frame, 0, 0, s.frame->width, s.frame->height, 0);
    net_draw(s.frame);
    s.cube.end_phase = 1;
    return;
  }
  magnet_field_advance(&f, &s.cube, s.clock->order, s.clock->row, fd);
  magnet_field_draw(&f, s.frame, s.texture, s.shade, fd);
}
} // namespace

magnet_state* magnet_get_state() { return &magnet; }

int32_t magnet_init(show_context* show) {
  magnet_release();
  magnet_state& s = magnet;
  if (!show || !show->clock || !show->frame || !show->shade)
    return 0;
  s.clock = show->clock;
  s.frame = show->frame;
  s.shade = show->shade;
  s.rc = show->rc;
  magnet_field_reset(&s.field);
  magnet_cube_reset(&s.cube);
  // The blocks read the texture as a 256-wide array of 256 rows.
  s.texture =
      picture_fit(pcx_load("data/magnet/rost.pcx"), "data/magnet/rost.pcx", BLOCK_TEXTURE_SIZE, BLOCK_TEXTURE_SIZE);
  if (!block_texture_fits(s.texture)) {
    magnet_release();
    return 0;
  }
  return 1;
}

int32_t magnet_frame() {
  magnet_state& s = magnet;
  if (!s.texture)
    return 0; // nothing to show
  const float fd = s.clock->frame_delta;
  s.scene_clock += fd;
  magnet_field_step(s, fd);
  magnet_cube_step(&s.cube, s.frame, fd);
  return s.cube.done || s.scene_clock >= MAGNET_SCENE_TIME ? 0 : 1;
}
