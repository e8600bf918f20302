#include "spline.h"

#include "mem.h"

namespace {

// 2 (t2 - t1) / d, where keys sharing one time make d zero: no tangent then.
double tangent_scale(double t1, double t2, double d) { return d != 0 ? 2 * (t2 - t1) / d : 0.0; }

// The segment and its parameter s for time t (segments known to exist).
template <typename S> const S* find_segment(const S* segments, int32_t count, double t, double* s) {
  if (t <= segments[0].t1) {
    *s = 0;
    return &segments[0];
  }
  if (t >= segments[count - 1].t2) {
    *s = 1;
    return &segments[count - 1];
  }
  for (int32_t i = 0; i < count; i++) {
    if (segments[i].t2 > t) {
      // t lies at or after this segment's start here, so its span is positive.
      *s = (t - segments[i].t1) / segments[i].span;
      return &segments[i];
    }
  }
  *s = 1;
  return &segments[count - 1];
}

quat quat_scaled_sum(double a, const quat* p, double b, const quat* q) {
  quat x, y, out;
  quat_scale(&x, a, p);
  quat_scale(&y, b, q);
  return *quat_add(&out, &x, &y);
}

// log(conj(p) . q)
quat log_between(const quat* p, const quat* q) {
  quat c, m, out;
  quat_conjugate(&c, p);
  quat_mul(&m, &c, q);
  return *quat_log(&out, &m);
}

} // namespace

position_spline* position_spline_create(const position_key* keys, int32_t count) {
  if (!keys || count < 1)
    return nullptr;
  position_spline* s = mem_alloc_array<position_spline>(1);
  if (!s)
    return nullptr;
  s->hold[0] = keys[0].x;
  s->hold[1] = keys[0].y;
  s->hold[2] = keys[0].z;
  if (count < 4)
    return s;
  s->segments = mem_alloc_array<position_segment>(size_t(count - 3));
  if (!s->segments) {
    mem_free(s);
    return nullptr;
  }
  s->segment_count = count - 3;
  for (int32_t j = 0; j < s->segment_count; j++) {
    const position_key* k0 = &keys[j];
    const position_key* k1 = &keys[j + 1];
    const position_key* k2 = &keys[j + 2];
    const position_key* k3 = &keys[j + 3];
    const double p0[3] = {k0->x, k0->y, k0->z};
    const double p1[3] = {k1->x, k1->y, k1->z};
    const double p2[3] = {k2->x, k2->y, k2->z};
    const double p3[3] = {k3->x, k3->y, k3->z};
    const double g = tangent_scale(k1->time, k2->time, k2->time - k0->time);
    const double h = tangent_scale(k1->time, k2->time, k3->time - k1->time);
    const double d_a = g * (1 - k1->tension) * (1 - k1->continuity) * (1 - k1->bias) / 2;
    const double d_b = g * (1 - k1->tension) * (1 + k1->continuity) * (1 + k1->bias) / 2;
    const double s_a = h * (1 - k2->tension) * (1 - k2->continuity) * (1 + k2->bias) / 2;
    const double s_b = h * (1 - k2->tension) * (1 + k2->continuity) * (1 - k2->bias) / 2;
    position_segment* seg = &s->segments[j];
    for (int c = 0; c < 3; c++) {
      const double d1 = d_a * (p2[c] - p1[c]) + d_b * (p1[c] - p0[c]);
      const double s2 = s_a * (p2[c] - p1[c]) + s_b * (p3[c] - p2[c]);
      seg->p1[c] = p1[c];
      seg->k1[c] = d1;
      seg->k2[c] = 3 * (p2[c] - p1[c]) - 2 * d1 - s2;
      seg->k3[c] = d1 + s2 - 2 * (p2[c] - p1[c]);
    }
    seg->t1 = k1->time;
    seg->t2 = k2->time;
    seg->span = k2->time - k1->time;
  }
  return s;
}

