// The mirror engine's loaders and records: 3D Studio ASCII objects, the
// object helpers, 24-bit PCX pictures, its pictures and scene record, and
// broken and truncated files.
#include "asc_writer.h"
#include "mesh_builders.h"
#include "mirror_scene.h"
#include "picture_fixtures.h"
#include "reader_checks.h"
#include "testkit.h"
#include "vfs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace {
struct asc_deleter {
  void operator()(asc_object* o) const { asc_free(o); }
};
using asc_ptr = std::unique_ptr<asc_object, asc_deleter>;
struct rgb_deleter {
  void operator()(rgb_image* i) const { rgb_image_free(i); }
};
using rgb_ptr = std::unique_ptr<rgb_image, rgb_deleter>;

struct mirror_files : ::testing::Test {
  testkit_tempdir dir{true};
  void SetUp() override { vfs_device_enable(&stdio_device, 0); }

  asc_ptr load_text(const std::string& text, int32_t mode = ASC_MODE_TEXTURE, const char* phong = nullptr,
                    const char* height = nullptr) {
    testkit_write_text("t.asc", text);
    return asc_ptr(asc_load("t.asc", phong, height, mode));
  }
  rgb_ptr load_pcx(const fixture_bytes& bytes, const char* name = "t.pcx") {
    testkit_write_file(name, bytes);
    return rgb_ptr(pcx24_load(name));
  }
};

const char* const mapped_triangle = "Ambient light color: Red=0.3 Green=0.3 Blue=0.3\n"
                                    "\n"
                                    "Named object: \"Shard\"\n"
                                    "Tri-mesh, Vertices: 3     Faces: 1\n"
                                    "Mapped\n"
                                    "Vertex list:\n"
                                    "Vertex 0:  X:1.0  Y:2.0  Z:3.0  U:0.5  V:1.5\n"
                                    "Vertex 1:  X:-1  Y:0  Z:0  U:-2 V:0.25\n"
                                    "Vertex 2:  X:0 Y:0 Z:1\n"
                                    "Face list:\n"
                                    "Face 0:    A:0 B:2 C:1 AB:1 BC:1 CA:1\n"
                                    "Smoothing:  1\n";

// A header of a 24-bit PCX file of w x h, then the run-length data as given.
fixture_bytes pcx24_file(int w, int h, const fixture_bytes& data, int planes = 3) {
  fixture_bytes f(128 + data.size(), 0);
  std::copy(data.begin(), data.end(), f.begin() + 128);
  f[0] = 10;
  f[1] = 5;
  f[2] = 1;
  f[3] = 8;
  f[8] = uint8_t(w - 1);
  f[9] = uint8_t((w - 1) >> 8);
  f[10] = uint8_t(h - 1);
  f[11] = uint8_t((h - 1) >> 8);
  f[65] = uint8_t(planes);
  f[66] = uint8_t(w);
  return f;
}
} // namespace

