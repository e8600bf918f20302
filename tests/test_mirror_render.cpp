// The mirror engine's particle emitters and renderer: motion rules, births
// and lifetimes, shades, the culling sign, the depth rule, particles and
// sprites, and the lens flare's occlusion.
#include "mirror_scene.h"
#include "particles.h"
#include "random.h"
#include "scene_raster.h"
#include "scene_render.h"
#include "testkit.h"
#include "vfs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {
struct emitter_deleter {
  void operator()(emitter* e) const { emitter_free(e); }
};
using emitter_ptr = std::unique_ptr<emitter, emitter_deleter>;

const double origin0[3] = {0, 0, 0};

int32_t alive(const emitter* e) {
  int32_t n = 0;
  for (int32_t i = 0; i < e->particle_count; i++)
    n += e->particles[i].alive;
  return n;
}

// A 24-bit PCX file of one flat colour (w x h, literal bytes below 192).
std::vector<uint8_t> flat_pcx(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> f(128, 0);
  f[0] = 10;
  f[1] = 5;
  f[3] = 8;
  f[8] = uint8_t(w - 1);
  f[10] = uint8_t(h - 1);
  f[65] = 3;
  for (int y = 0; y < h; y++)
    for (uint8_t v : {r, g, b})
      for (int x = 0; x < w; x++) {
        if (v >= 192)
          f.push_back(0xC1);
        f.push_back(v);
      }
  return f;
}

rgb_image* flat_image(int w, int h, uint32_t colour, uint32_t flags = RGB_IMAGE_CLEAR) {
  rgb_image* i = rgb_image_create(w, h, flags);
  for (int k = 0; k < w * h; k++)
    i->pixels[k] = colour;
  return i;
}
} // namespace

TEST(MirrorEmitters, StreamsAreBornOnRequestAndLiveByTheirAgeing) {
  demo_srand(7);
  const double origin[3] = {5, 7, 9};
  emitter_ptr e(emitter_create(EMITTER_FALLING, 10, origin, nullptr, EMITTER_STYLE_SPRITES, 0, 0, 100));
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(alive(e.get()), 0);
  EXPECT_EQ(e->active, 1);
  emitter_update(e.get(), 2);
  ASSERT_EQ(alive(e.get()), 2) << "the first dead slots, at most n";
  EXPECT_TRUE(e->particles[0].alive && e->particles[1].alive);
  for (int i = 0; i < 2; i++) {
    const particle& p = e->particles[i];
    EXPECT_GE(p.life, 200.0f);
    EXPECT_LT(p.life, 300.0f);
    EXPECT_GE(p.position[0], -5.0);
    EXPECT_LT(p.position[0], 15.0);
    EXPECT_EQ(p.position[1], 7.0);
    EXPECT_EQ(p.velocity[1], -1.0);
  }
  // A particle born with 250 lives 83 updates, falling one unit in each.
  e->particles[0].life = 250;
  int updates = 0;
  while (e->particles[0].alive && updates < 1000) {
    emitter_update(e.get(), 0);
    updates++;
  }
  EXPECT_EQ(updates, 84) << "the 84th update kills it";
  EXPECT_EQ(e->particles[0].position[1], 7.0 - 83);
  // A particle that died is reborn in the next update at the earliest.
  emitter_update(e.get(), 1);
  EXPECT_EQ(e->particles[0].alive, 1);
}

TEST(MirrorEmitters, FountainsBurstOnlyWhenAskedAndFallBack) {
  demo_srand(3);
  emitter_ptr e(emitter_create(EMITTER_FOUNTAIN, 40, origin0, nullptr, EMITTER_STYLE_SPRITES, 0, 0, 300));
  ASSERT_NE(e, nullptr);
  emitter_update(e.get(), 0);
  EXPECT_EQ(alive(e.get()), 0);
  EXPECT_EQ(e->active, 0);
  emitter_update(e.get(), 2);
  EXPECT_EQ(alive(e.get()), 2);
  EXPECT_EQ(e->active, 1);
  const particle before = e->particles[0];
  EXPECT_GE(before.velocity[1], 3.0 - 10.0);
  EXPECT_LE(before.velocity[1], 3.0 + 10.0);
  emitter_update(e.get(), 0);
  const particle& after = e->particles[0];
  EXPECT_EQ(after.life, before.life - 2);
  EXPECT_DOUBLE_EQ(after.position[1], before.position[1] + before.velocity[1]);
  EXPECT_DOUBLE_EQ(after.velocity[1], before.velocity[1] - 0.2);
  emitter_update(e.get(), 100);
  EXPECT_EQ(alive(e.get()), 40) << "never more than the pool";
}

