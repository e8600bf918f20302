// The mirror hall's scene: an environment-mapped star in a textured sphere,
// three standing mirrors and one on the floor (each backed by a disc), three
// particle streams, four fountains and a lens flare above.
#include "mirrors_parts.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr double QUARTER = 1.57075;
constexpr double THETA1 = 2.0943333333333336, THETA2 = 4.188666666666667;

// Image maps read from files, by slot; slot 2 is made, not read.
constexpr const char* MIRRORS_MAP_FILES[] = {
    "data/rimbel/textures/vatten.pcx",
    "data/rimbel/textures/spegel.pcx",
    nullptr,
    "data/rimbel/128x128/white.pcx",
};
constexpr int32_t MIRRORS_FIRST_FLARE_MAP = 4;
constexpr int32_t MIRRORS_HALL_MAP = 19;
constexpr int32_t MIRRORS_FEEDBACK_WIDTH = 320, MIRRORS_FEEDBACK_HEIGHT = 200;

// An object of the hall: where it stands on the circle round the centre
// (distance and angle in the xz plane, then height), its turn and size.
struct mirrors_object_place {
  int32_t slot;
  const char* path;
  int32_t mode;
  int32_t imagemap;
  double radius;
  double ring, theta, height;
  double angles[3];
};

constexpr const char* MIRROR_FILE = "data/rimbel/mirror.asc";
constexpr const char* DISC_FILE = "data/rimbel/disken.asc";
constexpr double MIRROR_SIZE = 200, MIRROR_RING = 560, DISC_SIZE = 250, DISC_RING = 590;
constexpr double FLOOR_MIRROR = -600, FLOOR_DISC = -630;

// Objects 1 to 8 in their load order: mirror and disc in pairs.
constexpr mirrors_object_place MIRRORS_PANES[] = {
    {1, MIRROR_FILE, ASC_MODE_TEXTURE, MIRRORS_FEEDBACK_MAP, MIRROR_SIZE, MIRROR_RING, 0, 0, {0, -QUARTER, 0}},
    {2, DISC_FILE, ASC_MODE_TEXTURE, 1, DISC_SIZE, DISC_RING, 0, 0, {0, QUARTER, QUARTER}},
    {3,
     MIRROR_FILE,
     ASC_MODE_TEXTURE,
     MIRRORS_FEEDBACK_MAP,
     MIRROR_SIZE,
     MIRROR_RING,
     THETA1,
     0,
     {0, 0.5235833333333335, 0}},
    {4, DISC_FILE, ASC_MODE_TEXTURE, 1, DISC_SIZE, DISC_RING, THETA1, 0, {-THETA1, QUARTER, QUARTER}},
    {5,
     MIRROR_FILE,
     ASC_MODE_TEXTURE,
     MIRRORS_FEEDBACK_MAP,
     MIRROR_SIZE,
     MIRROR_RING,
     THETA2,
     0,
     {0, 2.617916666666667, 0}},
    {6, DISC_FILE, ASC_MODE_TEXTURE, 1, DISC_SIZE, DISC_RING, THETA2, 0, {-THETA2, QUARTER, QUARTER}},
    {7,
     MIRROR_FILE,
     ASC_MODE_TEXTURE,
     MIRRORS_FEEDBACK_MAP,
     MIRROR_SIZE,
     0,
     0,
     FLOOR_MIRROR,
     {QUARTER, -QUARTER, QUARTER}},
    {8, DISC_FILE, ASC_MODE_TEXTURE, 1, DISC_SIZE, 0, 0, FLOOR_DISC, {0, -QUARTER, 0}},
};
constexpr mirrors_object_place MIRRORS_STAR_PLACE = {
    MIRRORS_STAR, "data/rimbel/star1.asc", ASC_MODE_ENVIRONMENT, 0, 300, 0, 0, 0, {0, 0, 0}};
constexpr mirrors_object_place MIRRORS_HALL_PLACE = {
    MIRRORS_HALL, "data/rimbel/sphere.asc", ASC_MODE_TEXTURE, MIRRORS_HALL_MAP, 800, 0, 0, 0, {0, 0, 0}};