TEST_F(mirror_files, AscReadsTheFirstObjectWithItsAxesSwappedAndCoordinatesLimited) {
  asc_ptr o = load_text(mapped_triangle);
  ASSERT_NE(o, nullptr) << asc_error_text();
  EXPECT_STREQ(o->name, "Shard");
  ASSERT_EQ(o->vertex_count, 3);
  ASSERT_EQ(o->face_count, 1);
  // The file's vertical Z is the engine's y.
  EXPECT_EQ(o->vertices[0].x, 1.0);
  EXPECT_EQ(o->vertices[0].y, 3.0);
  EXPECT_EQ(o->vertices[0].z, 2.0);
  EXPECT_EQ(o->vertices[0].u, 0.5f);
  EXPECT_EQ(o->vertices[0].v, 0.99f);
  EXPECT_EQ(o->vertices[1].u, 0.01f);
  EXPECT_EQ(o->vertices[1].v, 0.25f);
  EXPECT_EQ(o->vertices[2].u, 0.01f) << "missing coordinates read as 0, then limited";
  EXPECT_EQ(o->vertices[2].y, 1.0);
  EXPECT_EQ(o->faces[0].ia, 0);
  EXPECT_EQ(o->faces[0].ib, 2);
  EXPECT_EQ(o->faces[0].ic, 1);
  EXPECT_EQ(o->mode, ASC_MODE_TEXTURE);
  EXPECT_EQ(o->object_type, ASC_OBJECT_PLAIN);
  EXPECT_EQ(o->visible, 1);
  EXPECT_EQ(o->faces_visible, 1);
  EXPECT_EQ(o->orientation[0], 1.0f);
  EXPECT_EQ(o->orientation[4], 1.0f);
  EXPECT_EQ(o->orientation[1], 0.0f);
  EXPECT_EQ(o->phong, nullptr);

  // Texel modes keep 0 to 255.
  o = load_text(mapped_triangle, '$');
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->vertices[0].u, 127.5f);
  EXPECT_EQ(o->vertices[0].v, 255.0f);
  EXPECT_EQ(o->vertices[1].u, 0.0f);

  // Without "Mapped" the coordinates stay 0; a second object is ignored.
  std::string unmapped = mapped_triangle;
  unmapped.erase(unmapped.find("Mapped\n"), 7);
  unmapped += "Named object: \"Other\"\nTri-mesh, Vertices: 1     Faces: 0\n";
  o = load_text(unmapped);
  ASSERT_NE(o, nullptr);
  EXPECT_STREQ(o->name, "Shard");
  EXPECT_EQ(o->vertex_count, 3);
  EXPECT_EQ(o->vertices[0].u, 0.0f);
  EXPECT_EQ(o->vertices[0].v, 0.0f);
}

TEST_F(mirror_files, AscRefusesWhatTheFileCannotHold) {
  struct bad {
    const char* what;
    std::string text;
    int32_t code;
  };
  const std::string head = "Named object: \"x\"\n";
  const bad cases[] = {
      {"no object", "Tri-mesh, Vertices: 3     Faces: 1\n", ASC_ERROR_FORMAT},
      {"no mesh", head, ASC_ERROR_FORMAT},
      {"counts beyond the file", head + "Tri-mesh, Vertices: 90000000     Faces: 1\nVertex list:\n", ASC_ERROR_FORMAT},
      {"negative count", head + "Tri-mesh, Vertices: -3     Faces: 1\n", ASC_ERROR_FORMAT},
      {"truncated vertices", head + "Tri-mesh, Vertices: 3     Faces: 1\nVertex list:\nVertex 0: X:1 Y:1 Z:1\n",
       ASC_ERROR_FORMAT},
      {"truncated faces",
       head +
           "Tri-mesh, Vertices: 1     Faces: 2\nVertex list:\nVertex 0: X:1 Y:1 Z:1\nFace list:\nFace 0: A:0 B:0 C:0\n",
       ASC_ERROR_FORMAT},
      {"index beyond the vertices",
       head +
           "Tri-mesh, Vertices: 1     Faces: 1\nVertex list:\nVertex 0: X:1 Y:1 Z:1\nFace list:\nFace 0: A:0 B:1 C:0\n",
       ASC_ERROR_FORMAT},
      {"negative index",
       head + "Tri-mesh, Vertices: 1     Faces: 1\nVertex list:\nVertex 0: X:1 Y:1 Z:1\nFace list:\nFace 0: A:-1 B:0 "
              "C:0\n",
       ASC_ERROR_FORMAT},
      {"infinite coordinate", head + "Tri-mesh, Vertices: 1     Faces: 0\nVertex list:\nVertex 0: X:1e999 Y:1 Z:1\n",
       ASC_ERROR_FORMAT},
  };
  for (const bad& b : cases) {
    asc_error = ASC_ERROR_NONE;
    EXPECT_EQ(load_text(b.text), nullptr) << b.what;
    EXPECT_EQ(asc_error, b.code) << b.what;
  }
  asc_error = ASC_ERROR_NONE;
  EXPECT_EQ(asc_load("missing.asc", nullptr, nullptr, ASC_MODE_TEXTURE), nullptr);
  EXPECT_EQ(asc_error, ASC_ERROR_OPEN);
  EXPECT_STREQ(asc_error_text(), "[ASC Loader]: Unable to open file.");
  EXPECT_EQ(asc_error, ASC_ERROR_OPEN) << "reading the text keeps the code";
  // The lighting table must be there and whole.
  EXPECT_EQ(load_text(mapped_triangle, ASC_MODE_ENVIRONMENT, "missing.bin"), nullptr);
  EXPECT_EQ(asc_error, ASC_ERROR_OPEN);
  testkit_write_file("short.bin", std::vector<uint8_t>(65535, 1));
  EXPECT_EQ(load_text(mapped_triangle, ASC_MODE_ENVIRONMENT, "short.bin"), nullptr);
  EXPECT_EQ(asc_error, ASC_ERROR_FORMAT);
  EXPECT_STREQ(asc_error_text(), "[ASC Loader]: Other (undeterminant) error.");

  // Every prefix of a good file is refused or read whole, never more.
  const std::string good = mapped_triangle;
  for (size_t n = 0; n < good.size(); n += 7) {
    asc_ptr o = load_text(good.substr(0, n));
    if (o) {
      EXPECT_EQ(o->face_count, 1);
    }
  }
  // A name longer than 50 characters is cut there.
  asc_ptr named = load_text("Named object: \"" + std::string(80, 'n') + "\"\n" +
                            std::string(mapped_triangle).substr(std::string(mapped_triangle).find("Tri-mesh")));
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(std::string(named->name), std::string(50, 'n'));
}