rotation_spline* rotation_spline_create(const rotation_key* keys, int32_t count) {
  if (!keys || count < 1)
    return nullptr;
  rotation_spline* s = mem_alloc_array<rotation_spline>(1);
  if (!s)
    return nullptr;
  s->hold[0] = keys[0].ax;
  s->hold[1] = keys[0].ay;
  s->hold[2] = keys[0].az;
  s->hold[3] = keys[0].angle;
  if (count < 4)
    return s;
  s->segments = mem_alloc_array<rotation_segment>(size_t(count - 3));
  if (!s->segments) {
    mem_free(s);
    return nullptr;
  }
  s->segment_count = count - 3;
  for (int32_t j = 0; j < s->segment_count; j++) {
    const rotation_key* k[4] = {&keys[j], &keys[j + 1], &keys[j + 2], &keys[j + 3]};
    quat q[4];
    for (int i = 0; i < 4; i++)
      quat_from_axis_angle(&q[i], k[i]->angle, k[i]->ax, k[i]->ay, k[i]->az);
    if (quat_dot(&q[1], &q[2]) < 0)
      quat_negate(&q[2], &q[2]);
    const quat l01 = log_between(&q[0], &q[1]);
    const quat l12 = log_between(&q[1], &q[2]);
    const quat l23 = log_between(&q[2], &q[3]);
    const double g = tangent_scale(k[1]->time, k[2]->time, k[2]->time - k[0]->time);
    const double h = tangent_scale(k[1]->time, k[2]->time, k[3]->time - k[1]->time);
    const rotation_key* a = k[1];
    const rotation_key* b = k[2];
    const quat ts = quat_scaled_sum(g * (1 - a->tension) * (1 + a->continuity) * (1 + a->bias) / 2, &l01,
                                    g * (1 - a->tension) * (1 - a->continuity) * (1 - a->bias) / 2, &l12);
    const quat td = quat_scaled_sum(h * (1 - b->tension) * (1 - b->continuity) * (1 + b->bias) / 2, &l12,
                                    h * (1 - b->tension) * (1 + b->continuity) * (1 - b->bias) / 2, &l23);
    quat d, e;
    rotation_segment* seg = &s->segments[j];
    quat_sub(&d, &ts, &l12);
    quat_scale(&d, 0.5, &d);
    quat_exp(&e, &d);
    quat_mul(&seg->a, &q[1], &e);
    quat_sub(&d, &l12, &td);
    quat_scale(&d, 0.5, &d);
    quat_exp(&e, &d);
    quat_mul(&seg->b, &q[2], &e);
    seg->q1 = q[1];
    seg->q2 = q[2];
    seg->t1 = a->time;
    seg->t2 = b->time;
    seg->span = b->time - a->time;
  }
  return s;
}

void position_spline_free(position_spline* s) {
  if (!s)
    return;
  if (s->segments)
    mem_free(s->segments);
  mem_free(s);
}

void rotation_spline_free(rotation_spline* s) {
  if (!s)
    return;
  if (s->segments)
    mem_free(s->segments);
  mem_free(s);
}

void position_spline_value(const position_spline* s, double t, double out[3]) {
  if (s->segment_count <= 0) {
    for (int c = 0; c < 3; c++)
      out[c] = s->hold[c];
    return;
  }
  double u;
  const position_segment* seg = find_segment(s->segments, s->segment_count, t, &u);
  for (int c = 0; c < 3; c++)
    out[c] = seg->p1[c] + u * (seg->k1[c] + u * (seg->k2[c] + u * seg->k3[c]));
}

void rotation_spline_value(const rotation_spline* s, double t, double out[4]) {
  if (s->segment_count <= 0) {
    for (int c = 0; c < 4; c++)
      out[c] = s->hold[c];
    return;
  }
  double u;
  const rotation_segment* seg = find_segment(s->segments, s->segment_count, t, &u);
  quat q;
  quat_squad(&q, u, &seg->q1, &seg->a, &seg->b, &seg->q2);
  quat_to_axis_angle(&q, &out[3], &out[0], &out[1], &out[2]);
}
