#include "scene_fixtures.h"

#include "mem.h"
#include "testkit.h"
#include "vfs.h"

#include <cstring>
#include <filesystem>

lwo_bytes& lwo_bytes::u8(uint32_t v) {
  b.push_back(uint8_t(v));
  return *this;
}

lwo_bytes& lwo_bytes::u16(uint32_t v) { return u8(v >> 8).u8(v); }

lwo_bytes& lwo_bytes::u32(uint32_t v) { return u16(v >> 16).u16(v); }

lwo_bytes& lwo_bytes::f32(float v) {
  uint32_t bits;
  std::memcpy(&bits, &v, 4);
  return u32(bits);
}

lwo_bytes& lwo_bytes::id(const char* four) {
  for (int i = 0; i < 4; i++)
    u8(uint8_t(four[i]));
  return *this;
}

lwo_bytes& lwo_bytes::name(const std::string& s) {
  text(s);
  if ((s.size() + 1) % 2)
    u8(0);
  return *this;
}

lwo_bytes& lwo_bytes::text(const std::string& s) {
  for (char c : s)
    u8(uint8_t(c));
  return u8(0);
}

lwo_bytes& lwo_bytes::raw(const scene_bytes& more) {
  b.insert(b.end(), more.begin(), more.end());
  return *this;
}

scene_bytes lwo_chunk(const char* id, const scene_bytes& data) {
  return lwo_bytes().id(id).u32(uint32_t(data.size())).raw(data).b;
}

scene_bytes lwo_form(const std::vector<scene_bytes>& chunks) {
  lwo_bytes body;
  body.id("LWOB");
  for (const scene_bytes& c : chunks)
    body.raw(c);
  return lwo_bytes().id("FORM").u32(uint32_t(body.b.size())).raw(body.b).b;
}

scene_bytes lwo_points(const std::vector<lwo_point>& points) {
  lwo_bytes d;
  for (const lwo_point& p : points)
    d.f32(p.x).f32(p.y).f32(p.z);
  return lwo_chunk("PNTS", d.b);
}

scene_bytes lwo_surface_names(const std::vector<std::string>& names) {
  lwo_bytes d;
  for (const std::string& n : names)
    d.name(n);
  return lwo_chunk("SRFS", d.b);
}

static void put_polygon(lwo_bytes* d, const lwo_polygon& p) {
  d->u16(uint32_t(p.index.size()));
  for (uint32_t i : p.index)
    d->u16(i);
  if (p.details.empty()) {
    d->u16(p.surface);
    return;
  }
  d->u16(p.surface | 0x8000).u16(uint32_t(p.details.size()));
  for (const lwo_polygon& detail : p.details)
    put_polygon(d, detail);
}

scene_bytes lwo_polygons(const std::vector<lwo_polygon>& polygons) {
  lwo_bytes d;
  for (const lwo_polygon& p : polygons)
    put_polygon(&d, p);
  return lwo_chunk("POLS", d.b);
}

scene_bytes lwo_sub(const char* id, const scene_bytes& data) {
  return lwo_bytes().id(id).u16(uint32_t(data.size())).raw(data).b;
}

scene_bytes lwo_surf(const std::string& name, const std::vector<scene_bytes>& subs) {
  lwo_bytes d;
  d.name(name);
  for (const scene_bytes& s : subs)
    d.raw(s);
  return lwo_chunk("SURF", d.b);
}

scene_watch scene_watch_now() {
  // The file layer keeps released handle records for reuse: make sure one is
  // there, so a reader's first open does not count as a block kept.
  vfs_close(vfs_open("/proc/self/exe", "rb"));
  int fds = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
    fds++;
  return {mem_blocks, fds};
}

::testing::AssertionResult scene_released(const scene_watch& before) {
  const scene_watch now = scene_watch_now();
  if (now.blocks != before.blocks)
    return ::testing::AssertionFailure() << int64_t(now.blocks) - int64_t(before.blocks) << " memory blocks kept";
  if (now.fds != before.fds)
    return ::testing::AssertionFailure() << now.fds - before.fds << " files left open";
  return ::testing::AssertionSuccess();
}

void scene_mutate(const std::string& path, const scene_bytes& file, uint32_t seed,
                  const std::function<void(const scene_bytes&)>& check) {
  for (size_t cut = 0; cut < file.size(); cut++) {
    const scene_bytes part(file.begin(), file.begin() + std::ptrdiff_t(cut));
    std::remove(path.c_str());
    testkit_write_file(path, part);
    check(part);
  }
  const scene_bytes noise = testkit_random_bytes(4 * file.size() + 64, seed);
  for (size_t i = 0; i < file.size(); i++) {
    for (int variant = 0; variant < 2; variant++) {
      scene_bytes changed = file;
      changed[i] = variant == 0 ? uint8_t(changed[i] ^ (1u << (noise[i] % 8))) : noise[file.size() + i];
      if (variant == 1 && changed[i] == file[i])
        changed[i] ^= 0xFF;
      std::remove(path.c_str());
      testkit_write_file(path, changed);
      check(changed);
    }
  }
}

