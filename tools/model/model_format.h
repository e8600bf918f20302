// Which object or scene format a file holds, for the model tool.
#pragma once

#include <string>

enum model_format { MODEL_UNKNOWN, MODEL_LIGHTWAVE, MODEL_SCENE, MODEL_STUDIO };

// By the extension (".lwo", ".ase", ".asc", case ignored), else by the first
// bytes ("FORM" for LightWave, '*' for a scene). MODEL_UNKNOWN when the file
// cannot be opened or says nothing.
model_format model_format_of(const std::string& path);
const char* model_format_name(model_format format);

// The folder of a path with its trailing '/', or "./" for a bare name.
std::string model_folder_of(const std::string& path);
