// The tunnel's generated world: a tube that never crosses itself nor bends
// tighter than it is wide, texture coordinates the perspective drawer can
// use, a camera flying inside it for the whole flight, and files that are the
// same on every run and small enough to load quickly.
#include "forge_plan.h"
#include "tunnel/tunnel_world.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {
float distance(forge_vec3 a, forge_vec3 b) {
  const forge_vec3 d = forge_vec3_sub(a, b);
  return std::sqrt(forge_vec3_dot(d, d));
}

float outer_radius(float s) {
  float r = 0;
  for (int k = 0; k < 64; k++)
    r = std::max(r, tunnel_wall_radius(s, 6.2831853f * float(k) / 64));
  return r;
}

const std::vector<tunnel_frame>& rings() {
  static std::vector<tunnel_frame> r;
  if (r.empty())
    tunnel_centre_line(&r);
  return r;
}
} // namespace

TEST(TunnelWorld, TheTubeNeverCrossesItself) {
  const std::vector<tunnel_frame>& r = rings();
  ASSERT_GT(r.size(), 100u);
  EXPECT_FLOAT_EQ(r.front().s, -TUNNEL_BEHIND);
  EXPECT_NEAR(r.back().s, TUNNEL_LENGTH, 1e-2);
  for (size_t i = 0; i < r.size(); i += 2)
    for (size_t j = i + 1; j < r.size(); j += 2) {
      // Rings far apart along the line must be apart in space too.
      const float along = r[j].s - r[i].s;
      const float reach = outer_radius(r[i].s) + outer_radius(r[j].s);
      if (along < reach + 60)
        continue;
      ASSERT_GT(distance(r[i].centre, r[j].centre), reach) << "rings at " << r[i].s << " and " << r[j].s;
    }
}

TEST(TunnelWorld, TheLineBendsGentlerThanTheTubeIsWide) {
  const std::vector<tunnel_frame>& r = rings();
  for (size_t i = 1; i + 1 < r.size(); i++) {
    const forge_vec3 a = forge_vec3_normalise(forge_vec3_sub(r[i].centre, r[i - 1].centre));
    const forge_vec3 b = forge_vec3_normalise(forge_vec3_sub(r[i + 1].centre, r[i].centre));
    const float angle = std::acos(std::clamp(forge_vec3_dot(a, b), -1.0f, 1.0f));
    if (angle < 1e-5f)
      continue;
    const float bend = TUNNEL_RING_STEP / angle; // radius of the bend
    ASSERT_GT(bend, 1.5f * outer_radius(r[i].s)) << "at " << r[i].s;
  }
  // Frames stay orthonormal along the whole line.
  for (const tunnel_frame& f : r) {
    ASSERT_NEAR(forge_vec3_dot(f.dir, f.dir), 1, 1e-4);
    ASSERT_NEAR(forge_vec3_dot(f.up, f.up), 1, 1e-4);
    ASSERT_NEAR(forge_vec3_dot(f.dir, f.up), 0, 1e-4);
  }
}

