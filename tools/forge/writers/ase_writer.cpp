#include "ase_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace {

// Double-precision quaternions for the orientation keys.
struct turn_quat {
  double w, x, y, z;
};

turn_quat quat_mul(const turn_quat& p, const turn_quat& q) {
  return {p.w * q.w - p.x * q.x - p.y * q.y - p.z * q.z, p.w * q.x + p.x * q.w + p.y * q.z - p.z * q.y,
          p.w * q.y + p.y * q.w + p.z * q.x - p.x * q.z, p.w * q.z + p.z * q.w + p.x * q.y - p.y * q.x};
}

turn_quat quat_of(double angle, double x, double y, double z) {
  const double n = std::sqrt(x * x + y * y + z * z);
  if (n == 0)
    return {1, 0, 0, 0};
  const double s = std::sin(angle / 2) / n;
  return {std::cos(angle / 2), s * x, s * y, s * z};
}

// The engine's view of a forge orientation: the axis mirrored in z, the turn
// reversed (a mirror reverses the sense of every turn).
turn_quat engine_turn(const ase_writer_turn& t) {
  return quat_of(-double(t.angle), t.axis.x, t.axis.y, -double(t.axis.z));
}

// A turn as the text stores it: the engine reads axis (x, z, y) of its own,
// angle unchanged.
struct text_turn {
  double x, y, z, angle;
};

text_turn text_of(turn_quat q) {
  if (q.w < 0)
    q = {-q.w, -q.x, -q.y, -q.z};
  const double n = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z);
  if (n < 1e-12)
    return {1, 0, 0, 0};
  const double angle = 2 * std::atan2(n, q.w);
  return {q.x / n, q.z / n, q.y / n, angle};
}

// The text's axes: (x, y, z) of the forge becomes (x, -z, y).
forge_vec3 to_text(forge_vec3 v) { return {v.x, -v.z, v.y}; }

std::string number(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.4f", v);
  if (std::string(buffer) == "-0.0000")
    return "0.0000";
  return buffer;
}

std::string triple(forge_vec3 v) { return number(v.x) + "\t" + number(v.y) + "\t" + number(v.z); }
std::string triple(double x, double y, double z) { return number(x) + "\t" + number(y) + "\t" + number(z); }

// Turns v about a unit-free axis by angle (right hand), forge axes.
forge_vec3 turn_point(const ase_writer_turn& t, forge_vec3 v) {
  const turn_quat q = quat_of(t.angle, t.axis.x, t.axis.y, t.axis.z);
  const turn_quat p = {0, v.x, v.y, v.z};
  const turn_quat c = {q.w, -q.x, -q.y, -q.z};
  const turn_quat r = quat_mul(quat_mul(q, p), c);
  return {float(r.x), float(r.y), float(r.z)};
}

bool quote_free(const std::string& s) { return s.find('"') == std::string::npos; }

void node_tm(std::string* o, const std::string& indent, const std::string& name, forge_vec3 position,
             const ase_writer_turn& turn) {
  const text_turn t = text_of(engine_turn(turn));
  const forge_vec3 rows[3] = {to_text(turn_point(turn, {1, 0, 0})), to_text(turn_point(turn, {0, 0, -1})),
                              to_text(turn_point(turn, {0, 1, 0}))};
  const forge_vec3 pos = to_text(position);
  *o += indent + "*NODE_TM {\n";
  *o += indent + "\t*NODE_NAME \"" + name + "\"\n";
  *o += indent + "\t*INHERIT_POS 0 0 0\n";
  *o += indent + "\t*INHERIT_ROT 0 0 0\n";
  *o += indent + "\t*INHERIT_SCL 0 0 0\n";
  for (int r = 0; r < 3; r++)
    *o += indent + "\t*TM_ROW" + std::to_string(r) + " " + triple(rows[r]) + "\n";
  *o += indent + "\t*TM_ROW3 " + triple(pos) + "\n";
  *o += indent + "\t*TM_POS " + triple(pos) + "\n";
  *o += indent + "\t*TM_ROTAXIS " + triple(t.x, t.y, t.z) + "\n";
  *o += indent + "\t*TM_ROTANGLE " + number(t.angle) + "\n";
  *o += indent + "\t*TM_SCALE 1.0000\t1.0000\t1.0000\n";
  *o += indent + "\t*TM_SCALEAXIS 0.0000\t0.0000\t0.0000\n";
  *o += indent + "\t*TM_SCALEAXISANG 0.0000\n";
  *o += indent + "}\n";
}

