// The drawing step of a frame: the first static shell of particles, the
// front faces (texture- or environment-mapped, depth-tested), the other
// emitters' particles and the lens flares.
#include "particles.h"
#include "raster.h"
#include "scene_raster.h"
#include "scene_render.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float SCENE_LIFE_FULL = 300.0f; // a particle this young is drawn at full brightness
constexpr float SCENE_SPRITE_NEAR = 80.0f;
constexpr int32_t SCENE_PLUS_GREY_SHIFT = 1;
constexpr int32_t SCENE_SQUARE_HALF = 2;

uint32_t scene_grey(uint32_t g) { return g * 0x010101u; }

int32_t scene_int_depth(double z) { return int32_t(std::min(scene_depth(z), double(RGB_IMAGE_FAR))); }

// Adds a colour to one pixel if it lies inside the target.
void scene_add_pixel(rgb_image* t, int32_t x, int32_t y, uint32_t colour) {
  if (x < 0 || y < 0 || x >= t->width || y >= t->height)
    return;
  uint32_t& p = t->pixels[size_t(y) * size_t(t->width) + size_t(x)];
  p = colour_add_saturated(p, colour);
}

const rgb_image* scene_imagemap(const mirror_scene* s, int32_t index) {
  return s->imagemaps && index >= 0 && index < s->imagemap_count ? s->imagemaps[index] : nullptr;
}

void scene_draw_face(mirror_scene* s, const asc_object* o, const asc_face* f, rgb_image* target, bool depth) {
  const asc_vertex* v[3] = {&o->vertices[f->ia], &o->vertices[f->ib], &o->vertices[f->ic]};
  // There is no near-plane clipping: a face reaching behind the eye is not drawn.
  for (const asc_vertex* p : v)
    if (!(p->cz > 0))
      return;
  const rgb_image* texture = scene_imagemap(s, o->imagemap);
  if (!texture || (o->mode != ASC_MODE_TEXTURE && o->mode != ASC_MODE_ENVIRONMENT))
    return;
  scene_corner c[3];
  for (int32_t k = 0; k < 3; k++) {
    float u = v[k]->u, w = v[k]->v;
    if (o->mode == ASC_MODE_ENVIRONMENT) {
      u = std::clamp(float(0.5 - 0.5 * v[k]->cnx), 0.0f, 1.0f);
      w = std::clamp(float(0.5 - 0.5 * v[k]->cny), 0.0f, 1.0f);
    }
    c[k] = {v[k]->sx, v[k]->sy, u * float(texture->width), w * float(texture->height), float(scene_depth(v[k]->cz))};
  }
  scene_fill_triangle(target, texture, &c[0], &c[1], &c[2], depth);
}

// Without a depth buffer: the front faces of every visible object listed far
// to near by their corners' mean depth, then drawn in that order.
void scene_draw_sorted(mirror_scene* s, rgb_image* target) {
  int32_t n = 0;
  for (int32_t i = 0; i < s->object_count; i++) {
    const asc_object* o = s->objects[i];
    if (!o || o->visible != 1 || o->object_type == ASC_OBJECT_HIDDEN)
      continue;
    for (int32_t k = 0; k < o->face_count && n < s->face_buffer_size; k++) {
      const asc_face& f = o->faces[k];
      if (!f.visible)
        continue;
      const double z = o->vertices[f.ia].cz + o->vertices[f.ib].cz + o->vertices[f.ic].cz;
      s->face_buffer[n++] = {i, k, float(z / 3)};
    }
  }
  std::stable_sort(s->face_buffer, s->face_buffer + n,
                   [](const scene_face_ref& a, const scene_face_ref& b) { return a.depth > b.depth; });
  for (int32_t i = 0; i < n; i++) {
    const asc_object* o = s->objects[s->face_buffer[i].object];
    scene_draw_face(s, o, &o->faces[s->face_buffer[i].face], target, false);
  }
}

void scene_draw_faces(mirror_scene* s, rgb_image* target) {
  if (!target->zbuffer) {
    scene_draw_sorted(s, target);
    return;
  }
  for (int32_t i = 0; i < s->object_count; i++) {
    const asc_object* o = s->objects[i];
    if (!o || o->visible != 1 || o->object_type == ASC_OBJECT_HIDDEN)
      continue;
    for (int32_t k = 0; k < o->face_count; k++)
      if (o->faces[k].visible)
        scene_draw_face(s, o, &o->faces[k], target, true);
  }
}

void scene_draw_sprite_particle(const emitter* e, const particle& p, rgb_image* target, int32_t pass) {
  const float b = std::min(p.life * (1.0f / SCENE_LIFE_FULL), 1.0f);
  if (!(b > 0))
    return;
  // Nearer and younger particles are drawn larger.
  float f = float(p.view_position[2]) / (e->sprite_size + SCENE_SPRITE_NEAR);
  f = std::max(f / b, 1.0f);
  scene_sprite_options options;
  if (e->shade_count < 2 || !e->shades) {
    options.brightness = int32_t(b * 256.0f);
    scene_add_sprite(target, e->sprite, p.sx, p.sy, f, options);
    return;
  }
  const int32_t k = std::min(int32_t(b * float(e->shade_count)), e->shade_count - 1);
  if (pass == 1)
    options.depth = scene_int_depth(p.view_position[2]);
  if (e->shade_levels && e->sprite) {
    options.levels = e->shade_levels + size_t(k) * 256;
    scene_add_sprite(target, e->sprite, p.sx, p.sy, f, options);
  } else {
    scene_add_sprite(target, e->shades[k], p.sx, p.sy, f, options);
  }
}