TEST(TunnelWorld, TheCameraFliesInsideTheTubeForTheWholeFlight) {
  tunnel_world w;
  ASSERT_EQ(tunnel_build_world(&w), 1);
  ASSERT_EQ(w.scene.cameras.size(), 1u);
  const ase_writer_tracks& t = w.scene.cameras[0].tracks;
  ASSERT_EQ(t.positions.size(), t.rotations.size());
  // One key before the start and keys past the end: the splines run from the
  // second key to the last but one.
  ASSERT_GE(t.positions.size(), 4u);
  EXPECT_LT(t.positions[0].frame, TUNNEL_START_TIME);
  EXPECT_LE(t.positions[1].frame, TUNNEL_START_TIME);
  EXPECT_GE(t.positions[t.positions.size() - 2].frame, TUNNEL_END_TIME);
  const std::vector<tunnel_frame>& r = rings();
  for (size_t k = 0; k < t.positions.size(); k++) {
    ASSERT_EQ(t.rotations[k].frame, t.positions[k].frame);
    if (k > 0) {
      ASSERT_GT(t.positions[k].frame, t.positions[k - 1].frame);
    }
    // The nearest ring centre, and the wall around it.
    const forge_vec3 p = t.positions[k].position;
    size_t best = 0;
    for (size_t i = 1; i < r.size(); i++)
      if (distance(p, r[i].centre) < distance(p, r[best].centre))
        best = i;
    EXPECT_LT(distance(p, r[best].centre), 0.5f * tunnel_inner_radius(r[best].s)) << "key " << k;
    EXPECT_LT(r[best].s, TUNNEL_LENGTH - 60) << "the camera stays short of the cap";
  }
  // It moves forward: the time of every key puts it further along.
  EXPECT_LT(tunnel_camera_s(TUNNEL_START_TIME), 1.0f);
  EXPECT_GT(tunnel_camera_s(TUNNEL_END_TIME), TUNNEL_LENGTH * 0.9f);
}

TEST(TunnelWorld, TextureCoordinatesStayOnThePictures) {
  tunnel_world w;
  ASSERT_EQ(tunnel_build_world(&w), 1);
  size_t faces = 0;
  for (const forge_mesh& m : w.meshes) {
    ASSERT_TRUE(forge_mesh_valid(&m));
    ASSERT_FALSE(m.faces.empty());
    faces += m.faces.size();
    for (const forge_triangle& t : m.faces)
      for (const forge_uv& uv : t.uv) {
        ASSERT_GE(uv.u, 0.0f);
        ASSERT_LE(uv.u, 1.0f);
        ASSERT_GE(uv.v, 0.0f);
        ASSERT_LE(uv.v, 1.0f);
      }
  }
  // Enough to look like a world, few enough for a frame in well under 2 ms.
  EXPECT_GT(faces, 2000u);
  EXPECT_LT(faces, 6000u);
}

TEST(TunnelWorld, TheGeneratorMakesTheSameSmallFilesEveryTime) {
  std::vector<forge_file> runs[2];
  for (std::vector<forge_file>& files : runs) {
    forge_plan plan;
    int32_t count = 0;
    const forge_generator* gens = forge_generators(&count);
    for (int32_t i = 0; i < count; i++)
      if (std::string(gens[i].name) == "3dscene")
        gens[i].add(&plan);
    ASSERT_FALSE(plan.jobs.empty());
    std::string error;
    ASSERT_EQ(forge_run(&plan, 2, &files, &error), 1) << error;
  }
  ASSERT_EQ(runs[0].size(), runs[1].size());
  std::set<std::string> names;
  const forge_file* scene = nullptr;
  for (size_t i = 0; i < runs[0].size(); i++) {
    EXPECT_EQ(runs[0][i].name, runs[1][i].name);
    EXPECT_TRUE(runs[0][i].bytes == runs[1][i].bytes) << runs[0][i].name;
    names.insert(runs[0][i].name);
    if (runs[0][i].name == "data/3dscene/finaljpg.ase")
      scene = &runs[0][i];
  }
  ASSERT_NE(scene, nullptr);
  EXPECT_LT(scene->bytes.size(), 1000000u) << "a scene that loads quickly";
  // Every picture a material names is made.
  const std::string text(scene->bytes.begin(), scene->bytes.end());
  int bitmaps = 0;
  for (size_t at = text.find("*BITMAP \""); at != std::string::npos; at = text.find("*BITMAP \"", at + 1)) {
    const size_t open = at + 9, close = text.find('"', open);
    std::string path = text.substr(open, close - open);
    path = path.substr(path.find_last_of("\\/") + 1);
    EXPECT_TRUE(names.count("data/3dscene/" + path)) << path;
    bitmaps++;
  }
  EXPECT_EQ(bitmaps, TUNNEL_MATERIALS);
}