TEST_F(mirror_files, AscTablesBecomeLightingAndSlopes) {
  std::vector<uint8_t> phong(65536), across(65536), down(65536);
  for (int i = 0; i < 65536; i++) {
    phong[size_t(i)] = uint8_t(i);
    across[size_t(i)] = uint8_t(2 * (i % 256) + 1); // halved: x
    down[size_t(i)] = uint8_t(2 * (i / 256));       // halved: y
  }
  testkit_write_file("phong.bin", phong);
  testkit_write_file("across.bin", across);
  testkit_write_file("down.bin", down);
  asc_ptr o = load_text(mapped_triangle, ASC_MODE_ENVIRONMENT, "phong.bin", "across.bin");
  ASSERT_NE(o, nullptr);
  ASSERT_NE(o->phong, nullptr);
  EXPECT_EQ(o->phong[0], -128);
  EXPECT_EQ(o->phong[255], 3 * 255 - 128);
  EXPECT_EQ(o->phong[300], 3 * 44 - 128);
  // A slope of 2 between the neighbours, biased by 128 with 8-bit wrap.
  EXPECT_EQ(o->bump_dx[5 * 256 + 7], uint8_t(2 - 128));
  EXPECT_EQ(o->bump_dx[5 * 256 + 0], 128) << "first column";
  EXPECT_EQ(o->bump_dx[5 * 256 + 255], 128) << "last column";
  EXPECT_EQ(o->bump_dy[5 * 256 + 7], 128) << "flat down the columns";
  o = load_text(mapped_triangle, ASC_MODE_ENVIRONMENT, nullptr, "down.bin");
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->phong, nullptr);
  EXPECT_EQ(o->bump_dy[9 * 256 + 3], uint8_t(2 - 128));
  EXPECT_EQ(o->bump_dy[3], 128) << "first row";
  EXPECT_EQ(o->bump_dy[255 * 256 + 3], 128) << "last row";
  EXPECT_EQ(o->bump_dx[9 * 256 + 3], 128);
}