void scene_draw_particles(emitter* e, rgb_image* target, int32_t pass) {
  const double z = e->view_origin[2];
  if (z <= 0 || z > SCENE_EMITTER_FAR)
    e->active = 0;
  for (int32_t i = 0; i < e->particle_count; i++) {
    particle& p = e->particles[i];
    if (!p.alive || !p.visible)
      continue;
    const int32_t x = raster_trunc(p.sx), y = raster_trunc(p.sy);
    switch (e->style) {
    case EMITTER_STYLE_DOT:
      if (x >= 0 && y >= 0 && x < target->width && y < target->height) {
        uint32_t& px = target->pixels[size_t(y) * size_t(target->width) + size_t(x)];
        px = (px & 0xFF000000) | scene_grey(uint32_t(p.seed) & 255);
      }
      break;
    case EMITTER_STYLE_PLUS: {
      const uint32_t g = uint32_t(p.seed) & 255;
      scene_add_pixel(target, x, y, scene_grey(g));
      for (const int32_t d : {-1, 1}) {
        scene_add_pixel(target, x + d, y, scene_grey(g >> SCENE_PLUS_GREY_SHIFT));
        scene_add_pixel(target, x, y + d, scene_grey(g >> SCENE_PLUS_GREY_SHIFT));
      }
      break;
    }
    case EMITTER_STYLE_SQUARE:
      p.seed = 1;
      for (int32_t dy = -SCENE_SQUARE_HALF; dy <= SCENE_SQUARE_HALF; dy++)
        for (int32_t dx = -SCENE_SQUARE_HALF; dx <= SCENE_SQUARE_HALF; dx++)
          scene_add_pixel(target, x + dx, y + dy, scene_grey(uint32_t(p.seed) & 255));
      break;
    case EMITTER_STYLE_SPRITES:
      scene_draw_sprite_particle(e, p, target, pass);
      break;
    default:
      break;
    }
  }
}

void scene_draw_flare(const mirror_scene* s, const lens_flare* fl, rgb_image* target) {
  const scene_camera* c = s->cameras[s->camera];
  const double d[3] = {fl->position[0] - c->eye[0], fl->position[1] - c->eye[1], fl->position[2] - c->eye[2]};
  const float* m = c->matrix;
  const double vx = m[0] * d[0] + m[1] * d[1] + m[2] * d[2];
  const double vy = m[3] * d[0] + m[4] * d[1] + m[5] * d[2];
  const double vz = m[6] * d[0] + m[7] * d[1] + m[8] * d[2];
  if (!(vz > 0) || !target->zbuffer || fl->element_count <= 0)
    return;
  const double w = target->width, h = target->height;
  const double px = vx * SCENE_LENS / vz, py = vy * SCENE_LENS / vz;
  const double sx = px + double(target->width / 2), sy = double(target->height / 2) - py;
  const double margin = fl->margin;
  if (sx < -margin || sx >= w + margin || sy < -margin || sy >= h + margin)
    return;
  // Hidden when nearer geometry covers its source (looked up at the nearest
  // pixel of the target when the source lies in the margin).
  const int32_t x = int32_t(std::clamp(sx, 0.0, w - 1));
  const int32_t y = int32_t(std::clamp(sy, 0.0, h - 1));
  if (target->zbuffer[size_t(y) * size_t(target->width) + size_t(x)] >= scene_int_depth(vz))
    return;
  const float scale = float(fl->size);
  scene_add_sprite(target, scene_imagemap(s, fl->images[0]), float(sx), float(sy), scale, {});
  for (int32_t i = 1; i < fl->element_count; i++) {
    const double o = fl->offsets[i];
    scene_add_sprite(target, scene_imagemap(s, fl->images[i]), float(double(target->width / 2) + o * px),
                     float(double(target->height / 2) - o * py), scale, {});
  }
}
} // namespace

void scene_draw(mirror_scene* s, rgb_image* target) {
  if (!s->cameras || s->camera < 0 || s->camera >= s->camera_count || !s->cameras[s->camera])
    return;
  int32_t shell = -1;
  for (int32_t i = 0; i < s->mother_count && shell < 0; i++)
    if (s->mothers[i] && s->mothers[i]->kind == EMITTER_SHELL)
      shell = i;
  if (shell >= 0)
    scene_draw_particles(s->mothers[shell], target, 0);
  scene_draw_faces(s, target);
  for (int32_t i = 0; i < s->mother_count; i++)
    if (i != shell && s->mothers[i])
      scene_draw_particles(s->mothers[i], target, 1);
  for (int32_t i = 0; i < s->flare_count; i++)
    if (s->flares[i])
      scene_draw_flare(s, s->flares[i], target);
}
