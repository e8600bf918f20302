#include "model_format.h"

#include "vfs.h"

#include <strings.h>

model_format model_format_of(const std::string& path) {
  const size_t dot = path.rfind('.');
  const size_t slash = path.find_last_of("/\\");
  if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) {
    const std::string ext = path.substr(dot + 1);
    if (strcasecmp(ext.c_str(), "lwo") == 0)
      return MODEL_LIGHTWAVE;
    if (strcasecmp(ext.c_str(), "ase") == 0)
      return MODEL_SCENE;
    if (strcasecmp(ext.c_str(), "asc") == 0)
      return MODEL_STUDIO;
  }
  vfs_file* f = vfs_open(path.c_str(), "rb");
  if (!f)
    return MODEL_UNKNOWN;
  char head[4] = {};
  const int32_t got = vfs_read(head, 1, 4, f);
  vfs_close(f);
  if (got == 4 && head[0] == 'F' && head[1] == 'O' && head[2] == 'R' && head[3] == 'M')
    return MODEL_LIGHTWAVE;
  if (got >= 1 && head[0] == '*')
    return MODEL_SCENE;
  return MODEL_UNKNOWN;
}

const char* model_format_name(model_format format) {
  switch (format) {
  case MODEL_LIGHTWAVE:
    return "LightWave object";
  case MODEL_SCENE:
    return "ASCII scene";
  case MODEL_STUDIO:
    return "3D Studio ASCII object";
  default:
    return "unknown";
  }
}

std::string model_folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}