TEST(MirrorEmitters, ShellParticlesSitOnTheirSphere) {
  demo_srand(11);
  for (double radius : {0.0, 50.0}) {
    emitter_ptr e(emitter_create(EMITTER_SHELL, 200, origin0, nullptr, EMITTER_STYLE_DOT, 0, radius, 1));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(alive(e.get()), 200);
    for (int32_t i = 0; i < e->particle_count; i++) {
      const particle& p = e->particles[i];
      const double d =
          std::sqrt(p.position[0] * p.position[0] + p.position[1] * p.position[1] + p.position[2] * p.position[2]);
      ASSERT_NEAR(d, radius, 1e-9) << i;
      ASSERT_GE(p.seed, 5);
      ASSERT_LE(p.seed, 74);
    }
    emitter_update(e.get(), 5);
    EXPECT_EQ(e->active, 0);
  }
}

TEST(MirrorEmitters, ShadesDarkenTheSpriteAndBadRequestsFail) {
  testkit_tempdir dir(true);
  vfs_device_enable(&stdio_device, 0);
  testkit_write_file("s.pcx", flat_pcx(2, 2, 190, 19, 255));
  emitter_ptr two(emitter_create(EMITTER_FALLING, 4, origin0, "s.pcx", EMITTER_STYLE_SPRITES, 2, 0, 100));
  ASSERT_NE(two, nullptr);
  ASSERT_EQ(two->shade_count, 2);
  EXPECT_EQ(two->shades[0]->pixels[3], 0u);
  EXPECT_EQ(two->shades[1]->pixels[3], two->sprite->pixels[3]);
  emitter_ptr twenty(emitter_create(EMITTER_FALLING, 4, origin0, "s.pcx", EMITTER_STYLE_SPRITES, 20, 0, 100));
  ASSERT_NE(twenty, nullptr);
  EXPECT_EQ(twenty->shades[10]->pixels[0],
            uint32_t(190 * 10 / 19) | uint32_t(19 * 10 / 19) << 8 | uint32_t(255 * 10 / 19) << 16);
  struct bad {
    const char* what;
    const char* sprite;
    int32_t shades;
    int32_t code;
  };
  for (const bad& b :
       {bad{"one shade", "s.pcx", 1, PARTICLE_ERROR_SHADES}, bad{"missing sprite", "none.pcx", 20, PARTICLE_ERROR_OPEN},
        bad{"shades of no sprite", nullptr, 20, PARTICLE_ERROR_SHADES}}) {
    particle_error = PARTICLE_ERROR_NONE;
    EXPECT_EQ(emitter_create(EMITTER_FALLING, 4, origin0, b.sprite, EMITTER_STYLE_SPRITES, b.shades, 0, 100), nullptr)
        << b.what;
    EXPECT_EQ(particle_error, b.code) << b.what;
  }
  // Drawn through its level table, the sprite gives shade 7's pixels.
  rgb_image* a = rgb_image_create(8, 8, RGB_IMAGE_CLEAR);
  rgb_image* b = rgb_image_create(8, 8, RGB_IMAGE_CLEAR);
  scene_sprite_options through;
  through.levels = twenty->shade_levels + 7 * 256;
  scene_add_sprite(a, twenty->shades[7], 4, 4, 1, {});
  scene_add_sprite(b, twenty->sprite, 4, 4, 1, through);
  EXPECT_EQ(std::vector<uint32_t>(a->pixels, a->pixels + 64), std::vector<uint32_t>(b->pixels, b->pixels + 64));
  EXPECT_NE(a->pixels[27], 0u);
  rgb_image_free(a);
  rgb_image_free(b);
  // Other styles take no shades.
  emitter_ptr plain(emitter_create(EMITTER_FALLING, 4, origin0, "s.pcx", EMITTER_STYLE_DOT, 1, 0, 100));
  ASSERT_NE(plain, nullptr);
  EXPECT_EQ(plain->shade_count, 0);
}

namespace {
// A scene of one camera looking from (0, 0, -500) along +z (camera space is
// world space moved by 500), objects made from ASC text, and a target.
struct mirror_stage : ::testing::Test {
  testkit_tempdir dir{true};
  mirror_scene scene{};
  rgb_image* target = nullptr;
  std::vector<rgb_image*> maps;