// camera_fix is applied before each orientation (the engine's cameras look
// along their own -y before turning).
void tracks(std::string* o, const std::string& name, const ase_writer_tracks& t, const turn_quat* camera_fix) {
  if (t.positions.empty() && t.rotations.empty())
    return;
  *o += "\t*TM_ANIMATION {\n\t\t*NODE_NAME \"" + name + "\"\n";
  if (!t.positions.empty()) {
    *o += "\t\t*CONTROL_POS_BEZIER {\n";
    for (const ase_writer_position_key& k : t.positions)
      *o += "\t\t\t*CONTROL_BEZIER_POS_KEY " + std::to_string(k.frame) + "\t" + triple(to_text(k.position)) +
            "\t0.0000\t0.0000\t0.0000\t0.0000\t0.0000\t0.0000\t0\n";
    *o += "\t\t}\n";
  }
  if (!t.rotations.empty()) {
    *o += "\t\t*CONTROL_ROT_TCB {\n";
    turn_quat before = {1, 0, 0, 0};
    for (const ase_writer_rotation_key& k : t.rotations) {
      turn_quat now = engine_turn(k.turn);
      if (camera_fix)
        now = quat_mul(now, *camera_fix);
      // The engine accumulates key after key: now = relative . before.
      const turn_quat inverse = {before.w, -before.x, -before.y, -before.z};
      const text_turn r = text_of(quat_mul(now, inverse));
      *o += "\t\t\t*CONTROL_TCB_ROT_KEY " + std::to_string(k.frame) + "\t" + triple(r.x, r.y, r.z) + "\t" +
            number(r.angle) + "\t0.0000\t0.0000\t0.0000\t0.0000\t0.0000\n";
      before = now;
    }
    *o += "\t\t}\n";
  }
  *o += "\t}\n";
}

// Edges between two faces of one plane are hidden, like the diagonal of a quad.
void edge_flags(const forge_mesh* m, std::vector<int32_t>* flags) {
  std::map<std::pair<int32_t, int32_t>, std::vector<size_t>> edges;
  for (size_t f = 0; f < m->faces.size(); f++)
    for (int k = 0; k < 3; k++) {
      const int32_t a = m->faces[f].v[k], b = m->faces[f].v[(k + 1) % 3];
      edges[{std::min(a, b), std::max(a, b)}].push_back(f);
    }
  flags->assign(m->faces.size(), 0);
  for (size_t f = 0; f < m->faces.size(); f++) {
    const forge_vec3 n = forge_mesh_face_normal(m, &m->faces[f]);
    for (int k = 0; k < 3; k++) {
      const int32_t a = m->faces[f].v[k], b = m->faces[f].v[(k + 1) % 3];
      bool visible = true;
      for (size_t g : edges[{std::min(a, b), std::max(a, b)}])
        if (g != f && forge_vec3_dot(n, forge_mesh_face_normal(m, &m->faces[g])) > 0.9999f)
          visible = false;
      if (visible)
        (*flags)[f] |= 1 << k;
    }
  }
}

void mesh_block(std::string* o, const ase_writer_object& obj) {
  const forge_mesh* m = obj.mesh;
  // Texture vertices: one per different corner coordinate pair.
  std::map<std::pair<float, float>, int32_t> tindex;
  std::vector<forge_uv> tverts;
  std::vector<int32_t> tfaces;
  for (const forge_triangle& t : m->faces)
    for (int k = 0; k < 3; k++) {
      const std::pair<float, float> key = {t.uv[k].u, t.uv[k].v};
      auto it = tindex.find(key);
      if (it == tindex.end()) {
        it = tindex.emplace(key, int32_t(tverts.size())).first;
        tverts.push_back(t.uv[k]);
      }
      tfaces.push_back(it->second);
    }
  std::vector<int32_t> flags;
  edge_flags(m, &flags);
  *o += "\t*MESH {\n\t\t*TIMEVALUE 0\n";
  *o += "\t\t*MESH_NUMVERTEX " + std::to_string(m->positions.size()) + "\n";
  *o += "\t\t*MESH_NUMFACES " + std::to_string(m->faces.size()) + "\n";
  *o += "\t\t*MESH_VERTEX_LIST {\n";
  for (size_t i = 0; i < m->positions.size(); i++) {
    forge_vec3 p = turn_point(obj.turn, m->positions[i]);
    p = {p.x + obj.position.x, p.y + obj.position.y, p.z + obj.position.z};
    *o += "\t\t\t*MESH_VERTEX " + std::to_string(i) + "\t" + triple(to_text(p)) + "\n";
  }
  *o += "\t\t}\n\t\t*MESH_FACE_LIST {\n";
  for (size_t f = 0; f < m->faces.size(); f++) {
    const forge_triangle& t = m->faces[f];
    char line[160];
    std::snprintf(line, sizeof line,
                  "\t\t\t*MESH_FACE %5zu:    A: %5d B: %5d C: %5d AB: %4d BC: %4d CA: %4d\t *MESH_SMOOTHING 1 \t"
                  "*MESH_MTLID 0\n",
                  f, t.v[0], t.v[1], t.v[2], flags[f] & 1, (flags[f] >> 1) & 1, (flags[f] >> 2) & 1);
    *o += line;
  }
  *o += "\t\t}\n";
  *o += "\t\t*MESH_NUMTVERTEX " + std::to_string(tverts.size()) + "\n\t\t*MESH_TVERTLIST {\n";
  for (size_t i = 0; i < tverts.size(); i++)
    *o += "\t\t\t*MESH_TVERT " + std::to_string(i) + "\t" + triple(tverts[i].u, tverts[i].v, 0) + "\n";
  *o += "\t\t}\n";
  *o += "\t\t*MESH_NUMTVFACES " + std::to_string(m->faces.size()) + "\n\t\t*MESH_TFACELIST {\n";
  for (size_t f = 0; f < m->faces.size(); f++)
    *o += "\t\t\t*MESH_TFACE " + std::to_string(f) + "\t" + std::to_string(tfaces[3 * f]) + "\t" +
          std::to_string(tfaces[3 * f + 1]) + "\t" + std::to_string(tfaces[3 * f + 2]) + "\n";
  *o += "\t\t}\n\t}\n";
}

} // namespace

