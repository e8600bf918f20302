// Placing, sizing and lighting an object read by asc_load.
#include "mirror_scene.h"

#include <cmath>
#include <initializer_list>

namespace {
double asc_length(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

double asc_farthest(const asc_object* o) {
  double d = 0;
  for (int32_t i = 0; i < o->vertex_count; i++) {
    const asc_vertex& v = o->vertices[i];
    d = std::fmax(d, asc_length(v.x, v.y, v.z));
  }
  return d;
}

// Normalises (x, y, z) into out; a vector of zero length stays zero.
void asc_unit(double x, double y, double z, double* out) {
  const double n = asc_length(x, y, z);
  const double k = n > 0 && std::isfinite(n) ? 1.0 / n : 0.0;
  out[0] = x * k;
  out[1] = y * k;
  out[2] = z * k;
}
} // namespace

void asc_center(asc_object* o) {
  if (o->vertex_count <= 0)
    return;
  double lo[3] = {o->vertices[0].x, o->vertices[0].y, o->vertices[0].z};
  double hi[3] = {lo[0], lo[1], lo[2]};
  for (int32_t i = 1; i < o->vertex_count; i++) {
    const double p[3] = {o->vertices[i].x, o->vertices[i].y, o->vertices[i].z};
    for (int k = 0; k < 3; k++) {
      lo[k] = std::fmin(lo[k], p[k]);
      hi[k] = std::fmax(hi[k], p[k]);
    }
  }
  const double c[3] = {(lo[0] + hi[0]) / 2, (lo[1] + hi[1]) / 2, (lo[2] + hi[2]) / 2};
  for (int32_t i = 0; i < o->vertex_count; i++) {
    o->vertices[i].x -= c[0];
    o->vertices[i].y -= c[1];
    o->vertices[i].z -= c[2];
  }
}

void asc_scale_to_radius(asc_object* o, double r) {
  const double d = asc_farthest(o);
  // An object shrunk to a point has no size to scale.
  if (!(d > 0) || !std::isfinite(d))
    return;
  const double k = r / d;
  for (int32_t i = 0; i < o->vertex_count; i++) {
    o->vertices[i].x *= k;
    o->vertices[i].y *= k;
    o->vertices[i].z *= k;
  }
}

void asc_compute_normals(asc_object* o) {
  for (int32_t i = 0; i < o->vertex_count; i++) {
    asc_vertex& v = o->vertices[i];
    v.nx = v.ny = v.nz = 0;
  }
  for (int32_t i = 0; i < o->face_count; i++) {
    asc_face& f = o->faces[i];
    const asc_vertex& p = o->vertices[f.ia];
    const asc_vertex& q = o->vertices[f.ib];
    const asc_vertex& r = o->vertices[f.ic];
    const double a[3] = {p.x - q.x, p.y - q.y, p.z - q.z};
    const double b[3] = {p.x - r.x, p.y - r.y, p.z - r.z};
    double n[3];
    asc_unit(a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0], n);
    f.nx = n[0];
    f.ny = n[1];
    f.nz = n[2];
    f.fnx = float(n[0]);
    f.fny = float(n[1]);
    f.fnz = float(n[2]);
    // The vertex normals start as the sums of their faces' normals.
    for (int32_t c : {f.ia, f.ib, f.ic}) {
      o->vertices[c].nx += n[0];
      o->vertices[c].ny += n[1];
      o->vertices[c].nz += n[2];
    }
  }
  for (int32_t i = 0; i < o->vertex_count; i++) {
    asc_vertex& v = o->vertices[i];
    double n[3];
    asc_unit(v.nx, v.ny, v.nz, n);
    v.nx = n[0];
    v.ny = n[1];
    v.nz = n[2];
    v.cnx = float(n[0]);
    v.cny = float(n[1]);
    v.cnz = float(n[2]);
  }
}

void asc_bounding_radius(asc_object* o) { o->radius = float(asc_farthest(o)); }
