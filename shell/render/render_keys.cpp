#include "render_keys.h"

#include "display.h"

#include <cmath>
#include <cstdlib>

// The virtual-key code whose translation gives the character c.
static int32_t render_key_vk(char c) {
  if (c >= 'a' && c <= 'z')
    return c - 32;
  if (c >= 'A' && c <= 'Z')
    return c;
  if (c == '+')
    return VK_ADD;
  if (c == '-')
    return VK_SUBTRACT;
  if (c >= 0 && c <= 64)
    return c;
  return -1;
}

int render_key_parse(const std::string& text, render_key* key, std::string* error) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 >= text.size()) {
    *error = "--key wants SECONDS:KEY, got '" + text + "'";
    return 0;
  }
  const std::string when = text.substr(0, colon), name = text.substr(colon + 1);
  char* end = nullptr;
  const double seconds = std::strtod(when.c_str(), &end);
  if (end == when.c_str() || *end || !std::isfinite(seconds) || seconds < 0) {
    *error = "--key: '" + when + "' is not a time in seconds";
    return 0;
  }
  int32_t vk = -1;
  if (name == "space")
    vk = VK_SPACE;
  else if (name == "escape" || name == "esc")
    vk = VK_ESCAPE;
  else if (name.size() == 1)
    vk = render_key_vk(name[0]);
  if (vk < 0) {
    *error = "--key: unknown key '" + name + "' (space, p, escape or one character)";
    return 0;
  }
  *key = {seconds, vk};
  return 1;
}
