// Scripted keys of demo_render: "SECONDS:KEY", where KEY is space, p,
// escape or a single character.
#pragma once

#include <cstdint>
#include <string>

struct render_key {
  double seconds;
  int32_t vk; // Windows virtual-key code
};

// Parses one --key argument. Returns 0 with error set when it is malformed.
int render_key_parse(const std::string& text, render_key* key, std::string* error);
