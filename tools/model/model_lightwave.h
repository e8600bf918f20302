// The model tool's view of a LightWave object: a summary and OBJ output.
#pragma once

#include "mesh.h"

#include <string>

// Vertices, faces by kind, and every surface with its flags, colour and pictures.
std::string model_lightwave_describe(const mesh* m);

// Vertices, and faces grouped by surface: triangles as faces, lines as
// lines, dots as points. False when the file cannot be written.
bool model_lightwave_obj(const mesh* m, const std::string& source, const std::string& out_path);