constexpr const char* MIRRORS_PHONG_FILE = "data/rimbel/phong.bin";

// The emitters, in slot order.
struct mirrors_emitter_setting {
  int32_t kind;
  int32_t count;
  const char* sprite;
  int32_t shades;
  float size;
};
constexpr int32_t MIRRORS_SHADES = 20;
constexpr mirrors_emitter_setting MIRRORS_EMITTER_SETTINGS[MIRRORS_EMITTERS] = {
    {EMITTER_FALLING, 300, "data/rimbel/128x128/gold.pcx", MIRRORS_SHADES, 100},
    {EMITTER_FALLING, 300, "data/rimbel/128x128/blue.pcx", MIRRORS_SHADES, 100},
    {EMITTER_FALLING, 300, "data/rimbel/128x128/red.pcx", MIRRORS_SHADES, 100},
    {EMITTER_FOUNTAIN, 40, nullptr, 0, 300},
    {EMITTER_FOUNTAIN, 40, nullptr, 0, 300},
    {EMITTER_FOUNTAIN, 40, "data/rimbel/128x128/purple.pcx", MIRRORS_SHADES, 300},
    {EMITTER_FOUNTAIN, 40, "data/rimbel/128x128/green.pcx", MIRRORS_SHADES, 300},
};

// The lens flare: element 0 is the second picture, element 1 the first, the
// rest in order; their places on the line through the screen centre.
constexpr int32_t MIRRORS_FLARE_MAPS[MIRRORS_FLARE_ELEMENTS] = {5, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
constexpr float MIRRORS_FLARE_OFFSETS[MIRRORS_FLARE_ELEMENTS] = {1.0f,   1.316f,  0.504f,  0.444f,  0.406f,
                                                                 0.2f,   0.01f,   -0.264f, -0.398f, -0.44f,
                                                                 -0.46f, -0.636f, -0.656f, -1.0f,   -1.316f};
constexpr double MIRRORS_FLARE_POSITION[3] = {-300, 900, -300};

constexpr double MIRRORS_CAMERA_EYE[3] = {0, 0, 1000};

int32_t mirrors_load_map(mirror_scene* s, int32_t slot, const char* path) {
  s->imagemaps[slot] = pcx24_load(path);
  return s->imagemaps[slot] != nullptr;
}

int32_t mirrors_load_object(mirror_scene* s, const mirrors_object_place& place, const char* phong) {
  asc_object* o = asc_load(place.path, phong, nullptr, place.mode);
  if (!o)
    return 0;
  s->objects[place.slot] = o;
  o->imagemap = place.imagemap;
  o->position[0] = place.ring * std::cos(place.theta);
  o->position[1] = place.height;
  o->position[2] = place.ring * std::sin(place.theta);
  asc_center(o);
  asc_scale_to_radius(o, place.radius);
  asc_compute_normals(o);
  asc_bounding_radius(o);
  s->total_faces += o->face_count;
  o->visible = 1;
  for (int32_t k = 0; k < 3; k++)
    o->angles[k] = place.angles[k];
  return 1;
}

int32_t mirrors_load_maps(mirrors_state* m) {
  mirror_scene* s = &m->scene;
  for (int32_t slot = 0; slot < MIRRORS_FIRST_FLARE_MAP; slot++) {
    if (slot == MIRRORS_FEEDBACK_MAP) {
      m->blank_map = rgb_image_create(MIRRORS_FEEDBACK_WIDTH, MIRRORS_FEEDBACK_HEIGHT, RGB_IMAGE_CLEAR);
      s->imagemaps[slot] = m->blank_map;
      if (!m->blank_map)
        return 0;
    } else if (!mirrors_load_map(s, slot, MIRRORS_MAP_FILES[slot])) {
      return 0;
    }
  }
  for (int32_t k = 0; k < MIRRORS_FLARE_ELEMENTS; k++) {
    char path[48];
    std::snprintf(path, sizeof path, "data/rimbel/zoom/flare%02d.pcx", int(k + 1));
    if (!mirrors_load_map(s, MIRRORS_FIRST_FLARE_MAP + k, path))
      return 0;
  }
  return 1;
}

int32_t mirrors_make_emitters(mirror_scene* s) {
  const double origin[3] = {0, 0, 0};
  for (int32_t i = 0; i < MIRRORS_EMITTERS; i++) {
    const mirrors_emitter_setting& e = MIRRORS_EMITTER_SETTINGS[i];
    s->mothers[i] = emitter_create(e.kind, e.count, origin, e.sprite, EMITTER_STYLE_SPRITES, e.shades, 0, e.size);
    if (!s->mothers[i])
      return 0;
  }
  // The first two fountains borrow the gold and blue streams' sprites.
  for (int32_t i = 0; i < 2; i++) {
    emitter* fountain = s->mothers[MIRRORS_FIRST_FOUNTAIN + i];
    const emitter* stream = s->mothers[i];
    fountain->sprite = stream->sprite;
    fountain->shades = stream->shades;
    fountain->shade_levels = stream->shade_levels;
    fountain->shade_count = stream->shade_count;
    fountain->owns_sprite = 0;
  }
  return 1;
}

int32_t mirrors_make_flare(mirror_scene* s) {
  lens_flare* f = s->flares[0];
  if (!lens_flare_alloc(f, MIRRORS_FLARE_ELEMENTS))
    return 0;
  for (int32_t i = 0; i < MIRRORS_FLARE_ELEMENTS; i++) {
    f->images[i] = MIRRORS_FLARE_MAPS[i];
    f->offsets[i] = MIRRORS_FLARE_OFFSETS[i];
  }
  f->margin = 0;
  f->size = 1;
  for (int32_t k = 0; k < 3; k++)
    f->position[k] = MIRRORS_FLARE_POSITION[k];
  return 1;
}
} // namespace

