// The mirror hall on the build's data: the scene it builds, the opening
// picture, the feedback through the mirrors, the streams and the fountains'
// bar, its end on the music, and broken data.
#include "mirrors.h"
#include "mirrors_parts.h"
#include "opening_fixtures.h"
#include "random.h"
#include "testkit.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <cstring>
#include <vector>

namespace {
int32_t alive(const emitter* e) {
  int32_t n = 0;
  for (int32_t i = 0; i < e->particle_count; i++)
    n += e->particles[i].alive;
  return n;
}

bool same_pixels(const uint32_t* a, const uint32_t* b) { return std::memcmp(a, b, 320 * 240 * 4) == 0; }

struct mirrors_data : ::testing::Test {
  testkit_tempdir dir;
  music_clock clock{};
  opening_pixmap frame{pixmap_create(320, 240, PIXMAP_CLEAR)};
  show_context show{};
  void SetUp() override {
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, opening_build_files(), &error), 1) << error;
    demo_srand(1);
    show.clock = &clock;
    show.frame = frame.get();
    ASSERT_EQ(mirrors_init(&show), 1);
  }
  void TearDown() override { opening_release_archive(); }
};
} // namespace

TEST_F(mirrors_data, TheHallIsBuiltAndItsFirstFrameIsTheOpeningPicture) {
  const mirrors_state* m = mirrors_get_state();
  const mirror_scene& s = m->scene;
  for (int32_t i = 0; i < MIRRORS_OBJECTS; i++)
    ASSERT_NE(s.objects[i], nullptr) << i;
  EXPECT_EQ(s.objects[MIRRORS_STAR]->mode, ASC_MODE_ENVIRONMENT);
  ASSERT_NE(s.objects[MIRRORS_STAR]->phong, nullptr);
  EXPECT_NEAR(s.objects[MIRRORS_STAR]->radius, 300.0f, 0.01f);
  EXPECT_NEAR(s.objects[MIRRORS_HALL]->radius, 800.0f, 0.01f);
  for (int32_t mirror : {1, 3, 5, 7})
    EXPECT_EQ(s.objects[mirror]->imagemap, MIRRORS_FEEDBACK_MAP);
  EXPECT_NEAR(s.objects[3]->position[0], 560 * std::cos(2.0943333333333336), 1e-9);
  EXPECT_EQ(s.objects[8]->position[1], -630.0);
  // The first two fountains draw with the gold and blue streams' sprites.
  EXPECT_EQ(s.mothers[3]->shades, s.mothers[0]->shades);
  EXPECT_EQ(s.mothers[4]->sprite, s.mothers[1]->sprite);
  EXPECT_EQ(s.mothers[3]->shade_count, 20);
  EXPECT_EQ(s.flares[0]->images[0], 5);
  EXPECT_EQ(s.flares[0]->images[1], 4);
  EXPECT_EQ(s.flares[0]->offsets[14], -1.316f);
  EXPECT_GE(s.face_buffer_size, s.objects[MIRRORS_HALL]->face_count);

  ASSERT_EQ(show.pictures.mirror_opening, m->opening);
  ASSERT_NE(m->opening, nullptr);
  EXPECT_GT(opening_lit_share(m->opening), 0.8) << "the hall covers the view (the mirrors show black at first)";
  opening_clock_set(&clock, 1.0f, 13, 0);
  ASSERT_EQ(mirrors_frame(), 1);
  EXPECT_TRUE(same_pixels(frame->pixels, m->opening->pixels)) << "the first frame presented is the opening picture";
}