  void SetUp() override {
    vfs_device_enable(&stdio_device, 0);
    scene.object_count = 4;
    scene.camera_count = 1;
    scene.mother_count = 2;
    scene.flare_count = 1;
    scene.imagemap_count = 4;
    ASSERT_EQ(mirror_scene_alloc(&scene), 1);
    scene.cameras[0]->eye[2] = -500;
    target = rgb_image_create(320, 240, RGB_IMAGE_CLEAR | RGB_IMAGE_DEPTH);
    clear_target();
    maps = {flat_image(4, 4, 0x0000FF), flat_image(4, 4, 0x00FF00), flat_image(4, 4, 0x404040),
            flat_image(8, 8, 0x101010)};
    for (int i = 0; i < 4; i++)
      scene.imagemaps[i] = maps[size_t(i)];
  }
  void TearDown() override {
    for (int32_t i = 0; i < scene.object_count; i++)
      asc_free(scene.objects[i]);
    for (int32_t i = 0; i < scene.mother_count; i++)
      emitter_free(scene.mothers[i]);
    for (rgb_image* m : maps)
      rgb_image_free(m);
    mirror_scene_free(&scene);
    rgb_image_free(target);
  }

  // A triangle or square (world coordinates, corners in order) at slot.
  asc_object* add(int32_t slot, const std::vector<std::array<double, 3>>& corners, int32_t mode, int32_t map) {
    std::string text = "Named object: \"o\"\nTri-mesh, Vertices: " + std::to_string(corners.size()) +
                       "     Faces: " + std::to_string(corners.size() - 2) + "\nMapped\nVertex list:\n";
    for (size_t i = 0; i < corners.size(); i++) {
      // The file's Y is the engine's z and its Z the engine's y.
      char line[128];
      std::snprintf(line, sizeof line, "Vertex %d: X:%g Y:%g Z:%g U:0.5 V:0.5\n", int(i), corners[i][0], corners[i][2],
                    corners[i][1]);
      text += line;
    }
    text += "Face list:\nFace 0: A:0 B:1 C:2\n";
    if (corners.size() == 4)
      text += "Face 1: A:0 B:2 C:3\n";
    testkit_write_text("o.asc", text);
    asc_object* o = asc_load("o.asc", nullptr, nullptr, mode);
    EXPECT_NE(o, nullptr);
    o->imagemap = map;
    asc_compute_normals(o);
    scene.objects[slot] = o;
    return o;
  }

  // Byte 3 set everywhere, so a write that changes it shows.
  void clear_target() {
    std::fill(target->zbuffer, target->zbuffer + 320 * 240, 0);
    std::fill(target->pixels, target->pixels + 320 * 240, 0xAA000000u);
  }
  void render() {
    camera_aim(&scene);
    scene_to_camera(&scene);
    scene_project(&scene, target);
    scene_cull(&scene);
    scene_normals(&scene);
    scene_draw(&scene, target);
  }
  uint32_t at(int x, int y) const { return target->pixels[y * 320 + x]; }
};
} // namespace

TEST_F(mirror_stage, FacesTurnedToTheViewerAreDrawnAndNearerOnesWin) {
  // Seen from the camera: (0, 0) centre, +x right, +y up.
  const std::vector<std::array<double, 3>> square = {{-100, -100, 0}, {100, -100, 0}, {100, 100, 0}, {-100, 100, 0}};
  add(0, square, ASC_MODE_TEXTURE, 0);
  render();
  EXPECT_EQ(scene.total_faces, 2);
  EXPECT_EQ(scene.objects[0]->faces_visible, 2);
  EXPECT_EQ(at(160, 120), 0xAA0000FFu) << "texel written, byte 3 kept";
  EXPECT_EQ(target->zbuffer[120 * 320 + 160], int32_t(65536000.0 / 1200));
  EXPECT_EQ(at(20, 120), 0xAA000000u) << "outside the square";

  // The same square, the other way round, is culled.
  const std::vector<std::array<double, 3>> back = {square[3], square[2], square[1], square[0]};
  asc_free(scene.objects[0]);
  add(0, back, ASC_MODE_TEXTURE, 0);
  clear_target();
  render();
  EXPECT_EQ(scene.total_faces, 0);
  EXPECT_EQ(at(160, 120), 0xAA000000u);

  // Two squares at the same depth: the first drawn stays; a nearer one wins.
  asc_free(scene.objects[0]);
  add(0, square, ASC_MODE_TEXTURE, 0);
  add(1, square, ASC_MODE_TEXTURE, 1);
  clear_target();
  render();
  EXPECT_EQ(at(160, 120) & 0xFFFFFF, 0x0000FFu);
  scene.objects[1]->position[2] = -10;
  clear_target();
  render();
  EXPECT_EQ(at(160, 120) & 0xFFFFFF, 0x00FF00u);
}

