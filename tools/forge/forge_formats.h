// Files of the data tree made from pictures, maps and meshes through the
// writers, with the description --list prints.
#pragma once

#include "forge_plan.h"
#include "gif_writer.h"
#include "jpeg_writer.h"
#include "picture.h"
#include "scx_writer.h"
#include "tga_writer.h"

#include <string>

// Each fills file (name, format, bytes) and returns 1, or 0 with error set.
int forge_make_pcx8(const std::string& name, const indexed_picture* pic, forge_file* file, std::string* error);
int forge_make_pcx24(const std::string& name, const forge_picture* pic, forge_file* file, std::string* error);
int forge_make_gif(const std::string& name, const indexed_picture* pic, int32_t palette_place, forge_file* file,
                   std::string* error);
int forge_make_tga(const std::string& name, const forge_picture* pic, int32_t bits, int32_t origin, forge_file* file,
                   std::string* error);
int forge_make_jpeg(const std::string& name, const forge_picture* pic, const jpeg_options* options, forge_file* file,
                    std::string* error);
int forge_make_scx(const std::string& name, const scx_map* map, forge_file* file, std::string* error);