TEST_F(mirror_files, CentringScalingAndNormals) {
  // Four vertices (engine coordinates after the swap): a right triangle in
  // the xy plane, and a vertex no face uses; one degenerate face.
  asc_ptr o = load_text("Named object: \"n\"\nTri-mesh, Vertices: 4     Faces: 2\nVertex list:\n"
                        "Vertex 0: X:2 Y:4 Z:1\nVertex 1: X:3 Y:4 Z:1\nVertex 2: X:2 Y:4 Z:2\n"
                        "Vertex 3: X:4 Y:6 Z:3\nFace list:\nFace 0: A:0 B:1 C:2\nFace 1: A:1 B:1 C:2\n");
  ASSERT_NE(o, nullptr);
  asc_center(o.get());
  // The box spans x 2..4, y 1..3, z 4..6.
  EXPECT_EQ(o->vertices[0].x, -1.0);
  EXPECT_EQ(o->vertices[0].y, -1.0);
  EXPECT_EQ(o->vertices[0].z, -1.0);
  EXPECT_EQ(o->vertices[3].x, 1.0);
  asc_scale_to_radius(o.get(), 300);
  // The farthest vertices lie at sqrt(3): every coordinate grows by 300 / sqrt(3).
  EXPECT_NEAR(o->vertices[3].x, 300 / std::sqrt(3.0), 1e-9);
  asc_bounding_radius(o.get());
  EXPECT_NEAR(o->radius, 300.0f, 1e-3);
  asc_compute_normals(o.get());
  // (P - Q) x (P - R) with P = v0, Q = v1 (+x), R = v2 (+y): +z.
  EXPECT_NEAR(o->faces[0].nz, 1.0, 1e-12);
  EXPECT_NEAR(o->faces[0].nx, 0.0, 1e-12);
  EXPECT_EQ(o->faces[1].nx, 0.0);
  EXPECT_EQ(o->faces[1].ny, 0.0);
  EXPECT_EQ(o->faces[1].nz, 0.0) << "a degenerate face keeps a zero normal";
  EXPECT_NEAR(o->vertices[0].nz, 1.0, 1e-12);
  EXPECT_EQ(o->vertices[0].cnz, double(float(o->vertices[0].nz)));
  EXPECT_EQ(o->vertices[3].nx, 0.0);
  EXPECT_EQ(o->vertices[3].nz, 0.0) << "a vertex no face uses keeps a zero normal";

  // A scale to 300 of an object whose farthest vertex lies at 2: times 150.
  o = load_text("Named object: \"s\"\nTri-mesh, Vertices: 2     Faces: 0\nVertex list:\n"
                "Vertex 0: X:2 Y:0 Z:0\nVertex 1: X:0 Y:0 Z:1\nFace list:\n");
  ASSERT_NE(o, nullptr);
  asc_scale_to_radius(o.get(), 300);
  EXPECT_EQ(o->vertices[0].x, 300.0);
  EXPECT_EQ(o->vertices[1].y, 150.0);
  // An object shrunk to a point is left alone.
  o = load_text(
      "Named object: \"p\"\nTri-mesh, Vertices: 1     Faces: 0\nVertex list:\nVertex 0: X:0 Y:0 Z:0\nFace list:\n");
  ASSERT_NE(o, nullptr);
  asc_scale_to_radius(o.get(), 300);
  EXPECT_EQ(o->vertices[0].x, 0.0);
}

TEST_F(mirror_files, TheForgeWriterRoundTripsThroughTheReader) {
  forge_mesh m;
  ASSERT_EQ(forge_mesh_plate(&m, 2, 1, 2, 1), 1);
  m.positions[0].z = 0.25f;
  for (bool mapped : {false, true}) {
    std::string text;
    ASSERT_EQ(write_asc(&m, "Plate", mapped, &text), 1);
    asc_ptr o = load_text(text);
    ASSERT_NE(o, nullptr) << asc_error_text();
    EXPECT_STREQ(o->name, "Plate");
    ASSERT_EQ(o->face_count, int32_t(m.faces.size()));
    for (int32_t f = 0; f < o->face_count; f++)
      for (int k = 0; k < 3; k++) {
        const int32_t index = k == 0 ? o->faces[f].ia : k == 1 ? o->faces[f].ib : o->faces[f].ic;
        const asc_vertex& v = o->vertices[index];
        const forge_triangle& t = m.faces[size_t(f)];
        const forge_vec3& p = m.positions[size_t(t.v[k])];
        // The engine sees the forge's object mirrored in z.
        EXPECT_NEAR(v.x, p.x, 1e-6);
        EXPECT_NEAR(v.y, p.y, 1e-6);
        EXPECT_NEAR(v.z, -p.z, 1e-6);
        if (mapped) {
          EXPECT_NEAR(v.u, std::clamp(t.uv[k].u, 0.01f, 0.99f), 1e-6);
          EXPECT_NEAR(v.v, std::clamp(t.uv[k].v, 0.01f, 0.99f), 1e-6);
        }
      }
    if (!mapped) {
      EXPECT_EQ(o->vertex_count, int32_t(m.positions.size()));
    }
  }
  std::string text;
  EXPECT_EQ(write_asc(&m, "quote\"d", false, &text), 0);
  EXPECT_EQ(write_asc(&m, std::string(51, 'x'), false, &text), 0);
  m.positions[0] = {1e30f, 1e30f, 1e30f};
  EXPECT_EQ(write_asc(&m, "Huge", false, &text), 0) << "a line the reader would cut";
}