int32_t mirrors_build_scene(mirrors_state* m) {
  mirror_scene* s = &m->scene;
  *s = mirror_scene{};
  s->object_count = MIRRORS_OBJECTS;
  s->camera_count = 1;
  s->mother_count = MIRRORS_EMITTERS;
  s->flare_count = 1;
  s->imagemap_count = MIRRORS_IMAGEMAPS;
  if (!mirror_scene_alloc(s))
    return 0;
  if (!mirrors_load_maps(m) || !mirrors_load_object(s, MIRRORS_STAR_PLACE, MIRRORS_PHONG_FILE) ||
      !mirrors_load_map(s, MIRRORS_HALL_MAP, "data/rimbel/textures/ss071.pcx") ||
      !mirrors_load_object(s, MIRRORS_HALL_PLACE, nullptr))
    return 0;
  for (const mirrors_object_place& place : MIRRORS_PANES)
    if (!mirrors_load_object(s, place, nullptr))
      return 0;
  if (!mirrors_make_emitters(s) || !mirrors_make_flare(s))
    return 0;
  scene_camera* c = s->cameras[0];
  for (int32_t k = 0; k < 3; k++) {
    c->eye[k] = MIRRORS_CAMERA_EYE[k];
    c->target[k] = 0;
  }
  c->roll_input = 0;
  if (!mirror_scene_alloc_faces(s)) {
    scene_error = SCENE_ERROR_UNKNOWN;
    return 0;
  }
  return 1;
}

void mirrors_release_scene(mirrors_state* m) {
  mirror_scene* s = &m->scene;
  for (int32_t i = 0; s->objects && i < s->object_count; i++)
    asc_free(s->objects[i]);
  for (int32_t i = 0; s->mothers && i < s->mother_count; i++)
    emitter_free(s->mothers[i]);
  // Slot 2 holds one of the frame pictures (or the blank map, freed below).
  for (int32_t i = 0; s->imagemaps && i < s->imagemap_count; i++)
    if (i != MIRRORS_FEEDBACK_MAP)
      rgb_image_free(s->imagemaps[i]);
  mirror_scene_free(s);
  rgb_image_free(m->blank_map);
  m->blank_map = nullptr;
}
