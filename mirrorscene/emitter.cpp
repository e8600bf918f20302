// Particle emitters: creation with sprite and shades, and the four motion
// rules. Random values come from the program's one generator.
#include "particles.h"

#include "random.h"

#include <cmath>
#include <cstdlib>

namespace {
constexpr float FOUNTAIN_AGEING = 2.0f;
constexpr double FOUNTAIN_GRAVITY = 0.2;
constexpr double FOUNTAIN_LIFT = 3.0;
constexpr int32_t FOUNTAIN_LIFE_BASE = 200, FOUNTAIN_LIFE_RANGE = 100;
constexpr float STREAM_AGEING = 3.0f;

// Where a stream's particles are born (within spread of the origin across),
// how fast they drift upwards, and how long they live.
struct emitter_stream_rule {
  int32_t spread;
  double speed;
  int32_t life_range;
  int32_t life_base;
};
constexpr emitter_stream_rule FALLING_RULE = {.spread = 10, .speed = -1.0, .life_range = 100, .life_base = 200};
constexpr emitter_stream_rule RISING_RULE = {.spread = 12, .speed = 0.3, .life_range = 200, .life_base = 40};

emitter* emitter_fail(int32_t code, emitter* e) {
  particle_error = code;
  emitter_free(e);
  return nullptr;
}

// Shade i of n: every byte of the sprite times i / (n - 1).
bool emitter_make_shades(emitter* e, int32_t n) {
  e->shades = static_cast<rgb_image**>(std::calloc(size_t(n), sizeof(rgb_image*)));
  e->shade_levels = static_cast<uint8_t*>(std::malloc(size_t(n) * 256));
  if (!e->shades || !e->shade_levels)
    return false;
  e->shade_count = n;
  const rgb_image* s = e->sprite;
  const size_t count = size_t(s->width) * size_t(s->height);
  for (int32_t i = 0; i < n; i++) {
    rgb_image* shade = rgb_image_create(s->width, s->height, 0);
    if (!shade)
      return false;
    e->shades[i] = shade;
    uint8_t* level = e->shade_levels + size_t(i) * 256;
    for (uint32_t b = 0; b < 256; b++)
      level[b] = uint8_t(b * uint32_t(i) / uint32_t(n - 1));
    for (size_t p = 0; p < count; p++) {
      const uint32_t px = s->pixels[p];
      shade->pixels[p] = uint32_t(level[px & 255]) | uint32_t(level[px >> 8 & 255]) << 8 |
                         uint32_t(level[px >> 16 & 255]) << 16 | uint32_t(level[px >> 24]) << 24;
    }
  }
  return true;
}

// A random point on the sphere of the given radius around the scene origin;
// a zero direction is drawn again.
void emitter_shell_point(particle* p, double radius) {
  double r[3];
  do {
    for (double& v : r)
      v = double(demo_rand() % 100 - 50);
  } while (r[0] == 0 && r[1] == 0 && r[2] == 0);
  const double len = std::sqrt(r[0] * r[0] + r[1] * r[1] + r[2] * r[2]);
  for (int k = 0; k < 3; k++)
    p->position[k] = radius * r[k] / len;
}

void emitter_move(emitter* e) {
  for (int k = 0; k < 3; k++)
    e->origin[k] += e->velocity[k];
}

void emitter_fountain(emitter* e, int32_t n) {
  emitter_move(e);
  e->active = n > 0;
  for (int32_t i = 0; i < e->particle_count; i++) {
    particle& p = e->particles[i];
    if (p.alive) {
      p.life -= FOUNTAIN_AGEING;
      if (p.life > 0) {
        for (int k = 0; k < 3; k++)
          p.position[k] += p.velocity[k];
        p.velocity[1] -= FOUNTAIN_GRAVITY;
      } else {
        p.alive = 0;
      }
    } else if (n > 0) {
      p.alive = 1;
      for (int k = 0; k < 3; k++)
        p.position[k] = e->origin[k];
      const int32_t g = demo_rand(), h = demo_rand(), l = demo_rand();
      const double m = double(l % 1000) * 10 * 0.001;
      const double a = double(h % 10000), b = double(g % 10000);
      p.velocity[0] = m * std::sin(a) * std::cos(b);
      p.velocity[1] = m * std::cos(a) + FOUNTAIN_LIFT;
      p.velocity[2] = m * std::sin(b) * std::sin(-a);
      p.life = float(demo_rand() % FOUNTAIN_LIFE_RANGE + FOUNTAIN_LIFE_BASE);
      n--;
    }
  }
}

// The falling and rising streams: particles age by three and drift; dead
// ones are reborn in a square around the origin.
void emitter_stream(emitter* e, int32_t n, const emitter_stream_rule& rule) {
  for (int32_t i = 0; i < e->particle_count; i++) {
    particle& p = e->particles[i];
    if (p.alive) {
      p.life -= STREAM_AGEING;
      if (p.life > 0) {
        for (int k = 0; k < 3; k++)
          p.position[k] += p.velocity[k];
      } else {
        p.alive = 0;
      }
    } else if (n > 0) {
      p.alive = 1;
      p.position[0] = e->origin[0] + double(demo_rand() % (2 * rule.spread) - rule.spread);
      p.position[1] = e->origin[1];
      p.position[2] = e->origin[2] + double(demo_rand() % (2 * rule.spread) - rule.spread);
      p.velocity[0] = 0;
      p.velocity[1] = rule.speed;
      p.velocity[2] = 0;
      p.life = float(demo_rand() % rule.life_range + rule.life_base);
      n--;
    }
  }
}
} // namespace

