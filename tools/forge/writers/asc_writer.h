// 3D Studio ASCII object writer: one named object with its vertex list
// (texture coordinates on the vertex lines when mapped) and face list.
//
// The forge's axes are right-handed with y up; the format's are right-handed
// with z up: a point (x, y, z) is written (x, -z, y) and the corners keep
// their order. The mirror engine reads the file's z as its y, so it sees the
// object mirrored in z, like the other object formats, and its front faces
// are those that face the viewer here.
//
// Texture coordinates belong to vertices in this format: a position used
// with different coordinates by different faces is written once per pair.
#pragma once

#include "forge_mesh.h"

#include <string>

// The mirror engine reads lines of at most this many characters and names of
// at most ASC_WRITER_MAX_NAME.
constexpr size_t ASC_WRITER_MAX_LINE = 100;
constexpr size_t ASC_WRITER_MAX_NAME = 50;

// Replaces out with the file's text. 1, or 0 for an invalid mesh, a name that
// is empty, too long or holds a quote, or a line that would be too long.
int write_asc(const forge_mesh* m, const std::string& name, bool mapped, std::string* out);
