// The model tool: summaries after the readers' own lines, OBJ output that
// holds the file's geometry, and one-line errors.
#include "picture_fixtures.h"
#include "scene_fixtures.h"
#include "testkit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

// Runs the tool; returns its status, with standard output and error.
int run_model(const std::string& args, std::string* out, std::string* err) {
  std::remove("err.txt");
  out->clear();
  const int status = testkit_run(testkit_bin_dir() + "/model " + args + " 2>err.txt", out);
  const scene_bytes e = testkit_read_file("err.txt");
  err->assign(e.begin(), e.end());
  return status;
}

std::vector<std::string> lines_of(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> out;
  std::string line;
  while (std::getline(in, line))
    out.push_back(line);
  return out;
}

std::vector<std::string> lines_starting(const std::vector<std::string>& lines, const std::string& prefix) {
  std::vector<std::string> out;
  for (const std::string& l : lines)
    if (l.compare(0, prefix.size(), prefix) == 0)
      out.push_back(l);
  return out;
}

scene_bytes tool_object() {
  return lwo_form({
      lwo_points({{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0.5f}}),
      lwo_surface_names({"Body", "Glass"}),
      lwo_polygons({{{0, 1, 2, 3}, 1, {}}, {{0, 2}, 2, {}}, {{3}, 2, {}}}),
      lwo_surf("Body", {lwo_sub("COLR", {10, 20, 30, 0}), lwo_sub("CTEX", lwo_bytes().text("Planar Image Map").b),
                        lwo_sub("TIMG", lwo_bytes().text("C:\\art\\skin.pcx").b)}),
      lwo_surf("Glass", {lwo_sub("RIMG", lwo_bytes().u8(0).text("gone.gif").b)}),
  });
}

TEST(ModelTool, LightWaveInfoAndObj) {
  testkit_tempdir dir(true);
  std::filesystem::create_directory("obj");
  testkit_write_file("obj/thing.lwo", tool_object());
  testkit_write_file("obj/skin.pcx", fixture_pcx(6, 4, 1, fixture_indices(6, 4, 8, 1), fixture_palette(256, 1)));
  std::string out, err;
  ASSERT_EQ(run_model("info obj/thing.lwo", &out, &err), 0) << err;
  EXPECT_EQ(err, "");
  EXPECT_EQ(out, "[-] Found 2 surfaces(materials)\n"
                 "[-] Object consists of:\n"
                 "       1 dots\n"
                 "       1 lines\n"
                 "       1 4-sided polygons = 2 x triangular polygons\n"
                 "obj/thing.lwo: LightWave object\n"
                 "vertices: 4\n"
                 "faces: 4 (1 dots, 1 lines, 2 triangles)\n"
                 "surfaces: 2\n"
                 "  [0] \"Body\" flags 0x00204 colour 10 20 30\n"
                 "      texture: skin.pcx (6 x 4)\n"
                 "  [1] \"Glass\" flags 0x00010 colour 200 200 200\n"
                 "      reflection: gone.gif (not loaded)\n");
  // Another texture folder: the picture is not there.
  ASSERT_EQ(run_model("info obj/thing.lwo --textures .", &out, &err), 0) << err;
  EXPECT_NE(out.find("texture: skin.pcx (not loaded)"), std::string::npos);

  ASSERT_EQ(run_model("obj obj/thing.lwo thing.obj", &out, &err), 0) << err;
  EXPECT_EQ(out.find("thing.lwo: LightWave object"), std::string::npos);
  const std::vector<std::string> lines = lines_of("thing.obj");
  EXPECT_EQ(lines_starting(lines, "v "), (std::vector<std::string>{"v 0 0 0", "v 1 0 0", "v 1 1 0", "v 0 1 0.5"}));
  EXPECT_EQ(lines_starting(lines, "f "), (std::vector<std::string>{"f 1 2 3", "f 1 3 4"}));
  EXPECT_EQ(lines_starting(lines, "l "), (std::vector<std::string>{"l 1 3"}));
  EXPECT_EQ(lines_starting(lines, "p "), (std::vector<std::string>{"p 4"}));
  EXPECT_EQ(lines_starting(lines, "g "), (std::vector<std::string>{"g Body", "g Glass"}));
}

TEST(ModelTool, SceneInfoAndObj) {
  testkit_tempdir dir(true);
  testkit_write_text("world.ase", ase_sample_text());
  std::string out, err;
  ASSERT_EQ(run_model("info world.ase", &out, &err), 0) << err;
  EXPECT_EQ(err, "");
  // The reader's lines first, then the summary.
  EXPECT_EQ(out.find("Read scene information\n"), 0u);
  const size_t summary = out.find("world.ase: ASCII scene\n");
  ASSERT_NE(summary, std::string::npos);
  EXPECT_GT(summary, out.find("Read group\n"));
  for (const char* want :
       {"materials: 2\n", "  [0] \"Stone Wall\" bitmap ./wall.jpg uvw angle 0.5\n", "geometry objects: 1\n",
        "  [0] \"Square\" vertices 4 faces 2 texture vertices 4 texture faces 2 material 1\n",
        "      tracks: position 2 keys, rotation 1 keys, scale 0 keys\n", "cameras: 1\n",
        "      tracks: position 3 keys, rotation 0 keys, scale 0 keys\n", "helpers: 1\n", "groups: 1\n",
        "      group [0] \"Inner\": 0 helpers, 1 geometry objects, 0 groups\n"})
    EXPECT_NE(out.find(want), std::string::npos) << want;

  ASSERT_EQ(run_model("obj world.ase world.obj", &out, &err), 0) << err;
  const std::vector<std::string> lines = lines_of("world.obj");
  EXPECT_EQ(lines_starting(lines, "o "), (std::vector<std::string>{"o Square"}));
  EXPECT_EQ(lines_starting(lines, "v ").size(), 4u);
  EXPECT_EQ(lines_starting(lines, "v ")[3], "v 0 1 -2.5");
  EXPECT_EQ(lines_starting(lines, "vt ").size(), 4u);
  EXPECT_EQ(lines_starting(lines, "f "), (std::vector<std::string>{"f 1/1 2/2 3/3", "f 1/1 3/3 4/4"}));
}

