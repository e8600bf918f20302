// Decoding of one picture file with the system's readers, chosen by the
// file's extension, for the picture tool.
#pragma once

#include "pixmap.h"

#include <string>

enum picture_format { PICTURE_UNKNOWN, PICTURE_PCX, PICTURE_GIF, PICTURE_TGA, PICTURE_JPEG, PICTURE_SCX };

// The format named by the path's extension (case ignored).
picture_format picture_format_of(const std::string& path);
const char* picture_format_name(picture_format format);

// Decodes the file into a new pixmap; SCX maps become grey pixels with byte
// 3 = 255. None when the reader refuses the file.
pixmap* picture_decode(const std::string& path, picture_format format);

// Decodes a 24-bit, three-plane PCX file with the mirror engine's reader
// (whose runs may cross rows and planes). None when it refuses the file,
// with the reader's message in error.
pixmap* picture_decode_pcx24(const std::string& path, std::string* error);
bool picture_describe_pcx24(const std::string& path, std::string* text, std::string* error);

// Lines describing the file (format, size, kind), or false when the reader
// refuses its header.
bool picture_describe(const std::string& path, picture_format format, std::string* text);