// The forge's objects face the right way: the hall's faces turn to its
// centre, the star's and the mirrors' away from it (a face is drawn when
// (P - Q) x (P - R) points away from the viewer); the sprites are black at
// their borders, so scaled copies show no square.
TEST_F(mirrors_data, TheDataIsShapedForTheHall) {
  const mirror_scene& s = mirrors_get_state()->scene;
  auto facing_centre = [](const asc_object* o) {
    int32_t inward = 0;
    for (int32_t f = 0; f < o->face_count; f++) {
      const asc_face& face = o->faces[f];
      const asc_vertex& a = o->vertices[face.ia];
      const asc_vertex& b = o->vertices[face.ib];
      const asc_vertex& c = o->vertices[face.ic];
      inward += face.nx * (a.x + b.x + c.x) + face.ny * (a.y + b.y + c.y) + face.nz * (a.z + b.z + c.z) > 0;
    }
    return double(inward) / o->face_count;
  };
  EXPECT_EQ(facing_centre(s.objects[MIRRORS_HALL]), 1.0);
  EXPECT_EQ(facing_centre(s.objects[MIRRORS_STAR]), 0.0);
  EXPECT_GT(s.objects[MIRRORS_STAR]->face_count, 40);
  // The mirror pane is seen from -z before the hall turns it to the centre.
  EXPECT_GT(s.objects[1]->faces[0].nz, 0.99);
  for (int32_t i = 0; i < 3; i++) {
    const rgb_image* sprite = s.mothers[i]->sprite;
    ASSERT_EQ(sprite->width, 128);
    for (int32_t k = 0; k < 128; k++) {
      EXPECT_EQ(sprite->pixels[k], 0u);
      EXPECT_EQ(sprite->pixels[k * 128], 0u);
    }
    EXPECT_GT(sprite->pixels[64 * 128 + 64] & 0xFF, 200u) << "a white-hot core";
  }
}

TEST_F(mirrors_data, TheMirrorsShowThePictureJustPresented) {
  const mirrors_state* m = mirrors_get_state();
  opening_clock_set(&clock, 1.0f, 13, 20);
  uint64_t previous = 0;
  for (int i = 0; i < 4; i++) {
    ASSERT_EQ(mirrors_frame(), 1);
    const rgb_image* shown = m->images[m->last ^ 1];
    EXPECT_EQ(m->scene.imagemaps[MIRRORS_FEEDBACK_MAP], shown);
    EXPECT_TRUE(same_pixels(frame->pixels, shown->pixels));
    const uint64_t hash = opening_picture_hash(frame.get());
    EXPECT_NE(hash, previous) << "frame " << i;
    previous = hash;
  }
  // The picture drawn last is the one the next frame presents.
  std::vector<uint32_t> drawn(m->images[m->last]->pixels, m->images[m->last]->pixels + 320 * 240);
  mirrors_frame();
  EXPECT_TRUE(same_pixels(frame->pixels, drawn.data()));
}

TEST_F(mirrors_data, StreamsCircleAndFountainsBurstOncePerBar) {
  mirrors_state* m = mirrors_get_state();
  emitter** e = m->scene.mothers;
  // The init's frame ran at row 0: the fountains have burst.
  EXPECT_EQ(alive(e[MIRRORS_FIRST_FOUNTAIN]), 40);
  EXPECT_EQ(m->latch, 1);
  const double y_before = e[5]->particles[0].position[1];
  opening_clock_set(&clock, 2.0f, 13, 3);
  mirrors_frame();
  EXPECT_EQ(e[5]->particles[0].position[1], y_before) << "rows 0 to 15 after the burst leave the fountains still";
  EXPECT_EQ(e[2]->origin[1], e[2]->origin[2]) << "the third stream runs along a diagonal";
  EXPECT_NEAR(e[0]->origin[0] * e[0]->origin[0] + e[0]->origin[2] * e[0]->origin[2], 350.0 * 350.0, 1e-6);
  EXPECT_EQ(alive(e[0]), 4) << "two births a frame";
  opening_clock_set(&clock, 2.0f, 13, 16);
  mirrors_frame();
  EXPECT_NE(e[5]->particles[0].position[1], y_before);
  EXPECT_EQ(m->latch, 0);
  EXPECT_EQ(e[3]->active, 0) << "moved without births";
  opening_clock_set(&clock, 2.0f, 14, 0);
  mirrors_frame();
  EXPECT_EQ(m->latch, 1);
  EXPECT_EQ(e[3]->active, 1);
}