// Without a depth buffer the front faces are listed far to near and drawn in
// that order, whatever the order of the objects.
TEST_F(mirror_stage, WithoutDepthTheFacesAreDrawnFarToNear) {
  const std::vector<std::array<double, 3>> square = {{-100, -100, 0}, {100, -100, 0}, {100, 100, 0}, {-100, 100, 0}};
  add(0, square, ASC_MODE_TEXTURE, 1)->position[2] = -50;
  add(1, square, ASC_MODE_TEXTURE, 0)->position[2] = 50;
  scene.total_faces = 4;
  ASSERT_EQ(mirror_scene_alloc_faces(&scene), 1);
  rgb_image* flat = rgb_image_create(320, 240, RGB_IMAGE_CLEAR);
  std::swap(flat, target);
  render();
  EXPECT_EQ(at(160, 120), 0x00FF00u) << "the nearer square, drawn last";
  EXPECT_EQ(scene.face_buffer[0].object, 1) << "the farther square first";
  std::swap(flat, target);
  rgb_image_free(flat);
}

TEST_F(mirror_stage, AFaceReachingBehindTheEyeIsSkipped) {
  const std::vector<std::array<double, 3>> reaching = {{-100, -100, 0}, {100, -100, 0}, {0, 100, -600}};
  for (int32_t mode : {ASC_MODE_TEXTURE, ASC_MODE_ENVIRONMENT}) {
    clear_target();
    asc_free(scene.objects[0]);
    add(0, reaching, mode, 0);
    render();
    int changed = 0;
    for (int i = 0; i < 320 * 240; i++)
      changed += target->pixels[i] != 0xAA000000u;
    EXPECT_EQ(changed, 0) << "mode " << char(mode);
  }
  // Moved in front of the eye, the face is drawn.
  scene.objects[0]->position[2] = 700;
  render();
  EXPECT_NE(at(160, 120), 0xAA000000u);
}

TEST_F(mirror_stage, EnvironmentFacesTakeTheirTexelsFromTheNormals) {
  // A square facing the viewer has normals along the view (x = y = 0): the
  // texel at the map's centre.
  rgb_image* quarters = rgb_image_create(2, 2, RGB_IMAGE_CLEAR);
  quarters->pixels[0] = 0x000001;
  quarters->pixels[1] = 0x000002;
  quarters->pixels[2] = 0x000003;
  quarters->pixels[3] = 0x000004;
  rgb_image_free(maps[3]);
  maps[3] = quarters;
  scene.imagemaps[3] = quarters;
  add(0, {{-100, -100, 0}, {100, -100, 0}, {100, 100, 0}, {-100, 100, 0}}, ASC_MODE_ENVIRONMENT, 3);
  render();
  EXPECT_EQ(at(160, 120) & 0xFFFFFF, 0x000004u) << "u = v = 0.5 is the last texel's corner";
  // Turned so that the normals lean towards +x: u falls below 0.5.
  scene.objects[0]->angles[1] = -0.6;
  clear_target();
  render();
  EXPECT_EQ(at(160, 120) & 0xFFFFFF, 0x000003u);
}

TEST_F(mirror_stage, ParticlesAreDrawnByStyleWithinTheirRange) {
  scene.mothers[0] = emitter_create(EMITTER_FALLING, 3, origin0, nullptr, EMITTER_STYLE_DOT, 0, 0, 100);
  emitter* e = scene.mothers[0];
  for (int i = 0; i < 3; i++) {
    e->particles[i].alive = 1;
    e->particles[i].life = 100;
    e->particles[i].seed = 0x40 + i;
  }
  // At camera depth 1000, 50,000 and 50,001.
  e->particles[0].position[2] = 500;
  e->particles[1].position[0] = 5000;
  e->particles[1].position[2] = 49500;
  e->particles[2].position[0] = 100;
  e->particles[2].position[2] = 49501;
  e->origin[2] = 2501; // camera depth 3001
  render();
  EXPECT_EQ(at(160, 120), 0xAA404040u) << "stored, not added";
  EXPECT_EQ(e->particles[1].visible, 1);
  EXPECT_EQ(at(190, 120), 0xAA414141u) << "at 50,000 still drawn";
  EXPECT_EQ(e->particles[2].visible, 0) << "beyond 50,000";
  EXPECT_EQ(e->active, 0) << "an emitter beyond 3000 is switched inactive";

  // Style 16: the centre adds g, its four neighbours g / 2.
  clear_target();
  e->style = EMITTER_STYLE_PLUS;
  e->particles[1].alive = 0;
  target->pixels[120 * 320 + 160] = 0xAA0000F0u;
  render();
  EXPECT_EQ(at(160, 120), 0xAA4040FFu) << "saturated at 255";
  EXPECT_EQ(at(161, 120), 0xAA202020u);
  EXPECT_EQ(at(160, 119), 0xAA202020u);
  EXPECT_EQ(at(161, 121), 0xAA000000u);
}

