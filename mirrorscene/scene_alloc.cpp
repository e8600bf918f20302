// The scene's arrays and the records it owns. Unlike the design it mends, a
// failed allocation releases everything allocated before it.
#include "mirror_scene.h"

#include <cstdlib>

namespace {
// An array of count pointers, or none for a count of 0. False when a
// positive count cannot be allocated (a negative count is refused too).
template <typename T> bool scene_array(T*** out, int32_t count) {
  *out = nullptr;
  if (count == 0)
    return true;
  if (count < 0)
    return false;
  *out = static_cast<T**>(std::calloc(size_t(count), sizeof(T*)));
  return *out != nullptr;
}

// One zeroed record in every slot of the array.
template <typename T> bool scene_records(T** array, int32_t count) {
  for (int32_t i = 0; i < count; i++) {
    array[i] = static_cast<T*>(std::calloc(1, sizeof(T)));
    if (!array[i])
      return false;
  }
  return true;
}

template <typename T> void scene_free_records(T** array, int32_t count) {
  if (!array)
    return;
  for (int32_t i = 0; i < count; i++)
    std::free(array[i]);
  std::free(array);
}

int32_t scene_alloc_fail(mirror_scene* scene, int32_t code) {
  mirror_scene_free(scene);
  scene_error = code;
  return 0;
}
// The scene's arrays, none held.
void scene_clear_arrays(mirror_scene* s) {
  s->imagemaps = nullptr;
  s->objects = nullptr;
  s->cameras = nullptr;
  s->mothers = nullptr;
  s->mirrors = nullptr;
  s->tvs = nullptr;
  s->flares = nullptr;
  s->omnis = nullptr;
  s->spots = nullptr;
  s->face_buffer = nullptr;
  s->face_buffer_size = 0;
}
} // namespace

int32_t mirror_scene_alloc(mirror_scene* s) {
  scene_clear_arrays(s);
  if (!scene_array(&s->objects, s->object_count))
    return scene_alloc_fail(s, SCENE_ERROR_OBJECTS);
  if (s->camera_count < 1)
    return scene_alloc_fail(s, SCENE_ERROR_NO_CAMERA);
  if (!scene_array(&s->cameras, s->camera_count))
    return scene_alloc_fail(s, SCENE_ERROR_CAMERAS);
  if (!scene_array(&s->mothers, s->mother_count))
    return scene_alloc_fail(s, SCENE_ERROR_MOTHERS);
  if (!scene_array(&s->flares, s->flare_count))
    return scene_alloc_fail(s, SCENE_ERROR_FLARES);
  if (!scene_array(&s->imagemaps, s->imagemap_count))
    return scene_alloc_fail(s, SCENE_ERROR_IMAGEMAPS);
  if (!scene_array(&s->mirrors, s->mirror_count))
    return scene_alloc_fail(s, SCENE_ERROR_MIRRORS);
  if (!scene_array(&s->tvs, s->tv_count))
    return scene_alloc_fail(s, SCENE_ERROR_TVS);
  if (!scene_array(&s->spots, s->spot_count))
    return scene_alloc_fail(s, SCENE_ERROR_SPOTS);
  if (!scene_array(&s->omnis, s->omni_count))
    return scene_alloc_fail(s, SCENE_ERROR_OMNIS);
  if (!scene_records(s->cameras, s->camera_count))
    return scene_alloc_fail(s, SCENE_ERROR_CAMERA);
  if (!scene_records(s->mirrors, s->mirror_count))
    return scene_alloc_fail(s, SCENE_ERROR_MIRROR);
  if (!scene_records(s->tvs, s->tv_count))
    return scene_alloc_fail(s, SCENE_ERROR_TV);
  if (!scene_records(s->flares, s->flare_count)) // margin (the third word) starts at 0
    return scene_alloc_fail(s, SCENE_ERROR_FLARE);
  if (!scene_records(s->spots, s->spot_count))
    return scene_alloc_fail(s, SCENE_ERROR_SPOT);
  if (!scene_records(s->omnis, s->omni_count))
    return scene_alloc_fail(s, SCENE_ERROR_OMNI);
  return 1;
}

int32_t lens_flare_alloc(lens_flare* flare, int32_t elements) {
  std::free(flare->images);
  std::free(flare->offsets);
  const size_t n = elements > 0 ? size_t(elements) : 0;
  flare->images = static_cast<int32_t*>(std::calloc(n + 1, sizeof(int32_t)));
  flare->offsets = static_cast<float*>(std::calloc(n + 1, sizeof(float)));
  flare->element_count = flare->images && flare->offsets ? int32_t(n) : 0;
  return flare->element_count == int32_t(n) && flare->images && flare->offsets;
}

int32_t mirror_scene_alloc_faces(mirror_scene* s) {
  std::free(s->face_buffer);
  s->face_buffer_size = s->total_faces > 0 ? s->total_faces : 0;
  s->face_buffer = static_cast<scene_face_ref*>(std::calloc(size_t(s->face_buffer_size) + 1, sizeof(scene_face_ref)));
  if (!s->face_buffer)
    s->face_buffer_size = 0;
  return s->face_buffer != nullptr;
}

void mirror_scene_free(mirror_scene* s) {
  std::free(s->objects);
  std::free(s->mothers);
  std::free(s->imagemaps);
  scene_free_records(s->cameras, s->camera_count);
  scene_free_records(s->mirrors, s->mirror_count);
  scene_free_records(s->tvs, s->tv_count);
  for (int32_t i = 0; s->flares && i < s->flare_count; i++)
    if (s->flares[i]) {
      std::free(s->flares[i]->images);
      std::free(s->flares[i]->offsets);
    }
  scene_free_records(s->flares, s->flare_count);
  scene_free_records(s->spots, s->spot_count);
  scene_free_records(s->omnis, s->omni_count);
  std::free(s->face_buffer);
  scene_clear_arrays(s);
}
