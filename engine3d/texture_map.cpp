#include "texture_map.h"

#include <cmath>

texture_mapping_entry texture_mapping[TEXTURE_MAPPING_ENTRIES];

namespace {

constexpr double MAP_PI = 3.141592654;
constexpr double MAP_HALF_PI = 1.570796327;
constexpr double MAP_TWO_OVER_PI = 0.6366197722844561;
constexpr double MAP_ONE_OVER_PI = 0.31830988614222805;
constexpr double MAP_ONE_OVER_TWO_PI = 0.15915494307111402;

double fract(double w) { return w - std::trunc(w); }

// a / b, or 0 for a zero size (an unset size would spread infinities).
double ratio(double a, float b) { return b != 0 ? a / double(b) : 0.0; }

// The point the cylinder and the sphere measure their angles on, per axis.
void map_direction(int32_t axis, double x, double y, double z, double out[3]) {
  if (axis == TEXTURE_AXIS_X) {
    out[0] = z;
    out[1] = x;
    out[2] = -y;
  } else if (axis == TEXTURE_AXIS_Z) {
    out[0] = -x;
    out[1] = z;
    out[2] = -y;
  } else {
    out[0] = -x;
    out[1] = y;
    out[2] = z;
  }
}

} // namespace

void texture_mapping_reset() {
  for (texture_mapping_entry& e : texture_mapping) {
    e.type = TEXTURE_MAP_NONE;
    e.axis = TEXTURE_AXIS_Y;
    e.size = {0, 0, 0};
    e.center = {0, 0, 0};
    e.width_tiling = 1.0f;
    e.height_tiling = 1.0f;
  }
}

double texture_map_heading(double x, double, double z) {
  if (x == 0 && z == 0)
    return 0;
  if (z == 0)
    return x < 0 ? MAP_HALF_PI : -MAP_HALF_PI;
  const double h = -std::atan(x / z);
  return z < 0 ? h + MAP_PI : h;
}

double texture_map_pitch(double x, double y, double z) {
  if (x == 0 && z == 0) {
    if (y == 0)
      return 0;
    return y < 0 ? -MAP_HALF_PI : MAP_HALF_PI;
  }
  return std::atan(y / std::sqrt(x * x + z * z));
}

int texture_map_point(const texture_mapping_entry* e, float x, float y, float z, float* u, float* v) {
  const double px = double(x) - e->center.x;
  const double py = double(y) - e->center.y;
  const double pz = double(z) - e->center.z;
  double du, dv;
  switch (e->type) {
  case TEXTURE_MAP_PLANAR: {
    const double s = (e->axis == TEXTURE_AXIS_X ? ratio(pz, e->size.z) : ratio(px, e->size.x)) + 0.5;
    const double t = 0.5 - (e->axis == TEXTURE_AXIS_Y ? ratio(pz, e->size.z) : ratio(py, e->size.y));
    du = fract(s);
    dv = fract(t);
    break;
  }
  case TEXTURE_MAP_CYLINDRICAL: {
    double d[3];
    map_direction(e->axis, px, py, pz, d);
    const double lon = texture_map_heading(d[0], d[1], d[2]);
    const double t = e->axis == TEXTURE_AXIS_X   ? ratio(px, e->size.x)
                     : e->axis == TEXTURE_AXIS_Y ? ratio(py, e->size.y)
                                                 : ratio(pz, e->size.z);
    dv = 0.5 - t;
    du = 1.0 - lon * MAP_TWO_OVER_PI;
    if (e->width_tiling != 1.0f)
      du = fract(du) * e->width_tiling;
    du = fract(du);
    dv = fract(dv);
    break;
  }
  case TEXTURE_MAP_SPHERICAL: {
    double d[3];
    map_direction(e->axis, px, py, pz, d);
    const double lon = texture_map_heading(d[0], d[1], d[2]);
    const double lat = texture_map_pitch(d[0], d[1], d[2]);
    du = 1.0 - lon * MAP_TWO_OVER_PI;
    dv = 0.5 - lat * MAP_ONE_OVER_PI;
    if (e->width_tiling != 1.0f)
      du = fract(du) * e->width_tiling;
    if (e->height_tiling != 1.0f)
      dv = fract(dv) * e->height_tiling;
    du = fract(du);
    dv = fract(dv);
    break;
  }
  case TEXTURE_MAP_CUBIC:
    du = (std::atan2(px, pz) + MAP_PI) * MAP_ONE_OVER_TWO_PI;
    dv = (std::atan2(py, pz) + MAP_PI) * MAP_ONE_OVER_TWO_PI;
    break;
  default:
    return 0;
  }
  *u = float(du);
  *v = float(dv);
  return 1;
}
