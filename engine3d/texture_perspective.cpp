// Perspective-correct texture mapping with one depth value per row: u/z, v/z
// and 1/z are interpolated across the triangle's plane and divided per pixel.
#include "drawers.h"
#include "perspective_rows.h"

namespace {
// Distance from the eye to the projection plane the routine assumes.
constexpr float PERSPECTIVE_FOCAL = 256.0f;
} // namespace

void texture_perspective_z(const polygon* p, pixmap* target) {
  const float* uv = raster_uv(p);
  const pixmap* tex = p->texture[0];
  if (!target || !target->depth || target->width <= 0 || !uv || !tex || tex->width <= 0 || tex->height <= 0)
    return;
  const float last_u = float(tex->width - 1), last_v = float(tex->height - 1);
  persp_triangle(p, uv, PERSPECTIVE_FOCAL, target, [&](const persp_span& sp) {
    uint32_t* out = target->pixels + target->rows[sp.row];
    int32_t* depth = target->depth + target->rows[sp.row];
    float s = sp.s, t = sp.t, q = sp.q;
    for (int32_t x = sp.left; x < sp.right; x++) {
      if (sp.z < depth[x]) {
        // q stays positive inside the triangle; the guard keeps the edges' rounding finite.
        const float inv = 1.0f / (q > 1e-30f ? q : 1e-30f);
        const int32_t u = int32_t(raster_clamp(s * inv, 0, last_u));
        const int32_t v = int32_t(raster_clamp(t * inv, 0, last_v));
        out[x] = tex->pixels[tex->rows[v] + u];
        depth[x] = sp.z;
      }
      s += sp.dsdx;
      t += sp.dtdx;
      q += sp.dqdx;
    }
  });
}
