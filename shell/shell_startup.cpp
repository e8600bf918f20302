// Start-up: the readme check, the file device, the frame and the render
// context, the shade table, the music and its song, the loading picture, the
// blending tables, the display, and the effects' inits behind the loading bar.
#include "blend.h"
#include "effect.h"
#include "pcx.h"
#include "shell_parts.h"
#include "tga.h"
#include "vfs.h"

#include <cstdio>
#include <cstring>

namespace {
const char* const SHELL_TITLE = "Vorlane by Pexil";
constexpr int32_t SHELL_FRAME_WIDTH = 320;
constexpr int32_t SHELL_FRAME_HEIGHT = 240;
constexpr float SHELL_FOCAL = 400.0f;
// The shared render context's tag (effects' own contexts carry 0).
constexpr int32_t SHELL_CONTEXT_TAG = 1;
// The display's second try, when the frame's own size cannot be opened.
constexpr int32_t SHELL_RETRY_WIDTH = 640;
constexpr int32_t SHELL_RETRY_HEIGHT = 480;

// A program runs the show once; tests run it several times in one process,
// and each run starts from nothing.
void shell_forget_previous_run() {
  shell_show& s = shell_state;
  if (s.rc)
    render_context_free(s.rc);
  if (s.frame)
    pixmap_free(s.frame);
  if (s.loading_picture)
    pixmap_free(s.loading_picture);
  if (s.sprite_picture)
    pixmap_free(s.sprite_picture);
  s = shell_show{};
}

// Makes the device named "pfs_device" the active one. Returns -1 when it
// went well, else the exit status.
int shell_choose_device(const shell_config* config) {
  int32_t count = 0;
  vfs_device** devices = vfs_device_list(&count);
  int found = 0;
  for (int32_t i = 0; devices && i < count; i++) {
    std::fprintf(stderr, "%i,%s\n", int(i), devices[i]->name);
    if (std::strcmp(devices[i]->name, "pfs_device") != 0)
      continue;
    if (!vfs_device_enable(devices[i], 0))
      return shell_fatal(config, "Unable to enable device!\n");
    if (!vfs_device_init(devices[i], 0, 0))
      return shell_fatal(config, "Unable to init virtual filesystem\n");
    found = 1;
  }
  if (!found)
    return shell_fatal(config, "Unable to locate virtual filesystem device!\n");
  return -1;
}

// A failure reported only as a line on standard output.
int shell_quiet_failure(const shell_config* config, const char* text) {
  std::printf("%s\n", text);
  if (config->result)
    config->result->exit_path = "fatal";
  return 1;
}
} // namespace

int shell_start(const shell_config* config) {
  shell_forget_previous_run();
  vfs_clear_failure();
  shell_show& s = shell_state;
  s.driver = config->driver;
  s.hidden_mode = hidden_readme_check();

  const int device = shell_choose_device(config);
  if (device >= 0)
    return device;

  if (s.hidden_mode) {
    s.sprite_picture = tga_load("data/lillget1.tga");
    if (s.sprite_picture)
      hidden_sprite_begin(&s.sprite, s.sprite_picture);
    else
      s.hidden_mode = 0;
  }

  s.frame = pixmap_create(SHELL_FRAME_WIDTH, SHELL_FRAME_HEIGHT, PIXMAP_DEPTH | PIXMAP_CLEAR);
  if (!s.frame)
    return shell_quiet_failure(config, pixmap_error_text());
  // The depth buffer stays; filling the frame leaves it alone until an
  // effect switches the flag back on.
  s.frame->flags ^= PIXMAP_DEPTH;

  s.rc = render_context_create(SHELL_CONTEXT_TAG, s.frame, SHELL_FRAME_WIDTH, SHELL_FRAME_HEIGHT, SHELL_FOCAL);
  if (!s.rc)
    return shell_quiet_failure(config, render_context_error_text());

  shade_table_build(s.shade, 255, 0);

  if (!music_init(nullptr, MUSIC_INIT_MEMORY, 0))
    return shell_fatal(config, music_error_text());
  s.clock = music_clock_get();
  if (!s.clock)
    return shell_fatal(config, "No good start the dance!\n");
  if (!music_load("data/vorlane.xm"))
    return shell_fatal(config, music_error_text());

  s.loading_picture = pcx_load("data/loadpic.pcx");
  if (!s.loading_picture)
    return shell_fatal(config, "Unable to load startpic!\n");
  pixmap_blit(s.frame, 0, 0, s.loading_picture, 0, 0, SHELL_FRAME_WIDTH, SHELL_FRAME_HEIGHT);
  loading_begin(&s.loading, s.loading_picture);

  build_mul_tables();

  display_driver* d = config->driver;
  if (!d->open(SHELL_FRAME_WIDTH, SHELL_FRAME_HEIGHT, SHELL_TITLE, DISPLAY_OPEN_16_BITS) &&
      !d->open(SHELL_RETRY_WIDTH, SHELL_RETRY_HEIGHT, SHELL_TITLE, DISPLAY_OPEN_16_BITS))
    return shell_fatal(config, "Unable to open graphics mode!");
  s.context = show_context{.clock = s.clock, .frame = s.frame, .shade = s.shade, .rc = s.rc, .driver = s.driver};
  return -1;
}

int shell_init_effects(const shell_config* config) {
  display_driver* d = config->driver;
  for (int32_t order = 1; order <= effect_init_count; order++)
    for (const effect& e : effect_table) {
      if (e.init_order != order)
        continue;
      vfs_clear_failure(); // a file one init could do without is not the next one's fault
      if (!e.init(&shell_state.context)) {
        d->close();
        return shell_fatal(config, e.init_message);
      }
      loading_progress(&shell_state.loading, d, shell_state.frame);
    }
  return -1;
}
