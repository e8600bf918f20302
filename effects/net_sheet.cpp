// The net's last stage: the finished net picture on a flat sheet of 8 x 8
// vertices filling the view. Column by column, 4 ticks apart, the vertices
// move to their places on a ball; once all have arrived the ball turns and
// slides off to the right.
#include "mat3.h"
#include "net_parts.h"
#include "polygondrawer.h"
#include "render_polygon.h"

#include <cmath>

namespace {
constexpr float PI = 3.14159265358979323846f;
constexpr float NET_BALL_RADIUS = 128.0f;
constexpr float NET_BALL_SHIFT = -64.0f; // the ball sits left of the sheet's centre
constexpr float NET_SHEET_GONE = 320.0f; // slid out of view

void net_sheet_corner(polygon* t, int32_t slot, const vec3& v, float shift, int32_t i, int32_t j) {
  t->v[slot] = {v.x + shift, v.y, v.z};
  t->uv[2 * slot] = float(40 * j);
  t->uv[2 * slot + 1] = float(240 - 30 * i);
}

// Moves the vertices whose timers run, and turns the ball once every vertex
// has arrived.
void net_sheet_fold(net_sheet* sheet, float fd) {
  if (!sheet->folded) {
    int32_t moved_now = 0;
    for (int32_t k = 0; k < NET_SHEET_VERTICES; k++) {
      if (sheet->timer[k] > 0.0f && sheet->timer[k] < NET_FOLD_TIME) {
        vec3& p = sheet->position[k];
        const vec3& v = sheet->velocity[k];
        p = {p.x + v.x * fd, p.y + v.y * fd, p.z + v.z * fd};
        moved_now = 1;
      }
      sheet->timer[k] += fd;
    }
    if (sheet->moved && !moved_now)
      sheet->folded = 1;
    sheet->moved |= moved_now;
    if (!sheet->folded)
      return;
  }
  sheet->x += PI / 128.0f * fd;
  sheet->y -= PI / 256.0f * fd;
  sheet->z += PI / 256.0f * fd;
  sheet->shift += fd;
}
void net_sheet_draw(net_sheet* sheet, render_context* rc, pixmap* texture) {
  if (!sheet->drawer_selected) {
    select_polygondrawer(POLYGONDRAWER_SAFE);
    sheet->drawer_selected = 1;
  }
  mat3 r;
  mat3_rotation_xyz(&r, sheet->x, sheet->y, sheet->z);
  vec3 turned[NET_SHEET_VERTICES];
  mat3_transform_array(turned, sheet->position, NET_SHEET_VERTICES, &r);
  polygon* t = sheet->triangle;
  t->texture[0] = texture;
  const float shift = sheet->shift;
  for (int32_t i = 0; i + 1 < NET_SHEET_SIDE; i++)
    for (int32_t j = 0; j + 1 < NET_SHEET_SIDE; j++) {
      const vec3* row = turned + i * NET_SHEET_SIDE;
      const vec3* next = row + NET_SHEET_SIDE;
      net_sheet_corner(t, 0, next[j], shift, i + 1, j);
      net_sheet_corner(t, 1, row[j + 1], shift, i, j + 1);
      net_sheet_corner(t, 2, row[j], shift, i, j);
      render_polygon(rc, t);
      net_sheet_corner(t, 0, row[j + 1], shift, i, j + 1);
      net_sheet_corner(t, 1, next[j], shift, i + 1, j);
      net_sheet_corner(t, 2, next[j + 1], shift, i + 1, j + 1);
      render_polygon(rc, t);
    }
}
} // namespace

void net_sheet_reset(net_sheet* sheet) {
  for (int32_t i = 0; i < NET_SHEET_SIDE; i++)
    for (int32_t j = 0; j < NET_SHEET_SIDE; j++) {
      const int32_t k = i * NET_SHEET_SIDE + j;
      const vec3 flat = {-160.0f + 45.714287f * float(j), -120.0f + 34.285713f * float(i), 0.0f};
      const float alpha = float(i) * PI / 7.0f, beta = float(j) * (-2.0f * PI / 7.0f);
      float rho = NET_BALL_RADIUS * std::sin(alpha);
      if (rho < 2.0f)
        rho = 0.0f; // the first and last rings close into the poles
      const vec3 ball = {rho * std::sin(beta) + NET_BALL_SHIFT, -NET_BALL_RADIUS * std::cos(alpha),
                         rho * std::cos(beta)};
      sheet->position[k] = flat;
      sheet->velocity[k] = {(ball.x - flat.x) / NET_FOLD_TIME, (ball.y - flat.y) / NET_FOLD_TIME,
                            (ball.z - flat.z) / NET_FOLD_TIME};
      sheet->timer[k] = float(4 * j - 32);
    }
  sheet->x = sheet->y = sheet->z = sheet->shift = 0.0f;
  sheet->moved = sheet->folded = 0;
  sheet->drawer_selected = 0;
}

void net_sheet_step(net_sheet* sheet, render_context* rc, pixmap* texture, float stage_clock, float fd) {
  if (sheet->shift > NET_SHEET_GONE)
    return;
  if (sheet->triangle && rc)
    net_sheet_draw(sheet, rc, texture);
  if (stage_clock > NET_FOLD_START)
    net_sheet_fold(sheet, fd);
}