emitter* emitter_create(int32_t kind, int32_t count, const double origin[3], const char* sprite_path, int32_t style,
                        int32_t shades, double radius, float sprite_size) {
  emitter* e = static_cast<emitter*>(std::calloc(1, sizeof(emitter)));
  if (!e)
    return emitter_fail(PARTICLE_ERROR_MEMORY, nullptr);
  e->particles = count >= 0 ? static_cast<particle*>(std::calloc(size_t(count) + 1, sizeof(particle))) : nullptr;
  if (!e->particles)
    return emitter_fail(PARTICLE_ERROR_MEMORY, e);
  e->particle_count = count;
  e->sprite_size = sprite_size;
  e->style = style;
  e->kind = kind;
  e->active = 1;
  e->owns_sprite = 1;
  if (sprite_path) {
    e->sprite = pcx24_load(sprite_path);
    if (!e->sprite)
      return emitter_fail(PARTICLE_ERROR_OPEN, e);
  }
  if (style == EMITTER_STYLE_SPRITES && shades != 0) {
    // Shades are darkened copies of the sprite: there must be one, and at
    // least two shades.
    if (shades <= 1 || !e->sprite)
      return emitter_fail(PARTICLE_ERROR_SHADES, e);
    if (!emitter_make_shades(e, shades))
      return emitter_fail(PARTICLE_ERROR_MEMORY, e);
  }
  for (int k = 0; k < 3; k++)
    e->origin[k] = origin[k];
  for (int32_t i = 0; i < count; i++) {
    particle& p = e->particles[i];
    if (kind == EMITTER_SHELL) {
      p.alive = 1;
      emitter_shell_point(&p, radius);
      p.seed = demo_rand() % 70 + 5;
    }
  }
  return e;
}

void emitter_free(emitter* e) {
  if (!e)
    return;
  if (e->owns_sprite) {
    for (int32_t i = 0; e->shades && i < e->shade_count; i++)
      rgb_image_free(e->shades[i]);
    std::free(e->shades);
    std::free(e->shade_levels);
    rgb_image_free(e->sprite);
  }
  std::free(e->particles);
  std::free(e);
}

void emitter_update(emitter* e, int32_t n) {
  switch (e->kind) {
  case EMITTER_FOUNTAIN:
    emitter_fountain(e, n);
    break;
  case EMITTER_FALLING:
    emitter_move(e);
    e->active = 1;
    emitter_stream(e, n, FALLING_RULE);
    break;
  case EMITTER_RISING:
    e->active = 0;
    emitter_stream(e, n, RISING_RULE);
    break;
  case EMITTER_SHELL:
    e->active = 0;
    break;
  default:
    break;
  }
}