std::string ase_sample_text() {
  return R"(*3DSMAX_ASCIIEXPORT	200
*COMMENT "AsciiExport Version  2,00 - Sat Jan 01 00:00:00 2000"
*SCENE {
	*SCENE_FILENAME "tunnel.max"
	*SCENE_FIRSTFRAME 0
	*SCENE_FRAMESPEED 25
}
*MATERIAL_LIST {
	*MATERIAL_COUNT 2
	*MATERIAL 0 {
		*MATERIAL_NAME "Stone Wall"
		*MATERIAL_CLASS "Standard"
		*MATERIAL_AMBIENT 0.1000	0.1000	0.1000
		*MAP_DIFFUSE {
			*MAP_NAME "Map #1"
			*MAP_CLASS "Bitmap"
			*MAP_AMOUNT 1.0000
			*BITMAP "C:\3dsmax\maps\wall.jpg"
			*UVW_ANGLE 0.5000
		}
	}
	*MATERIAL 1 {
		*MATERIAL_NAME "Floor"
		*MAP_DIFFUSE {
			*BITMAP "floor.jpg"
		}
	}
}
*GEOMOBJECT {
	*NODE_NAME "Square"
	*NODE_PARENT "Group01"
	*NODE_TM {
		*NODE_NAME "Square"
		*INHERIT_POS 0 0 0
		*TM_ROW0 1.0000	0.0000	0.0000
		*TM_ROW3 10.0000	20.0000	30.0000
		*TM_POS 10.0000	20.0000	30.0000
		*TM_ROTAXIS 0.0000	0.0000	1.0000
		*TM_ROTANGLE 1.5000
		*TM_SCALE 2.0000	2.0000	2.0000
		*TM_SCALEAXISANG 0.2500
	}
	*MESH {
		*TIMEVALUE 0
		*MESH_NUMVERTEX 4
		*MESH_NUMFACES 2
		*MESH_VERTEX_LIST {
			*MESH_VERTEX    0	0.0000	0.0000	0.0000
			*MESH_VERTEX    1	1.0000	0.0000	0.0000
			*MESH_VERTEX    2	1.0000	1.0000	0.0000
			*MESH_VERTEX    3	0.0000	1.0000	-2.5000
		}
		*MESH_FACE_LIST {
			*MESH_FACE    0:    A:    0 B:    1 C:    2 AB:    1 BC:    0 CA:    1	 *MESH_SMOOTHING 1,2 	*MESH_MTLID 0
			*mesh_face    1:    A:    0 B:    2 C:    3 AB:    0 BC:    1 CA:    0	 *MESH_SMOOTHING 	*MESH_MTLID 1
		}
		*MESH_NUMTVERTEX 4
		*MESH_TVERTLIST {
			*MESH_TVERT 0	0.0000	0.0000	0.0000
			*MESH_TVERT 1	1.0000	0.0000	0.0000
			*MESH_TVERT 2	1.0000	1.0000	0.0000
			*MESH_TVERT 3	0.0000	1.0000	0.5000
		}
		*MESH_NUMTVFACES 2
		*MESH_TFACELIST {
			*MESH_TFACE 0	0	1	2
			*MESH_TFACE 1	0	2	3
		}
		*MESH_NORMALS {
			*MESH_FACENORMAL 0	0.0000	0.0000	1.0000
				*MESH_VERTEXNORMAL 0	0.0000	0.0000	1.0000
		}
	}
	*PROP_MOTIONBLUR 0
	*MATERIAL_REF 1
	*TM_ANIMATION {
		*NODE_NAME "Square"
		*CONTROL_POS_BEZIER {
			*CONTROL_BEZIER_POS_KEY 0	1.0 2.0 3.0	0 0 0	0 0 0	0
			*CONTROL_BEZIER_POS_KEY 10	4.0 5.0 6.0	0 0 0	0 0 0	0
		}
		*CONTROL_ROT_TCB {
			*CONTROL_TCB_ROT_KEY 0	0.0 0.0 1.0 0.5	0 0 0 0 0
		}
		*CONTROL_SCALE_TRACK {
			*CONTROL_SCALE_SAMPLE 0 1 1 1 0 0 0 0
		}
	}
}
*CAMERAOBJECT {
	*NODE_NAME "Camera01"
	*CAMERA_TYPE Target
	*NODE_TM {
		*NODE_NAME "Camera01"
		*TM_POS 1.0000	2.0000	3.0000
	}
	*NODE_TM {
		*NODE_NAME "Camera01.Target"
		*TM_POS 4.0000	5.0000	6.0000
	}
	*CAMERA_SETTINGS {
		*TIMEVALUE 0
		*CAMERA_FOV 0.7854
	}
	*TM_ANIMATION {
		*NODE_NAME "Camera01"
		*CONTROL_POS_BEZIER {
			*CONTROL_BEZIER_POS_KEY 0	1 2 3	0 0 0	0 0 0	0
			*CONTROL_BEZIER_POS_KEY 5	1 2 4	0 0 0	0 0 0	0
			*CONTROL_BEZIER_POS_KEY 10	1 2 5	0 0 0	0 0 0	0
		}
	}
}
*LIGHTOBJECT {
	*NODE_NAME "Omni01"
	*LIGHT_SETTINGS {
		*LIGHT_COLOR 1.0 1.0 1.0
	}
}
*HELPEROBJECT {
	*NODE_NAME "Dummy01"
	*HELPER_CLASS "Dummy"
	*BOUNDINGBOX_MIN -1.0000	-2.0000	-3.0000
	*BOUNDINGBOX_MAX 1.0000	2.0000	3.0000
}
*GROUP "Group01" {
	*HELPEROBJECT {
		*NODE_NAME "Group01"
		*HELPER_CLASS "Dummy"
	}
	*GROUP "Inner" {
		*GEOMOBJECT {
			*NODE_NAME "Tiny"
			*node_name "Lower"
			*MATERIAL_REF 1.0
		}
	}
}
)";
}
