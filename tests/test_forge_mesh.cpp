// The mesh builders: closed solids are watertight, consistently wound and
// face outward, with the volume and topology of their shape.
#include "forge_mesh.h"
#include "mesh_builders.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <utility>

namespace {
constexpr double pi = 3.14159265358979;

// Every directed edge appears once and its reverse once: closed, manifold and
// consistently wound.
bool closed_and_consistent(const forge_mesh& m, std::string* why) {
  std::map<std::pair<int32_t, int32_t>, int> edges;
  for (const forge_triangle& t : m.faces)
    for (int k = 0; k < 3; k++)
      edges[{t.v[k], t.v[(k + 1) % 3]}]++;
  for (const auto& [e, n] : edges) {
    if (n != 1) {
      *why =
          "edge " + std::to_string(e.first) + "-" + std::to_string(e.second) + " used " + std::to_string(n) + " times";
      return false;
    }
    if (!edges.count({e.second, e.first})) {
      *why = "edge " + std::to_string(e.first) + "-" + std::to_string(e.second) + " has no twin";
      return false;
    }
  }
  return true;
}

// V - E + F over the positions the faces use.
int euler(const forge_mesh& m) {
  std::set<std::pair<int32_t, int32_t>> edges;
  std::set<int32_t> used;
  for (const forge_triangle& t : m.faces)
    for (int k = 0; k < 3; k++) {
      const int32_t a = t.v[k], b = t.v[(k + 1) % 3];
      edges.insert({std::min(a, b), std::max(a, b)});
      used.insert(a);
    }
  return int(used.size()) - int(edges.size()) + int(m.faces.size());
}

// Signed volume: positive when the faces point outward.
double volume(const forge_mesh& m) {
  double v = 0;
  for (const forge_triangle& t : m.faces) {
    const forge_vec3 a = m.positions[size_t(t.v[0])], b = m.positions[size_t(t.v[1])], c = m.positions[size_t(t.v[2])];
    v += forge_vec3_dot(a, forge_vec3_cross(b, c)) / 6.0;
  }
  return v;
}

void expect_uv_in(const forge_mesh& m, float u_max) {
  for (const forge_triangle& t : m.faces)
    for (const forge_uv& uv : t.uv) {
      ASSERT_GE(uv.u, -1e-6f);
      ASSERT_LE(uv.u, u_max + 1e-6f);
      ASSERT_GE(uv.v, -1e-6f);
      ASSERT_LE(uv.v, 1 + 1e-6f);
    }
}

// No face's texture spans more than a fraction of the texture: seams are
// handled, not smeared across.
void expect_no_smeared_faces(const forge_mesh& m, float limit) {
  for (const forge_triangle& t : m.faces) {
    const float lo = std::min({t.uv[0].u, t.uv[1].u, t.uv[2].u}), hi = std::max({t.uv[0].u, t.uv[1].u, t.uv[2].u});
    ASSERT_LT(hi - lo, limit);
  }
}
} // namespace

TEST(ForgeMesh, TorusIsAClosedRingOfTheRightVolume) {
  forge_mesh m;
  ASSERT_EQ(forge_mesh_torus(&m, 3, 1, 48, 24), 1);
  ASSERT_TRUE(forge_mesh_valid(&m));
  EXPECT_EQ(m.faces.size(), 48u * 24u * 2u);
  std::string why;
  EXPECT_TRUE(closed_and_consistent(m, &why)) << why;
  EXPECT_EQ(euler(m), 0) << "genus one";
  EXPECT_NEAR(volume(m), 2 * pi * pi * 3 * 1, 2 * pi * pi * 3 * 0.02);
  expect_uv_in(m, 1);
  expect_no_smeared_faces(m, 0.1f);
  forge_vec3 lo, hi;
  ASSERT_EQ(forge_mesh_bounds(&m, &lo, &hi), 1);
  EXPECT_NEAR(hi.x, 4, 1e-4);
  EXPECT_NEAR(hi.y, 1, 0.01);
}

