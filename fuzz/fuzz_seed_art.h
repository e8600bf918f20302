// Seed material shared by the targets. Small pictures: gradients with a patch
// of noise, so the encoders meet both runs and detail.
#pragma once

#include "picture.h"

#include <cstdint>
#include <vector>

forge_picture fuzz_art_picture(int32_t width, int32_t height, uint32_t seed);
indexed_picture fuzz_art_indexed(int32_t width, int32_t height, int32_t colours, uint32_t seed);

// Two ASCII scenes written by the scene writer: a box with material, tracks
// and a camera, and the same inside nested groups beside a helper.
void fuzz_art_scenes(std::vector<std::vector<uint8_t>>* out);

struct pixmap;
// Reads every pixel of a reader's result (a short pixel block trips the
// sanitizers here), then frees it. 1 for a pixmap, 0 for none.
int fuzz_pixmap_release(pixmap* pm);