TEST_F(mirror_files, Pcx24RunsCrossRowsAndPlanes) {
  // 2 x 2 pixels: rows of three planes of two bytes, 12 bytes in all. A run
  // of 3 crosses from red into green; a run of 4 from blue into the next
  // row; a count byte of exactly 192 repeats nothing.
  const fixture_bytes data = {0xC3, 10, 20, 0xC4, 30, 0xC0, 99, 40, 50, 60, 0xC1, 200, 70};
  rgb_ptr image = load_pcx(pcx24_file(2, 2, data));
  ASSERT_NE(image, nullptr) << pcx24_error_text();
  ASSERT_EQ(image->width, 2);
  ASSERT_EQ(image->height, 2);
  EXPECT_EQ(image->zbuffer, nullptr);
  EXPECT_EQ(image->tag, 0);
  // Row 0: R 10 10, G 10 20, B 30 30; row 1: R 30 30, G 40 50, B 60 200.
  EXPECT_EQ(image->pixels[0], 0x1E0A0Au);
  EXPECT_EQ(image->pixels[1], 0x1E140Au);
  EXPECT_EQ(image->pixels[2], 0x3C281Eu);
  EXPECT_EQ(image->pixels[3], 0xC8321Eu);

  // The project's own encoder and ImageMagick (even widths, read unpadded).
  const int w = 24, h = 9;
  const fixture_bytes rgb = fixture_rgb(w, h, 5);
  fixture_pcx_options across;
  across.runs_across_planes = true;
  image = load_pcx(fixture_pcx(w, h, 3, rgb, {}, across));
  ASSERT_NE(image, nullptr);
  for (int i = 0; i < w * h; i++)
    ASSERT_EQ(image->pixels[i], uint32_t(rgb[size_t(3 * i)]) | uint32_t(rgb[size_t(3 * i + 1)]) << 8 |
                                    uint32_t(rgb[size_t(3 * i + 2)]) << 16)
        << i;
  READER_REQUIRE_TOOL("convert");
  testkit_write_file("in.ppm", fixture_ppm(w, h, rgb));
  ASSERT_TRUE(reader_run("convert in.ppm -type TrueColor magick.pcx"));
  image = rgb_ptr(pcx24_load("magick.pcx"));
  ASSERT_NE(image, nullptr);
  const fixture_bytes magick = reader_magick_raw("magick.pcx", "", "rgb");
  for (int i = 0; i < w * h; i++)
    ASSERT_EQ(image->pixels[i], uint32_t(magick[size_t(3 * i)]) | uint32_t(magick[size_t(3 * i + 1)]) << 8 |
                                    uint32_t(magick[size_t(3 * i + 2)]) << 16)
        << i;
}