TEST(ForgeMesh, UvAndGeodesicSpheresAreClosedAndRound) {
  forge_mesh uv, geo;
  ASSERT_EQ(forge_mesh_uv_sphere(&uv, 2, 32, 16), 1);
  ASSERT_EQ(forge_mesh_geosphere(&geo, 2, 4), 1);
  for (const forge_mesh* m : {&uv, &geo}) {
    ASSERT_TRUE(forge_mesh_valid(m));
    std::string why;
    EXPECT_TRUE(closed_and_consistent(*m, &why)) << why;
    EXPECT_EQ(euler(*m), 2);
    EXPECT_NEAR(volume(*m), 4.0 / 3.0 * pi * 8, 4.0 / 3.0 * pi * 8 * 0.05);
    for (const forge_vec3& p : m->positions)
      ASSERT_NEAR(std::sqrt(forge_vec3_dot(p, p)), 2.0, 1e-4);
  }
  EXPECT_EQ(geo.faces.size(), 20u * 16u);
  EXPECT_EQ(geo.positions.size(), 10u * 16u + 2u) << "shared edges welded";
  expect_uv_in(uv, 1);
  expect_uv_in(geo, 1.5f); // u runs past 1 across the seam so the texture wraps
  expect_no_smeared_faces(uv, 0.1f);
  expect_no_smeared_faces(geo, 0.3f);
}

TEST(ForgeMesh, PerforatedSphereIsAClosedShellWithTunnels) {
  forge_mesh m;
  const int32_t slices = 12, stacks = 8;
  ASSERT_EQ(forge_mesh_sphere_holes(&m, 10, 1, slices, stacks), 1);
  ASSERT_TRUE(forge_mesh_valid(&m));
  std::string why;
  EXPECT_TRUE(closed_and_consistent(m, &why)) << why;
  int holes = 0;
  for (int32_t j = 1; j < stacks - 1; j++)
    for (int32_t i = 0; i < slices; i++)
      holes += (i + j) % 2 == 0;
  // Two spheres (outer and inner) joined by one tunnel per hole.
  EXPECT_EQ(euler(m), 4 - 2 * holes);
  const double shell = 4.0 / 3.0 * pi * (1000 - 729);
  EXPECT_GT(volume(m), shell * 0.85);
  EXPECT_LT(volume(m), shell);
  int inner = 0;
  for (const forge_triangle& t : m.faces)
    inner += t.surface == 1;
  EXPECT_GT(inner, 0);
  expect_uv_in(m, 1);
}

TEST(ForgeMesh, StarAndBoxAreClosedSolids) {
  forge_mesh star, box;
  ASSERT_EQ(forge_mesh_star(&star, 5, 10, 4, 2), 1);
  ASSERT_EQ(forge_mesh_box(&box, 2, 3, 4), 1);
  std::string why;
  EXPECT_TRUE(closed_and_consistent(star, &why)) << why;
  EXPECT_TRUE(closed_and_consistent(box, &why)) << why;
  EXPECT_EQ(euler(star), 2);
  EXPECT_EQ(euler(box), 2);
  EXPECT_NEAR(volume(box), 24, 1e-4);
  // The star: a double pyramid over the star polygon (area 5 * outer * inner * sin(pi / 5)).
  const double area = 5 * 10 * 4 * std::sin(pi / 5);
  EXPECT_NEAR(volume(star), 2 * area * 2 / 3.0, 1e-2);
  expect_uv_in(star, 1);
  expect_uv_in(box, 1);
}

TEST(ForgeMesh, PlateAndDiscAreFlatAndFaceTheViewer) {
  forge_mesh plate, disc, ring;
  ASSERT_EQ(forge_mesh_plate(&plate, 4, 2, 8, 4), 1);
  ASSERT_EQ(forge_mesh_disc(&disc, 3, 0, 24), 1);
  ASSERT_EQ(forge_mesh_disc(&ring, 3, 2, 24), 1);
  EXPECT_EQ(plate.faces.size(), 64u);
  EXPECT_EQ(disc.faces.size(), 24u);
  EXPECT_EQ(ring.faces.size(), 48u);
  for (const forge_mesh* m : {&plate, &disc, &ring}) {
    ASSERT_TRUE(forge_mesh_valid(m));
    double area = 0;
    for (const forge_triangle& t : m->faces) {
      const forge_vec3 n = forge_mesh_face_normal(m, &t);
      ASSERT_NEAR(n.z, 1, 1e-5);
      const forge_vec3 a = m->positions[size_t(t.v[0])];
      const forge_vec3 c = forge_vec3_cross(forge_vec3_sub(m->positions[size_t(t.v[1])], a),
                                            forge_vec3_sub(m->positions[size_t(t.v[2])], a));
      area += c.z / 2;
    }
    expect_uv_in(*m, 1);
    if (m == &plate)
      EXPECT_NEAR(area, 8, 1e-4);
    else if (m == &disc)
      EXPECT_NEAR(area, pi * 9, pi * 9 * 0.02);
    else
      EXPECT_NEAR(area, pi * 5, pi * 5 * 0.02);
  }
  // The plate's texture runs left to right and top to bottom.
  const forge_triangle& first = plate.faces[0];
  EXPECT_FLOAT_EQ(first.uv[0].u, 0);
  EXPECT_FLOAT_EQ(first.uv[0].v, 0);
  EXPECT_LT(plate.positions[size_t(first.v[0])].x, 0);
  EXPECT_GT(plate.positions[size_t(first.v[0])].y, 0);
}

