// The model tool's view of a 3D Studio ASCII object (read as the mirror hall
// reads its textured objects): a summary and OBJ output.
#pragma once

#include "mirror_scene.h"

#include <string>

// Name, vertex and face counts, whether the vertices carry texture
// coordinates, the bounding box and the farthest vertex's distance.
std::string model_studio_describe(const asc_object* o);

// The vertices (in the engine's axes), texture coordinates when the file
// has them, and the faces. False when the file cannot be written.
bool model_studio_obj(const asc_object* o, const std::string& source, const std::string& out_path);