TEST_F(mirrors_data, TheHallPlaysUntilOrderSeventeen) {
  opening_clock_set(&clock, 1.0f, 16, 120);
  EXPECT_EQ(mirrors_frame(), 1);
  opening_clock_set(&clock, 1.0f, 17, 0);
  EXPECT_EQ(mirrors_frame(), 0);
}

TEST(MirrorsInit, MissingOrBrokenFilesFailCleanly) {
  const opening_files& all = opening_build_files();
  const std::vector<uint8_t>& sphere = all.at("rimbel/sphere.asc");
  struct variant {
    const char* what;
    std::string name;
    std::vector<uint8_t> bytes; // empty: the file is left out
  };
  const std::vector<variant> cases = {
      {"no star", "rimbel/star1.asc", {}},
      {"no lighting table", "rimbel/phong.bin", {}},
      {"truncated hall", "rimbel/sphere.asc", std::vector<uint8_t>(sphere.begin(), sphere.begin() + 4000)},
      {"no last flare", "rimbel/zoom/flare15.pcx", {}},
      {"no green sprite", "rimbel/128x128/green.pcx", {}},
      {"an indexed PCX for the hall", "rimbel/textures/ss071.pcx", all.at("intro/l1.pcx")},
  };
  music_clock clock{};
  opening_pixmap frame(pixmap_create(320, 240, PIXMAP_CLEAR));
  for (const variant& v : cases) {
    SCOPED_TRACE(v.what);
    ASSERT_TRUE(all.count(v.name));
    testkit_tempdir dir;
    opening_files files = all;
    if (v.bytes.empty())
      files.erase(v.name);
    else
      files[v.name] = v.bytes;
    std::string error;
    ASSERT_EQ(opening_use_archive(dir.path, files, &error), 1) << error;
    show_context show{};
    show.clock = &clock;
    show.frame = frame.get();
    EXPECT_EQ(mirrors_init(&show), 0);
    EXPECT_EQ(show.pictures.mirror_opening, nullptr);
    const mirrors_state* m = mirrors_get_state();
    EXPECT_EQ(m->scene.objects, nullptr) << "everything read so far is released";
    EXPECT_EQ(m->images[0], nullptr);
    opening_release_archive();
  }
}

// Through demo_render on the build's data.dat: Space skips to the credits,
// which end at order 13; the hall then plays until the song reaches order 17.
TEST(MirrorsShow, DemoRenderPlaysTheHallUntilOrderSeventeen) {
  testkit_tempdir dir(true);
  testkit_write_file("data.dat", testkit_read_file(testkit_bin_dir() + "/data.dat"));
  ASSERT_EQ(testkit_run(testkit_bin_dir() +
                        "/demo_render --key 1:space 2:space 3:space 4:space 5:space 6:space --time-limit 60 "
                        "--report r.json >/dev/null 2>&1"),
            0);
  const std::vector<uint8_t> bytes = testkit_read_file("r.json");
  const nlohmann::json j = nlohmann::json::parse(std::string(bytes.begin(), bytes.end()));
  bool hall = false, after = false;
  for (const auto& s : j["states"]) {
    if (s["state"] == 6) {
      hall = true;
      EXPECT_EQ(s["begin"]["order"], 13);
      EXPECT_GT(s["frames"].get<int>(), 20 * 60) << "orders 13 to 16 at 60 frames a second";
      EXPECT_EQ(s["end"]["order"], 17);
    }
    if (s["state"] == 7) {
      after = true;
      EXPECT_EQ(s["begin"]["order"], 17);
    }
  }
  EXPECT_TRUE(hall);
  EXPECT_TRUE(after);
}