TEST(ForgeMesh, ExtrusionsOfEitherWindingAreClosedAndOutward) {
  // An L shape (concave), given clockwise and counter-clockwise.
  std::vector<forge_uv> l = {{0, 0}, {4, 0}, {4, 1}, {1, 1}, {1, 3}, {0, 3}};
  for (bool reverse : {false, true}) {
    std::vector<forge_uv> outline = l;
    if (reverse)
      std::reverse(outline.begin(), outline.end());
    forge_mesh m;
    ASSERT_EQ(forge_mesh_extrude(&m, outline, 2), 1);
    std::string why;
    EXPECT_TRUE(closed_and_consistent(m, &why)) << why;
    EXPECT_EQ(euler(m), 2);
    EXPECT_NEAR(volume(m), 6 * 2, 1e-4) << "area 6 times depth 2";
    expect_uv_in(m, 1);
  }
  std::vector<int32_t> tris;
  ASSERT_EQ(forge_triangulate(l, &tris), 1);
  EXPECT_EQ(tris.size(), 3u * 4u);
  EXPECT_EQ(forge_triangulate({{0, 0}, {1, 1}}, &tris), 0);
  forge_mesh m;
  EXPECT_EQ(forge_mesh_extrude(&m, {{0, 0}, {1, 0}}, 1), 0);
  EXPECT_TRUE(m.faces.empty());
}

TEST(ForgeMesh, TransformsKeepFacesOutwardAndWeldMergesSeams) {
  forge_mesh box;
  ASSERT_EQ(forge_mesh_box(&box, 1, 1, 1), 1);
  forge_mesh_transform(&box, {2, -1, 1}, {0.3f, 0.5f, 0.7f}, {5, 0, 0});
  EXPECT_NEAR(volume(box), 2, 1e-3) << "a mirroring scale flips the faces back";
  forge_vec3 lo, hi;
  forge_mesh_bounds(&box, &lo, &hi);
  EXPECT_NEAR((lo.x + hi.x) / 2, 5, 1e-4);

  forge_mesh a, b;
  forge_mesh_box(&a, 1, 1, 1);
  forge_mesh_box(&b, 1, 1, 1);
  forge_mesh_transform(&b, {1, 1, 1}, {0, 0, 0}, {1, 0, 0});
  forge_mesh_append(&a, &b);
  EXPECT_EQ(a.positions.size(), 16u);
  forge_mesh_weld(&a, 1e-4f);
  EXPECT_EQ(a.positions.size(), 12u) << "the shared face's corners merge";
  EXPECT_TRUE(forge_mesh_valid(&a));
  std::vector<forge_vec3> normals;
  forge_mesh_vertex_normals(&box, &normals);
  EXPECT_EQ(normals.size(), box.positions.size());
  for (const forge_vec3& n : normals)
    EXPECT_NEAR(forge_vec3_dot(n, n), 1, 1e-4);
}

TEST(ForgeMesh, BuildersRefuseSizesAndCountsOutOfRange) {
  forge_mesh m;
  forge_mesh_box(&m, 1, 1, 1);
  EXPECT_EQ(forge_mesh_torus(&m, 1, 2, 10, 10), 0) << "tube wider than the ring";
  EXPECT_TRUE(m.faces.empty());
  EXPECT_EQ(forge_mesh_torus(&m, 3, 1, 2, 10), 0);
  EXPECT_EQ(forge_mesh_uv_sphere(&m, 0, 8, 8), 0);
  EXPECT_EQ(forge_mesh_uv_sphere(&m, 1, 8, 1), 0);
  EXPECT_EQ(forge_mesh_geosphere(&m, 1, 0), 0);
  EXPECT_EQ(forge_mesh_sphere_holes(&m, 1, 1, 8, 8), 0) << "as thick as the radius";
  EXPECT_EQ(forge_mesh_star(&m, 2, 2, 1, 1), 0);
  EXPECT_EQ(forge_mesh_star(&m, 5, 1, 2, 1), 0) << "inner beyond outer";
  EXPECT_EQ(forge_mesh_plate(&m, 1, 1, 0, 1), 0);
  EXPECT_EQ(forge_mesh_disc(&m, 1, 1, 8), 0);
  EXPECT_EQ(forge_mesh_box(&m, 1, 0, 1), 0);
  EXPECT_TRUE(m.positions.empty());
}
