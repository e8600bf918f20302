#include "lwo_writer.h"

#include <cstring>
#include <set>

namespace {

struct be_bytes {
  std::vector<uint8_t> b;
  void u8(uint32_t v) { b.push_back(uint8_t(v)); }
  void u16(uint32_t v) {
    u8(v >> 8);
    u8(v);
  }
  void u32(uint32_t v) {
    u16(v >> 16);
    u16(v & 0xFFFF);
  }
  void f32(float v) {
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    u32(bits);
  }
  void id(const char* four) {
    for (int i = 0; i < 4; i++)
      u8(uint8_t(four[i]));
  }
  // The string with its terminator, padded with a zero to even length.
  void name(const std::string& s) {
    b.insert(b.end(), s.begin(), s.end());
    u8(0);
    if ((s.size() + 1) % 2)
      u8(0);
  }
  void append(const std::vector<uint8_t>& more) { b.insert(b.end(), more.begin(), more.end()); }
};

void chunk(be_bytes* out, const char* id, const be_bytes& data) {
  out->id(id);
  out->u32(uint32_t(data.b.size()));
  out->append(data.b);
}

void sub_chunk(be_bytes* out, const char* id, const be_bytes& data) {
  out->id(id);
  out->u16(uint32_t(data.b.size()));
  out->append(data.b);
}

// LightWave's axes: z negated.
forge_vec3 to_lightwave(forge_vec3 v) { return {v.x, v.y, -v.z}; }

be_bytes surface_chunk(const lwo_writer_surface& s) {
  be_bytes d;
  d.name(s.name);
  be_bytes colour;
  colour.u8(s.colour[0]);
  colour.u8(s.colour[1]);
  colour.u8(s.colour[2]);
  colour.u8(0);
  sub_chunk(&d, "COLR", colour);
  if (s.flags) {
    be_bytes f;
    f.u16(s.flags);
    sub_chunk(&d, "FLAG", f);
  }
  if (s.textured) {
    const lwo_writer_texture& t = s.texture;
    be_bytes ctex, timg, tflg, tsiz, tctr;
    ctex.name(t.mapping);
    sub_chunk(&d, "CTEX", ctex);
    timg.name(t.image);
    sub_chunk(&d, "TIMG", timg);
    tflg.u16(t.axis == 0 ? 1 : t.axis == 2 ? 4 : 2);
    sub_chunk(&d, "TFLG", tflg);
    // Sizes are lengths: no sign to change.
    tsiz.f32(t.size.x);
    tsiz.f32(t.size.y);
    tsiz.f32(t.size.z);
    sub_chunk(&d, "TSIZ", tsiz);
    const forge_vec3 c = to_lightwave(t.center);
    tctr.f32(c.x);
    tctr.f32(c.y);
    tctr.f32(c.z);
    sub_chunk(&d, "TCTR", tctr);
  }
  if (!s.reflection.empty()) {
    be_bytes rimg;
    rimg.name(s.reflection);
    sub_chunk(&d, "RIMG", rimg);
  }
  return d;
}

} // namespace

int write_lwo(const forge_mesh* m, const std::vector<lwo_writer_surface>& surfaces, std::vector<uint8_t>* out) {
  if (!forge_mesh_valid(m) || m->positions.size() > size_t(LWO_WRITER_MAX_POINTS) ||
      m->faces.size() > size_t(LWO_WRITER_MAX_POLYGONS) || surfaces.empty() || surfaces.size() > 0x7FFF)
    return 0;
  std::set<std::string> names;
  for (const lwo_writer_surface& s : surfaces)
    if (s.name.empty() || !names.insert(s.name).second || s.name.find('\0') != std::string::npos)
      return 0;
  for (const forge_triangle& t : m->faces)
    if (t.surface < 0 || size_t(t.surface) >= surfaces.size())
      return 0;

  be_bytes body;
  body.id("LWOB");
  be_bytes points;
  for (const forge_vec3& p : m->positions) {
    const forge_vec3 q = to_lightwave(p);
    points.f32(q.x);
    points.f32(q.y);
    points.f32(q.z);
  }
  chunk(&body, "PNTS", points);
  be_bytes srfs;
  for (const lwo_writer_surface& s : surfaces)
    srfs.name(s.name);
  chunk(&body, "SRFS", srfs);
  be_bytes pols;
  for (const forge_triangle& t : m->faces) {
    // The mirror reverses the turn of every face: corners first, third, second.
    pols.u16(3);
    pols.u16(uint32_t(t.v[0]));
    pols.u16(uint32_t(t.v[2]));
    pols.u16(uint32_t(t.v[1]));
    pols.u16(uint32_t(t.surface + 1));
  }
  chunk(&body, "POLS", pols);
  for (const lwo_writer_surface& s : surfaces)
    chunk(&body, "SURF", surface_chunk(s));

  be_bytes file;
  file.id("FORM");
  file.u32(uint32_t(body.b.size()));
  file.append(body.b);
  *out = std::move(file.b);
  return 1;
}
