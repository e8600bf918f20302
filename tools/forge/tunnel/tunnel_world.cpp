#include "tunnel_world.h"

#include <algorithm>
#include <cmath>

const char* const tunnel_texture_names[TUNNEL_MATERIALS] = {"panels.jpg", "ribs.jpg",   "hall.jpg",
                                                            "shaft.jpg",  "throat.jpg", "exit.jpg"};

namespace {

constexpr float PI = 3.14159265358979f;
constexpr float TWO_PI = 2 * PI;

// Where each section begins; the last ends at the cap.
constexpr float section_start[5] = {-TUNNEL_BEHIND, 950, 1850, 2650, 3550};
// Shapes blend into each other over this distance on both sides of a border.
constexpr float blend_half = 60;
// The hall swells to this radius and back over the first and last 260 units.
constexpr float hall_radius = 170;
constexpr float hall_ramp = 260;
// The camera reaches its last point at this scene time.
constexpr double arrive_time = 124000;

float smoothstep(float e0, float e1, float v) {
  const float t = std::clamp((v - e0) / (e1 - e0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

forge_vec3 add(forge_vec3 a, forge_vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
forge_vec3 scale(forge_vec3 a, float k) { return {a.x * k, a.y * k, a.z * k}; }
forge_vec3 lerp(forge_vec3 a, forge_vec3 b, float t) { return add(a, scale(forge_vec3_sub(b, a), t)); }

// Distance from the centre to a regular polygon's edge at angle theta, for a
// polygon of n sides with its inscribed radius and a corner at `corner`.
float polygon_radius(float inradius, int32_t n, float theta, float corner) {
  const float sector = TWO_PI / float(n);
  float a = std::fmod(theta - corner, sector);
  if (a < 0)
    a += sector;
  return inradius / std::cos(a - sector / 2);
}

// 1 on the rib rings (every third ring of the ribbed tube), 0 between them.
float rib(float s) {
  float m = std::fmod(s, 3 * TUNNEL_RING_STEP);
  if (m < 0)
    m += 3 * TUNNEL_RING_STEP;
  const float d = std::min(m, 3 * TUNNEL_RING_STEP - m);
  return std::max(0.0f, 1 - d / TUNNEL_RING_STEP);
}

// The shape of section i alone at (s, theta), theta relative to the twist.
float shape_radius(int32_t i, float s, float theta) {
  switch (i) {
  case TUNNEL_PANELS: // an octagon with a flat floor
    return polygon_radius(56, 8, theta, PI / 8);
  case TUNNEL_RIBS:
    return 54 - 9 * rib(s);
  case TUNNEL_HALL: {
    const float swell = smoothstep(section_start[2], section_start[2] + hall_ramp, s) *
                        (1 - smoothstep(section_start[3] - hall_ramp, section_start[3], s));
    // A little taller than wide, like a nave.
    const float r = 54 + (hall_radius - 54) * swell;
    return r * (1 + 0.18f * swell * std::sin(theta) * std::sin(theta));
  }
  case TUNNEL_SHAFT: // a square with a flat floor
    return polygon_radius(52, 4, theta, PI / 4);
  default: // the throat narrows towards the light
    return 52 - 10 * smoothstep(section_start[4], TUNNEL_LENGTH, s);
  }
}

// How much the centre line may bend at s: the hall and the throat run
// nearly straight (the light at the end is seen from afar).
float bend_allowance(float s) {
  const float hall = smoothstep(section_start[2], section_start[2] + 200, s) *
                     (1 - smoothstep(section_start[3] - 200, section_start[3], s));
  const float throat = smoothstep(section_start[4] - 300, section_start[4] + 100, s);
  return (1 - 0.8f * hall) * (1 - throat);
}

// The centre line sampled finely, with frames carried along.
constexpr float fine_step = 2;

struct centre_path {
  std::vector<tunnel_frame> fine;

  centre_path() {
    const int32_t count = int32_t((TUNNEL_LENGTH + TUNNEL_BEHIND + 400) / fine_step) + 2;
    fine.resize(size_t(count));
    float yaw = 0, pitch = 0;
    forge_vec3 p = {0, 0, 0}, up = {0, 1, 0};
    // Started behind the origin so that the camera's start sits at s = 0.
    const float s0 = -TUNNEL_BEHIND - 200;
    for (int32_t i = 0; i < count; i++) {
      const float s = s0 + fine_step * float(i);
      const float w = bend_allowance(s);
      const float yaw_rate = w * (0.0030f * std::sin(TWO_PI * s / 1500) + 0.0022f * std::sin(TWO_PI * s / 640 + 1.3f));
      const float pitch_rate = w * 0.0018f * std::sin(TWO_PI * s / 1100 + 0.4f);
      const forge_vec3 dir = {std::sin(yaw) * std::cos(pitch), std::sin(pitch), -std::cos(yaw) * std::cos(pitch)};
      up = forge_vec3_normalise(forge_vec3_sub(up, scale(dir, forge_vec3_dot(dir, up))));
      tunnel_frame& f = fine[size_t(i)];
      f.s = s;
      f.centre = p;
      f.dir = dir;
      f.up = up;
      f.right = forge_vec3_cross(dir, up);
      p = add(p, scale(dir, fine_step));
      yaw += yaw_rate * fine_step;
      pitch += pitch_rate * fine_step;
    }
    // Move the line so that s = 0 lies at the origin.
    const forge_vec3 origin = at(0).centre;
    for (tunnel_frame& f : fine)
      f.centre = forge_vec3_sub(f.centre, origin);
  }

  tunnel_frame at(float s) const {
    const float x = std::clamp((s - fine.front().s) / fine_step, 0.0f, float(fine.size() - 2));
    const size_t i = size_t(x);
    const float t = x - float(i);
    const tunnel_frame& a = fine[i];
    const tunnel_frame& b = fine[i + 1];
    tunnel_frame f;
    f.s = s;
    f.centre = lerp(a.centre, b.centre, t);
    f.dir = forge_vec3_normalise(lerp(a.dir, b.dir, t));
    f.up = lerp(a.up, b.up, t);
    f.up = forge_vec3_normalise(forge_vec3_sub(f.up, scale(f.dir, forge_vec3_dot(f.dir, f.up))));
    f.right = forge_vec3_cross(f.dir, f.up);
    return f;
  }
};

// The camera's roll about its view at s: a gentle sway, a barrel roll down
// the ribbed tube, and a turn with the shaft's twist.
float camera_roll(float s) {
  return 0.25f * std::sin(TWO_PI * s / 1300) + TWO_PI * smoothstep(1050, 1750, s) + 0.6f * tunnel_twist(s);
}

// A turn (axis, angle) that takes the forge camera's axes (x right, y up,
// looking along -z) onto right, up and back.
ase_writer_turn turn_of_axes(forge_vec3 right, forge_vec3 up, forge_vec3 back) {
  // Rotation matrix with the three as columns, to a quaternion.
  const float m00 = right.x, m10 = right.y, m20 = right.z;
  const float m01 = up.x, m11 = up.y, m21 = up.z;
  const float m02 = back.x, m12 = back.y, m22 = back.z;
  double w, x, y, z;
  const double trace = double(m00) + m11 + m22;
  if (trace > 0) {
    const double r = std::sqrt(1 + trace) * 2;
    w = r / 4;
    x = (m21 - m12) / r;
    y = (m02 - m20) / r;
    z = (m10 - m01) / r;
  } else if (m00 > m11 && m00 > m22) {
    const double r = std::sqrt(1.0 + m00 - m11 - m22) * 2;
    w = (m21 - m12) / r;
    x = r / 4;
    y = (m01 + m10) / r;
    z = (m02 + m20) / r;
  } else if (m11 > m22) {
    const double r = std::sqrt(1.0 + m11 - m00 - m22) * 2;
    w = (m02 - m20) / r;
    x = (m01 + m10) / r;
    y = r / 4;
    z = (m12 + m21) / r;
  } else {
    const double r = std::sqrt(1.0 + m22 - m00 - m11) * 2;
    w = (m10 - m01) / r;
    x = (m02 + m20) / r;
    y = (m12 + m21) / r;
    z = r / 4;
  }
  if (w < 0)
    w = -w, x = -x, y = -y, z = -z;
  const double n = std::sqrt(x * x + y * y + z * z);
  if (n < 1e-9)
    return {{0, 1, 0}, 0};
  return {{float(x / n), float(y / n), float(z / n)}, float(2 * std::atan2(n, w))};
}

// Texture columns per repeat around the ring, and rings per repeat along it.
struct section_mapping {
  int32_t columns;
  int32_t first_column; // column where a repeat starts (a polygon's corner)
  int32_t rings;        // 0: the texture's height spans the whole section once
};
constexpr section_mapping mappings[5] = {{2, 1, 2}, {4, 0, 3}, {2, 0, 4}, {4, 2, 3}, {4, 0, 0}};

// Adds a triangle with its face turned towards `inside`.
void add_facing(forge_mesh* m, const int32_t v[3], const forge_uv uv[3], forge_vec3 inside) {
  forge_triangle t;
  for (int k = 0; k < 3; k++)
    t.v[k] = v[k], t.uv[k] = uv[k];
  const forge_vec3 n = forge_mesh_face_normal(m, &t);
  const forge_vec3 to_inside = forge_vec3_sub(inside, m->positions[size_t(v[0])]);
  if (forge_vec3_dot(n, to_inside) < 0)
    forge_mesh_add_triangle(m, v[0], v[2], v[1], uv[0], uv[2], uv[1]);
  else
    forge_mesh_add_triangle(m, v[0], v[1], v[2], uv[0], uv[1], uv[2]);
}

} // namespace

int32_t tunnel_section_at(float s) {
  int32_t i = 0;
  while (i < 4 && s >= section_start[i + 1])
    i++;
  return i;
}

float tunnel_twist(float s) { return 2.5f * PI * smoothstep(section_start[3], section_start[4], s); }

float tunnel_wall_radius(float s, float theta) {
  // Blend with the neighbour across the nearest border.
  const int32_t i = tunnel_section_at(s);
  float r = shape_radius(i, s, theta);
  if (i > 0 && s < section_start[i] + blend_half) {
    const float t = smoothstep(section_start[i] - blend_half, section_start[i] + blend_half, s);
    r = shape_radius(i - 1, s, theta) * (1 - t) + r * t;
  } else if (i < 4 && s > section_start[i + 1] - blend_half) {
    const float t = smoothstep(section_start[i + 1] - blend_half, section_start[i + 1] + blend_half, s);
    r = r * (1 - t) + shape_radius(i + 1, s, theta) * t;
  }
  return r;
}

float tunnel_inner_radius(float s) {
  float r = 1e9f;
  for (int32_t k = 0; k < 64; k++)
    r = std::min(r, tunnel_wall_radius(s, TWO_PI * float(k) / 64.0f));
  return r;
}

float tunnel_camera_s(double t) {
  const double speed = double(TUNNEL_CAMERA_END) / (arrive_time - TUNNEL_START_TIME);
  return float(std::min((t - TUNNEL_START_TIME) * speed, double(TUNNEL_CAMERA_END)));
}

void tunnel_centre_line(std::vector<tunnel_frame>* rings) {
  const centre_path path;
  rings->clear();
  const int32_t count = int32_t(std::lround((TUNNEL_LENGTH + TUNNEL_BEHIND) / TUNNEL_RING_STEP)) + 1;
  for (int32_t k = 0; k < count; k++)
    rings->push_back(path.at(-TUNNEL_BEHIND + TUNNEL_RING_STEP * float(k)));
}

int tunnel_build_world(tunnel_world* w) {
  const centre_path path;
  std::vector<tunnel_frame> rings;
  tunnel_centre_line(&rings);
  const int32_t ring_count = int32_t(rings.size());

  // Ring vertices: TUNNEL_SIDES around each ring, turned with the twist.
  std::vector<forge_vec3> points;
  for (const tunnel_frame& f : rings)
    for (int32_t j = 0; j < TUNNEL_SIDES; j++) {
      const float theta = TWO_PI * float(j) / float(TUNNEL_SIDES);
      const float r = tunnel_wall_radius(f.s, theta);
      const float a = theta + tunnel_twist(f.s);
      points.push_back(add(f.centre, add(scale(f.right, r * std::cos(a)), scale(f.up, r * std::sin(a)))));
    }

  w->meshes.assign(TUNNEL_MATERIALS, forge_mesh{});
  // Each section's mesh keeps the vertices of its own rings.
  for (int32_t sec = 0; sec < 5; sec++) {
    forge_mesh* m = &w->meshes[size_t(sec)];
    const section_mapping& map = mappings[sec];
    int32_t first = -1, last = -1; // ring span of the section's quads
    for (int32_t k = 0; k + 1 < ring_count; k++)
      if (tunnel_section_at(0.5f * (rings[size_t(k)].s + rings[size_t(k + 1)].s)) == sec) {
        if (first < 0)
          first = k;
        last = k + 1;
      }
    if (first < 0)
      return 0;
    const int32_t base = int32_t(m->positions.size());
    for (int32_t k = first; k <= last; k++)
      for (int32_t j = 0; j < TUNNEL_SIDES; j++)
        forge_mesh_add_vertex(m, points[size_t(k * TUNNEL_SIDES + j)]);
    auto index = [&](int32_t k, int32_t j) { return base + (k - first) * TUNNEL_SIDES + (j % TUNNEL_SIDES); };
    for (int32_t k = first; k < last; k++) {
      float v0, v1;
      if (map.rings > 0) {
        v0 = float(k % map.rings) / float(map.rings);
        v1 = v0 + 1.0f / float(map.rings);
      } else {
        v0 = float(k - first) / float(last - first);
        v1 = float(k + 1 - first) / float(last - first);
      }
      const forge_vec3 inside = lerp(rings[size_t(k)].centre, rings[size_t(k + 1)].centre, 0.5f);
      for (int32_t j = 0; j < TUNNEL_SIDES; j++) {
        const int32_t c = ((j - map.first_column) % map.columns + map.columns) % map.columns;
        const float u0 = float(c) / float(map.columns), u1 = u0 + 1.0f / float(map.columns);
        const int32_t a = index(k, j), b = index(k, j + 1), cc = index(k + 1, j + 1), d = index(k + 1, j);
        const int32_t t0[3] = {a, b, cc}, t1[3] = {a, cc, d};
        const forge_uv uv0[3] = {{u0, v0}, {u1, v0}, {u1, v1}}, uv1[3] = {{u0, v0}, {u1, v1}, {u0, v1}};
        add_facing(m, t0, uv0, inside);
        add_facing(m, t1, uv1, inside);
      }
    }
  }

  // The cap closes the throat: the light the flight ends in.
  {
    forge_mesh* m = &w->meshes[TUNNEL_EXIT];
    const tunnel_frame& f = rings.back();
    const int32_t k = ring_count - 1;
    const int32_t centre = forge_mesh_add_vertex(m, f.centre);
    const float r = tunnel_inner_radius(f.s);
    for (int32_t j = 0; j < TUNNEL_SIDES; j++)
      forge_mesh_add_vertex(m, points[size_t(k * TUNNEL_SIDES + j)]);
    auto planar = [&](int32_t j) {
      const forge_vec3 d = forge_vec3_sub(points[size_t(k * TUNNEL_SIDES + j % TUNNEL_SIDES)], f.centre);
      const float x = forge_vec3_dot(d, f.right), y = forge_vec3_dot(d, f.up);
      return forge_uv{std::clamp(0.5f + 0.5f * x / (r * 1.25f), 0.0f, 1.0f),
                      std::clamp(0.5f - 0.5f * y / (r * 1.25f), 0.0f, 1.0f)};
    };
    const forge_vec3 viewer = forge_vec3_sub(f.centre, scale(f.dir, 100));
    for (int32_t j = 0; j < TUNNEL_SIDES; j++) {
      const int32_t v[3] = {centre, 1 + j, 1 + (j + 1) % TUNNEL_SIDES};
      const forge_uv uv[3] = {{0.5f, 0.5f}, planar(j), planar(j + 1)};
      add_facing(m, v, uv, viewer);
    }
  }

  ase_writer_scene& s = w->scene;
  s = ase_writer_scene{};
  s.file_name = "finaljpg.max";
  s.first_frame = 0;
  s.last_frame = TUNNEL_END_TIME / 160 + 1;
  static const char* const names[TUNNEL_MATERIALS] = {"Panels", "Ribs", "Hall", "Shaft", "Throat", "Exit"};
  for (int32_t i = 0; i < TUNNEL_MATERIALS; i++) {
    s.materials.push_back({names[i], std::string("maps\\") + tunnel_texture_names[i], 0});
    ase_writer_object o;
    o.name = std::string(names[i]) + "01";
    o.mesh = &w->meshes[size_t(i)];
    o.material = i;
    s.objects.push_back(o);
  }

  // The camera: one key every TUNNEL_KEY_STEP, one more at each end than the
  // flight needs (the splines run from the second key to the last but one).
  ase_writer_camera cam;
  cam.name = "FlightCam";
  for (int32_t t = TUNNEL_START_TIME - TUNNEL_KEY_STEP; t <= TUNNEL_END_TIME + 2 * TUNNEL_KEY_STEP;
       t += TUNNEL_KEY_STEP) {
    const float cs = tunnel_camera_s(t);
    const tunnel_frame f = path.at(cs);
    const forge_vec3 look = forge_vec3_normalise(forge_vec3_sub(path.at(cs + 110).centre, f.centre));
    forge_vec3 up = forge_vec3_normalise(forge_vec3_sub(f.up, scale(look, forge_vec3_dot(look, f.up))));
    forge_vec3 right = forge_vec3_cross(look, up);
    const float roll = camera_roll(cs);
    const forge_vec3 rolled_right = add(scale(right, std::cos(roll)), scale(up, std::sin(roll)));
    up = add(scale(up, std::cos(roll)), scale(right, -std::sin(roll)));
    right = rolled_right;
    cam.tracks.positions.push_back({t, f.centre});
    cam.tracks.rotations.push_back({t, turn_of_axes(right, up, scale(look, -1))});
  }
  cam.position = cam.tracks.positions[1].position;
  cam.turn = cam.tracks.rotations[1].turn;
  s.cameras.push_back(cam);
  return 1;
}