TEST_F(mirror_stage, SpritesAddWithSaturationAndTheDepthTest) {
  rgb_image* sprite = flat_image(4, 4, 0x0AC8FFu);
  target->pixels[10 * 320 + 10] = 0xAAFA6400u; // blue 250, green 100, red 0
  scene_add_sprite(target, sprite, 10.0f, 10.0f, 1.0f, {});
  EXPECT_EQ(target->pixels[10 * 320 + 10], 0xAAFFFFFFu) << "250 + 10 and 100 + 200 give 255";
  EXPECT_EQ(target->pixels[8 * 320 + 8], 0xAA0AC8FFu) << "the 4 x 4 square starts 2 to the left and up";
  EXPECT_EQ(target->pixels[12 * 320 + 12], 0xAA000000u);
  // Scaled down by 2 it covers 2 x 2 pixels; at half brightness it adds half.
  scene_sprite_options half;
  half.brightness = 128;
  scene_add_sprite(target, sprite, 100.0f, 100.0f, 2.0f, half);
  EXPECT_EQ(target->pixels[99 * 320 + 99], 0xAA05647Fu);
  EXPECT_EQ(target->pixels[101 * 320 + 101], 0xAA000000u);
  // With a depth, only pixels whose stored depth is less change.
  target->zbuffer[50 * 320 + 50] = 500;
  target->zbuffer[50 * 320 + 51] = 499;
  scene_sprite_options deep;
  deep.depth = 500;
  scene_add_sprite(target, sprite, 51.0f, 51.0f, 1.0f, deep);
  EXPECT_EQ(target->pixels[50 * 320 + 50], 0xAA000000u);
  EXPECT_EQ(target->pixels[50 * 320 + 51], 0xAA0AC8FFu);
  EXPECT_EQ(target->zbuffer[50 * 320 + 51], 499) << "the depth is not written";
  // Far off the target nothing is drawn (and nothing is touched out of bounds).
  scene_add_sprite(target, sprite, -1e20f, 5e9f, 1.0f, {});
  scene_add_sprite(target, sprite, 318.5f, 239.5f, 0.001f, {});
  rgb_image_free(sprite);
}

TEST_F(mirror_stage, TheFlareHidesBehindNearerGeometry) {
  lens_flare* f = scene.flares[0];
  ASSERT_EQ(lens_flare_alloc(f, 2), 1);
  f->images[0] = 2;
  f->images[1] = 2;
  f->offsets[1] = -1.0f;
  f->size = 1;
  f->position[0] = 30; // camera depth 600: right of the centre
  f->position[2] = 100;
  render();
  // The source at (175, 120), its mirror image through the centre at (145, 120).
  EXPECT_EQ(at(175, 120), 0xAA404040u);
  EXPECT_EQ(at(145, 120), 0xAA404040u);

  // A square in front of the source hides every element.
  clear_target();
  add(0, {{-100, -100, 0}, {100, -100, 0}, {100, 100, 0}, {-100, 100, 0}}, ASC_MODE_TEXTURE, 0);
  render();
  EXPECT_EQ(at(145, 120) & 0xFFFFFF, 0x0000FFu) << "no ghost either";
  // Behind the flare the square hides nothing.
  scene.objects[0]->position[2] = 200;
  clear_target();
  render();
  EXPECT_EQ(at(145, 120) & 0xFFFFFF, 0x4040FFu);
  // A source off the target shows only within the margin, where the test
  // reads the nearest pixel of the target.
  f->position[0] = 400; // (360, 120); the ghost at (140, 120)
  f->offsets[1] = -0.1f;
  clear_target();
  render();
  EXPECT_EQ(at(140, 120) & 0xFFFFFF, 0x0000FFu) << "no margin";
  f->margin = 50;
  clear_target();
  render();
  EXPECT_EQ(at(140, 120) & 0xFFFFFF, 0x4040FFu);
}
