// The cube's texture drawer: 1/z, u/z and v/z are interpolated over the
// screen and divided at every pixel, so the faces that reach past the viewer
// stay undistorted. Textures are 256 x 256 and wrap.
#include "icube_parts.h"

#include "perspective_rows.h"

namespace {
// A texel coordinate: trunc toward zero, then the low 8 bits. Values beyond
// the integer range (a q rounded to nearly 0 at a clipped edge) saturate.
inline int32_t wrap(float a) { return raster_trunc(a) & 255; }
} // namespace

void icube_draw_triangle(const polygon* p, pixmap* target) {
  const float* uv = raster_uv(p);
  const pixmap* tex = p->texture[0];
  if (!target || target->width <= 0 || !uv || !tex || tex->width != ICUBE_TEXTURE || tex->height < ICUBE_TEXTURE)
    return;
  const uint32_t* texels = tex->pixels + tex->rows[0];
  // The pipeline clips to the view pyramid, so every vertex is in front of
  // the eye; one at or behind it draws nothing.
  persp_triangle(p, uv, ICUBE_FOCAL, target, [&](const persp_span& sp) {
    uint32_t* out = target->pixels + target->rows[sp.row];
    float s = sp.s, t = sp.t, q = sp.q;
    for (int32_t x = sp.left; x < sp.right; x++) {
      const float w = 1.0f / q;
      out[x] = texels[wrap(t * w) * ICUBE_TEXTURE + wrap(s * w)];
      s += sp.dsdx;
      t += sp.dtdx;
      q += sp.dqdx;
    }
  });
}
