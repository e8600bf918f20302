// The light object: the shell, its core and the beams are rendered over the
// diffuse cube's background into a scene of their own, which is blurred
// into the frame; the beams jump out on every bar and shrink back, and the
// whole picture fades to black at the end.
#include "lobj.h"

#include "blend.h"
#include "jpeg.h"
#include "lobj_parts.h"
#include "lwo.h"
#include "mem.h"
#include "music.h"
#include "pcx.h"
#include "timeline.h"
#include "vfs.h"

#include <algorithm>
#include <cmath>

namespace {
lobj_state lobj;

constexpr float PI = 3.14159265358979323846f;
// The objects' texture folder as the show has always named it.
const char* const LOBJ_TEXTURE_DIR = "data/lboj/";

void lobj_release() {
  for (mesh_object* o : {lobj.shell, lobj.source, lobj.core})
    if (o)
      lwo_object_free(o);
  for (pixmap* p : {lobj.scene, lobj.envmap, lobj.beam_texture})
    if (p)
      pixmap_free(p);
  if (lobj.rc)
    render_context_free(lobj.rc);
  lobj = lobj_state{};
}

// A texture the wrapping drawers read: exactly 256 x 256.
pixmap* lobj_texture(pixmap* p, const char* name) {
  if (p && (p->width != 256 || p->height != 256)) {
    vfs_note_failure(name, "not 256 x 256");
    pixmap_free(p);
    return nullptr;
  }
  return p;
}

// Reads an object into a new mesh object; none when it is missing or broken.
mesh_object* lobj_read(const char* path) {
  mesh_object* o = mesh_object_create();
  if (!o)
    return nullptr;
  if (!lwo_load(path, LOBJ_TEXTURE_DIR, o) || !o->mesh || !lobj_mesh_sound(o->mesh) || !o->mesh->normals ||
      !o->mesh->work_positions || !o->mesh->work_normals) {
    lwo_object_free(o);
    return nullptr;
  }
  return o;
}

int32_t lobj_load() {
  lobj.scene = pixmap_create(320, 240, PIXMAP_DEPTH | PIXMAP_CLEAR);
  if (!lobj.scene || !lobj.scene->depth)
    return 0;
  lobj.rc = render_context_create(0, lobj.scene, 320, 240, 400.0f);
  if (!lobj.rc)
    return 0;
  lobj.envmap = lobj_texture(jpeg_load("data/lobj/envmap.jpg"), "data/lobj/envmap.jpg");
  if (!lobj.envmap)
    return 0;
  lobj.beam_texture = lobj_texture(pcx_load("data/lobj/ltex.pcx"), "data/lobj/ltex.pcx");
  if (!lobj.beam_texture)
    return 0;
  // The first object that fails ends the init, so its messages stand alone.
  lobj.shell = lobj_read("data/lobj/sph_hol.lwo");
  if (!lobj.shell)
    return 0;
  lobj.source = lobj_read("data/lobj/sph_ihol.lwo");
  if (!lobj.source)
    return 0;
  lobj.core = lobj_read("data/lobj/sph_ihol.lwo");
  if (!lobj.core)
    return 0;
  if (!mesh_compute_vertex_normals(lobj.shell->mesh))
    return 0;
  for (mesh_object* o : {lobj.shell, lobj.source, lobj.core})
    lobj_scale_mesh(o->mesh, LOBJ_SCALE);
  lobj_setup_shell(lobj.shell->mesh, lobj.envmap);
  lobj_setup_source(lobj.source->mesh, lobj.beam_texture);
  lobj_setup_core(lobj.core->mesh);
  return 1;
}
} // namespace

lobj_state* lobj_get_state() { return &lobj; }

int32_t lobj_init(show_context* show) {
  // The scene has a render context of its own.
  lobj_release();
  lobj.show = show;
  lobj.clock = show->clock;
  lobj.frame = show->frame;
  lobj.gamma = PI / 3;
  lobj.beam_scale = 5.0f;
  lobj.latch = 1;
  if (!lobj_load()) {
    lobj_release();
    return 0;
  }
  return 1;
}

int32_t lobj_frame() {
  lobj_state& s = lobj;
  const float fd = s.clock->frame_delta;
  const uint32_t row = s.clock->row;

  s.u = 128.0f + 64.0f * std::sin(s.alpha);
  s.offset_x = 32.0f * std::cos(s.beta);
  s.offset_y = 32.0f * std::sin(s.gamma);

  mem_fill_words(s.scene->depth, uint32_t(PIXMAP_FAR_DEPTH), size_t(s.scene->width) * size_t(s.scene->height));
  // The background comes from the diffuse cube, whose init runs first;
  // without it the scene starts black.
  s.background = s.show ? s.show->pictures.dcube_background : nullptr;
  if (s.background)
    pixmap_blit(s.scene, 0, 0, s.background, 0, 0, 320, 240);
  else
    pixmap_fill_rect(s.scene, 0, 0, 320, 240, 0);
  lobj_draw_objects(&s, fd);
  radial_blur_weighted(s.frame, s.scene, 160.0f, 120.0f, 32, 0.2f);

  s.beam_scale = std::max(s.beam_scale * 0.9f, 2.5f);
  if ((row & 15) > 5) {
    s.latch = 1;
  } else if (s.latch) {
    s.beam_scale = 7.0f;
    s.latch = 0;
  }
  s.alpha += PI / 256 * fd;
  s.beta += 0.007363107781851078f * fd;
  s.gamma += 0.01718058482431918f * fd;

  const uint32_t order = s.clock->order;
  if (order > 38) {
    pixmap_fade_blit(s.frame, 0, 0, s.frame, 0, 0, 0, s.fade, 320, 240);
    s.fade = std::min(s.fade + 0.01f * fd, 1.0f);
  }
  return timeline_order_reached(TIMELINE_LOBJ, order) ? 0 : 1;
}
