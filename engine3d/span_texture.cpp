// Inner span loops of the 256x256 wrapping texture routines.
#include "drawers.h"

// The texel index takes v's integer byte as its high byte and u's as its low
// byte. Stepping is done unsigned, so that long spans wrap instead of overflowing.
void span_texture(int32_t count, int32_t start, int32_t u, int32_t v, int32_t du, int32_t dv, const uint32_t* texels,
                  uint32_t* target) {
  uint32_t uu = uint32_t(u), vv = uint32_t(v);
  const uint32_t su = uint32_t(du), sv = uint32_t(dv);
  uint32_t* out = target + start;
  for (int32_t i = 0; i < count; i++) {
    out[i] = texels[((vv >> 8) & 0xFF00u) | ((uu >> 16) & 0xFFu)];
    uu += su;
    vv += sv;
  }
}

void span_texture_z(int32_t count, int32_t start, int32_t u, int32_t v, int32_t du, int32_t dv, int32_t z, int32_t dz,
                    int32_t* depth, const uint32_t* texels, uint32_t* target) {
  (void)dz;
  const int32_t zi = z >> 16;
  uint32_t uu = uint32_t(u), vv = uint32_t(v);
  const uint32_t su = uint32_t(du), sv = uint32_t(dv);
  uint32_t* out = target + start;
  int32_t* d = depth + start;
  for (int32_t i = 0; i < count; i++) {
    if (zi <= d[i]) {
      d[i] = zi;
      out[i] = texels[((vv >> 8) & 0xFF00u) | ((uu >> 16) & 0xFFu)];
    }
    uu += su;
    vv += sv;
  }
}