int write_ase(const ase_writer_scene* s, std::string* out) {
  if (!quote_free(s->file_name))
    return 0;
  for (const ase_writer_material& m : s->materials)
    if (!quote_free(m.name) || !quote_free(m.bitmap))
      return 0;
  for (const ase_writer_object& obj : s->objects)
    if (!obj.mesh || !forge_mesh_valid(obj.mesh) || obj.material < 0 || size_t(obj.material) >= s->materials.size() ||
        !quote_free(obj.name))
      return 0;
  for (const ase_writer_camera& c : s->cameras)
    if (!quote_free(c.name))
      return 0;

  std::string o = "*3DSMAX_ASCIIEXPORT\t200\n*COMMENT \"AsciiExport Version  2,00 - written by forge\"\n";
  o += "*SCENE {\n\t*SCENE_FILENAME \"" + s->file_name + "\"\n";
  o += "\t*SCENE_FIRSTFRAME " + std::to_string(s->first_frame) + "\n";
  o += "\t*SCENE_LASTFRAME " + std::to_string(s->last_frame) + "\n";
  o += "\t*SCENE_FRAMESPEED " + std::to_string(s->frame_speed) + "\n";
  o += "\t*SCENE_TICKSPERFRAME " + std::to_string(s->ticks_per_frame) + "\n";
  o += "\t*SCENE_BACKGROUND_STATIC 0.0000\t0.0000\t0.0000\n\t*SCENE_AMBIENT_STATIC 0.0000\t0.0000\t0.0000\n}\n";

  o += "*MATERIAL_LIST {\n\t*MATERIAL_COUNT " + std::to_string(s->materials.size()) + "\n";
  for (size_t i = 0; i < s->materials.size(); i++) {
    const ase_writer_material& m = s->materials[i];
    o += "\t*MATERIAL " + std::to_string(i) + " {\n";
    o += "\t\t*MATERIAL_NAME \"" + m.name + "\"\n\t\t*MATERIAL_CLASS \"Standard\"\n";
    o += "\t\t*MATERIAL_DIFFUSE 0.8000\t0.8000\t0.8000\n";
    o += "\t\t*MAP_DIFFUSE {\n\t\t\t*MAP_NAME \"" + m.name + " map\"\n\t\t\t*MAP_CLASS \"Bitmap\"\n";
    o += "\t\t\t*MAP_AMOUNT 1.0000\n\t\t\t*BITMAP \"" + m.bitmap + "\"\n";
    o += "\t\t\t*UVW_U_OFFSET 0.0000\n\t\t\t*UVW_V_OFFSET 0.0000\n";
    o += "\t\t\t*UVW_ANGLE " + number(m.uvw_angle) + "\n\t\t}\n\t}\n";
  }
  o += "}\n";

  for (const ase_writer_object& obj : s->objects) {
    o += "*GEOMOBJECT {\n\t*NODE_NAME \"" + obj.name + "\"\n";
    node_tm(&o, "\t", obj.name, obj.position, obj.turn);
    mesh_block(&o, obj);
    o += "\t*PROP_MOTIONBLUR 0\n\t*PROP_CASTSHADOW 1\n\t*PROP_RECVSHADOW 1\n";
    tracks(&o, obj.name, obj.tracks, nullptr);
    o += "\t*MATERIAL_REF " + std::to_string(obj.material) + "\n}\n";
  }

  // The engine's camera looks along its -y: turned a quarter about x, it
  // looks along -z as the forge's cameras do.
  const turn_quat camera_fix = quat_of(-1.5707963267948966, 1, 0, 0);
  for (const ase_writer_camera& c : s->cameras) {
    o += "*CAMERAOBJECT {\n\t*NODE_NAME \"" + c.name + "\"\n\t*CAMERA_TYPE Free\n";
    node_tm(&o, "\t", c.name, c.position, c.turn);
    o += "\t*CAMERA_SETTINGS {\n\t\t*TIMEVALUE 0\n\t\t*CAMERA_NEAR 0.0000\n\t\t*CAMERA_FAR 1000.0000\n";
    o += "\t\t*CAMERA_FOV " + number(c.fov) + "\n\t\t*CAMERA_TDIST 160.0000\n\t}\n";
    ase_writer_tracks t = c.tracks;
    // Without keys the engine would not turn the camera at all: one key holds its turn.
    if (t.rotations.empty())
      t.rotations.push_back({0, c.turn});
    if (t.positions.empty())
      t.positions.push_back({0, c.position});
    tracks(&o, c.name, t, &camera_fix);
    o += "}\n";
  }
  *out = std::move(o);
  return 1;
}