TEST_F(mirror_files, Pcx24RefusesBadFilesWithTheirCodes) {
  const fixture_bytes data(12, 7);
  struct bad {
    const char* what;
    fixture_bytes bytes;
    const char* name;
    int32_t code;
  };
  fixture_bytes truncated = pcx24_file(2, 2, data);
  truncated.resize(truncated.size() - 1);
  const bad cases[] = {
      {"not named .pcx", pcx24_file(2, 2, data), "t.pcxx", PCX24_ERROR_NAME},
      {"one plane", pcx24_file(2, 2, data, 1), "t.pcx", PCX24_ERROR_VERSION},
      {"short header", fixture_bytes(73, 0), "t.pcx", PCX24_ERROR_DATA},
      {"data cut short", truncated, "t.pcx", PCX24_ERROR_DATA},
      {"run cut after its count", pcx24_file(2, 2, {0xC5}), "t.pcx", PCX24_ERROR_DATA},
      {"huge size, no data", pcx24_file(60000, 60000, {0xFF, 1}), "t.pcx", PCX24_ERROR_DATA},
  };
  for (const bad& b : cases) {
    pcx24_error = PCX24_ERROR_NONE;
    EXPECT_EQ(load_pcx(b.bytes, b.name), nullptr) << b.what;
    EXPECT_EQ(pcx24_error, b.code) << b.what;
  }
  fixture_bytes negative = pcx24_file(2, 2, data);
  negative[4] = 5; // x_min beyond x_max
  EXPECT_EQ(load_pcx(negative), nullptr);
  EXPECT_EQ(pcx24_error, PCX24_ERROR_DATA);
  EXPECT_STREQ(pcx24_error_text(), "[PCX]: Bad data or currupt file.");
  EXPECT_EQ(pcx24_load("missing.pcx"), nullptr);
  EXPECT_STREQ(pcx24_error_text(), "[PCX]: Unable to open file.");
  // Upper-case names are fine.
  EXPECT_NE(load_pcx(pcx24_file(2, 2, data), "UPPER.PCX"), nullptr);
}

TEST(MirrorRecords, PicturesStartClearAndDeepestAndTheSceneAllocatesItsRecords) {
  rgb_ptr image(rgb_image_create(4, 3, RGB_IMAGE_CLEAR | RGB_IMAGE_DEPTH));
  ASSERT_NE(image, nullptr);
  ASSERT_NE(image->zbuffer, nullptr);
  for (int i = 0; i < 12; i++) {
    EXPECT_EQ(image->zbuffer[i], 0xFFFFFF);
    EXPECT_EQ(image->pixels[i], 0u);
  }
  EXPECT_EQ(rgb_ptr(rgb_image_create(4, 3, RGB_IMAGE_CLEAR))->zbuffer, nullptr);
  EXPECT_EQ(rgb_image_create(0, 3, 0), nullptr);
  EXPECT_EQ(rgb_image_create(70000, 70000, 0), nullptr);

  mirror_scene scene{};
  scene.object_count = 10;
  scene.camera_count = 0;
  scene.mother_count = 7;
  EXPECT_EQ(mirror_scene_alloc(&scene), 0);
  EXPECT_EQ(scene_error, SCENE_ERROR_NO_CAMERA);
  EXPECT_STREQ(scene_error_text(), "[SCENE]: Warning, you should atleast have one camera.");
  EXPECT_EQ(scene.objects, nullptr) << "what was allocated before is released";

  scene.camera_count = 2;
  scene.flare_count = 1;
  scene.imagemap_count = 3;
  scene.spot_count = 1;
  ASSERT_EQ(mirror_scene_alloc(&scene), 1);
  ASSERT_NE(scene.objects, nullptr);
  ASSERT_NE(scene.cameras[1], nullptr);
  EXPECT_EQ(scene.flares[0]->margin, 0);
  EXPECT_NE(scene.spots[0], nullptr);
  EXPECT_EQ(scene.mirrors, nullptr) << "no array for a count of 0";
  EXPECT_EQ(scene.objects[9], nullptr) << "objects are the effect's to fill in";
  scene.total_faces = 5;
  ASSERT_EQ(mirror_scene_alloc_faces(&scene), 1);
  EXPECT_EQ(scene.face_buffer_size, 5);
  ASSERT_EQ(lens_flare_alloc(scene.flares[0], 15), 1);
  mirror_scene_free(&scene);
  EXPECT_EQ(scene.cameras, nullptr);

  particle_error = 2;
  EXPECT_STREQ(particle_error_text(), "[PARTICLE]: Not enough free memory.");
  particle_error = 9;
  EXPECT_STREQ(particle_error_text(), "[PARTICLE]: Other (undeterminant) error.");
  scene_error = SCENE_ERROR_FLARE;
  EXPECT_STREQ(scene_error_text(), "[SCENE]: (LENSFLARE *) Not enough free memory.");
}
