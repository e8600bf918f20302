// The model tool's view of an ASCII scene: a summary and OBJ output.
#pragma once

#include "ase.h"

#include <string>

// Materials with their bitmaps; geometry objects with vertex, face and
// texture-face counts; cameras, helpers and groups; the key counts of every
// animation track.
std::string model_scene_describe(const ase_scene* s);

// Every geometry object (those in groups too) as an OBJ object, in the
// scene's world space, with texture coordinates where every face has its
// texture face. False when the file cannot be written.
bool model_scene_obj(const ase_scene* s, const std::string& source, const std::string& out_path);