// A 3D Studio ASCII object reads as the mirror hall reads it: its axes
// swapped (the file's Z is up), texture coordinates on the vertices.
TEST(ModelTool, StudioInfoAndObj) {
  testkit_tempdir dir(true);
  testkit_write_text("pane.asc", "Named object: \"Pane\"\nTri-mesh, Vertices: 3     Faces: 1\nMapped\nVertex list:\n"
                                 "Vertex 0:  X:0  Y:2  Z:1  U:0.5  V:0.25\nVertex 1:  X:1  Y:0  Z:0  U:0  V:0\n"
                                 "Vertex 2:  X:-1  Y:0  Z:0  U:1  V:1\nFace list:\nFace 0:  A:0 B:2 C:1\n");
  std::string out, err;
  ASSERT_EQ(run_model("info pane.asc", &out, &err), 0) << err;
  EXPECT_EQ(out, "pane.asc: 3D Studio ASCII object\nname: \"Pane\"\nvertices: 3\nfaces: 1\n"
                 "texture coordinates: yes\nbounds: -1 0 0 to 1 1 2\nradius: 2.23607\n");
  ASSERT_EQ(run_model("obj pane.asc pane.obj", &out, &err), 0) << err;
  const std::vector<std::string> lines = lines_of("pane.obj");
  EXPECT_EQ(lines_starting(lines, "v "), (std::vector<std::string>{"v 0 1 2", "v 1 0 0", "v -1 0 0"}));
  EXPECT_EQ(lines_starting(lines, "vt ")[1], "vt 0.01 0.01") << "limited as the hall limits them";
  EXPECT_EQ(lines_starting(lines, "f "), (std::vector<std::string>{"f 1/1 3/3 2/2"}));
}

TEST(ModelTool, Errors) {
  testkit_tempdir dir(true);
  testkit_write_text("junk.lwo", "not an object");
  testkit_write_text("junk.ase", "*A 1 *B 2 *GEOMOBJECT { *MESH { ");
  testkit_write_text("thing.asc", "Named object: \"x\"");
  testkit_write_text("mystery.bin", "hello");
  struct bad {
    std::string args;
    std::string message;
  };
  const bad cases[] = {
      {"info missing.lwo", "model: missing.lwo: cannot read as a LightWave object\n"},
      {"info junk.lwo", "model: junk.lwo: cannot read as a LightWave object\n"},
      {"info junk.ase", "model: junk.ase: cannot read as an ASCII scene\n"},
      {"info thing.asc",
       "model: thing.asc: cannot read as a 3D Studio ASCII object ([ASC Loader]: Other (undeterminant) error.)\n"},
      {"info missing.asc", "model: missing.asc: cannot read as a 3D Studio ASCII object ([ASC Loader]: Unable to open "
                           "file.)\n"},
      {"info mystery.bin", "model: mystery.bin: not an object or scene file this tool reads\n"},
  };
  for (const bad& b : cases) {
    std::string out, err;
    EXPECT_NE(run_model(b.args, &out, &err), 0) << b.args;
    EXPECT_EQ(err, b.message) << b.args;
  }
  testkit_write_file("ok.lwo", tool_object());
  std::string out, err;
  EXPECT_NE(run_model("obj ok.lwo no/such/folder/x.obj", &out, &err), 0);
  EXPECT_EQ(err, "model: no/such/folder/x.obj: cannot write\n");
  EXPECT_NE(run_model("info", &out, &err), 0);
  EXPECT_NE(err, "");
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
  // Without an extension the first bytes tell the format.
  testkit_write_file("noext", tool_object());
  EXPECT_EQ(run_model("info noext", &out, &err), 0) << err;
  EXPECT_NE(out.find("noext: LightWave object"), std::string::npos);
}

} // namespace

// Every object and scene file the forge makes reads whole: info names no
// texture that failed to load, and the OBJ holds as many triangles as info
// counts; the mirror hall's objects read whole.
TEST(ModelTool, EveryObjectAndSceneTheForgeMakes) {
  testkit_tempdir dir(true);
  int checked = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(std::string(FORGE_TREE) + "/data")) {
    const std::string ext = entry.path().extension().string();
    if (ext != ".lwo" && ext != ".ase" && ext != ".asc")
      continue;
    const std::string path = entry.path().string();
    std::string out, err;
    ASSERT_EQ(run_model("info " + path, &out, &err), 0) << path << ": " << err;
    EXPECT_EQ(out.find("(not loaded)"), std::string::npos) << path << ":\n" << out;
    ASSERT_EQ(run_model("obj " + path + " out.obj", &out, &err), 0) << path << ": " << err;
    const std::vector<std::string> faces = lines_starting(lines_of("out.obj"), "f ");
    EXPECT_FALSE(faces.empty()) << path;
    checked++;
  }
  EXPECT_GE(checked, 1);
}
