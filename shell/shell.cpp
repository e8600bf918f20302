#include "shell.h"

#include "blend.h"
#include "hidden.h"
#include "loading.h"
#include "music.h"
#include "pcx.h"
#include "random.h"
#include "render_context.h"
#include "shade.h"
#include "tga.h"
#include "vfs.h"

#include "blurp.h"
#include "dcube.h"
#include "endpart.h"
#include "galaxy.h"
#include "hypervoxel.h"
#include "icube.h"
#include "intro.h"
#include "lobj.h"
#include "magnet.h"
#include "mirrors.h"
#include "net.h"
#include "qube.h"
#include "seqzoom.h"
#include "tunnel.h"

#include <chrono>
#include <cstdio>
#include <cstring>

namespace {
// The music order Space sets when it leaves state s, at index s + 1.
constexpr uint32_t skip_orders[15] = {4, 6, 7, 8, 9, 11, 13, 17, 22, 25, 28, 30, 34, 36, 24};

constexpr int32_t KEY_ESCAPE = 27;
constexpr int32_t KEY_SPACE = 32;
constexpr int32_t KEY_PAUSE = 112;
constexpr int32_t LAST_STATE = 14;

// Everything start-up creates. It lives until the process ends and stays
// reachable from here.
struct shell_show {
  display_driver* driver;
  pixmap* frame;
  render_context* rc;
  uint8_t shade[SHADE_TABLE_BYTES];
  music_clock* clock;
  pixmap* loading_picture;
  loading_screen loading;
  int32_t hidden_mode;
  pixmap* sprite_picture;
  hidden_sprite sprite;
  show_context context; // what the effects' inits receive
};
shell_show show;

// The effects' inits in the order they run, each with its failure message.
struct effect_init {
  int32_t (*init)();
  const char* message;
};
const effect_init effect_inits[] = {
    {[] { return intro_init(show.clock, show.driver, show.rc, show.shade); }, "Unable to load intro files\n"},
    {[] { return seqzoom_init(show.clock, show.frame); }, "Unable to init seqzoomer!\n"},
    {[] { return icube_init(show.clock, show.frame, show.rc); }, "Unable to init i_cube!\n"},
    {[] { return tunnel_init(show.clock, show.frame); }, "Unable to init 3d-tunnel flight!\n"},
    {[] { return galaxy_init(show.clock, show.frame, show.shade); }, "Unable to init galaxy!"},
    {[] { return mirrors_init(&show.context); }, "Unable to init rimbel mirrors!\n"},
    {[] { return blurp_init(&show.context); }, "Unable to init blurp!\n"},
    {[] { return net_init(&show.context); }, "Unable to init 3d_net!\n"},
    {[] { return magnet_init(&show.context); }, "Unable to load magnet files\n"},
    {[] { return dcube_init(show.clock, show.driver, show.frame, show.shade); }, "Unable to init diffuse cube!\n"},
    {[] { return qube_init(&show.context); }, "Unable to init quben!\n"},
    {[] { return lobj_init(show.clock, show.frame, show.rc); }, "Unable to init lobj!\n"},
    {[] { return hypervoxel_init(&show.context); }, "Unable to init hypervoxel part!\n"},
};

// The one error path of start-up: the music stops (closing the audio
// device), the message goes to standard error and to the person watching.
// Standard error first names the file that could not be loaded, if any.
int shell_fatal(const shell_config* config, const char* message) {
  music_shutdown();
  if (const char* note = vfs_failure_text())
    std::fprintf(stderr, "%s\n", note);
  std::fputs(message, stderr);
  const size_t len = std::strlen(message);
  if (len == 0 || message[len - 1] != '\n')
    std::fputc('\n', stderr);
  if (config->message_box)
    config->message_box(message, "Error");
  if (config->result)
    config->result->exit_path = "fatal";
  return 1;
}

// A program runs the show once; tests run it several times in one process,
// and each run starts from nothing.
void shell_forget_previous_run() {
  if (show.rc)
    render_context_free(show.rc);
  if (show.frame)
    pixmap_free(show.frame);
  if (show.loading_picture)
    pixmap_free(show.loading_picture);
  if (show.sprite_picture)
    pixmap_free(show.sprite_picture);
  show = shell_show{};
}

// Start-up up to the display (steps 1 to 13). Returns -1 when it went well,
// else the exit status.
int shell_start(const shell_config* config) {
  shell_forget_previous_run();
  vfs_clear_failure();
  show.driver = config->driver;
  show.hidden_mode = hidden_readme_check();

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

  if (show.hidden_mode) {
    show.sprite_picture = tga_load("data/lillget1.tga");
    if (show.sprite_picture)
      hidden_sprite_begin(&show.sprite, show.sprite_picture);
    else
      show.hidden_mode = 0;
  }

  show.frame = pixmap_create(320, 240, PIXMAP_DEPTH | PIXMAP_CLEAR);
  if (!show.frame) {
    std::printf("%s\n", pixmap_error_text());
    if (config->result)
      config->result->exit_path = "fatal";
    return 1;
  }
  show.frame->flags ^= PIXMAP_DEPTH;

  show.rc = render_context_create(1, show.frame, 320, 240, 400.0f);
  if (!show.rc) {
    std::printf("%s\n", render_context_error_text());
    if (config->result)
      config->result->exit_path = "fatal";
    return 1;
  }

  shade_table_build(show.shade, 255, 0);

  if (!music_init(nullptr, 0x2000, 0))
    return shell_fatal(config, music_error_text());
  show.clock = music_clock_get();
  if (!show.clock)
    return shell_fatal(config, "No good start the dance!\n");
  if (!music_load("data/vorlane.xm"))
    return shell_fatal(config, music_error_text());

  show.loading_picture = pcx_load("data/loadpic.pcx");
  if (!show.loading_picture)
    return shell_fatal(config, "Unable to load startpic!\n");
  pixmap_blit(show.frame, 0, 0, show.loading_picture, 0, 0, 320, 240);
  loading_begin(&show.loading, show.loading_picture);

  build_mul_tables();

  display_driver* d = config->driver;
  if (!d->open(320, 240, "Vorlane by Pexil", 2) && !d->open(640, 480, "Vorlane by Pexil", 2))
    return shell_fatal(config, "Unable to open graphics mode!");
  show.context = show_context{show.clock, show.frame, show.shade, show.rc, show.driver, show_pictures{}};
  return -1;
}

uint32_t clock_order() { return show.clock->order; }
uint32_t clock_row() { return show.clock->row; }

// Draws the hidden sprite if its mode is on, presents the frame and reads
// one key: the common tail of every frame.
int32_t shell_finish_frame() {
  display_driver* d = show.driver;
  if (show.hidden_mode)
    hidden_sprite_step(&show.sprite, show.frame);
  d->present(0, 0, show.frame, 0, 0, show.frame->width, show.frame->height);
  return d->read_key();
}

void shell_observe(const shell_config* config, int32_t state, int32_t stepped, double step_us) {
  if (!config->frame_observer)
    return;
  const shell_frame_info info{state, stepped, step_us, clock_order(), clock_row(), show.frame->flags};
  config->frame_observer(config->context, &info);
}

double elapsed_us(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - since).count();
}

// One step of the current state; returns the state for the next frame.
int32_t shell_step(int32_t state, int32_t* quit, int32_t* done) {
  switch (state) {
  case -1:
    galaxy_frame();
    return clock_order() >= 4 ? 0 : -1;
  case 0:
  case 1:
  case 2:
    return intro_frame(state) ? state : state + 1;
  case 3:
    return seqzoom_frame() ? 3 : 4;
  case 4:
    return icube_frame() ? 4 : 5;
  case 5:
    return blurp_frame() ? 5 : 6;
  case 6:
    return mirrors_frame() ? 6 : 7;
  case 7:
    tunnel_frame();
    if (clock_order() < 22)
      return 7;
    show.frame->flags ^= PIXMAP_DEPTH; // the flight switched depth on
    return 8;
  case 8:
    return magnet_frame() ? 8 : 9;
  case 9:
    return qube_frame() ? 9 : 10;
  case 10:
    return net_frame() ? 10 : 11;
  case 11:
    return hypervoxel_frame() ? 11 : 12;
  case 12:
    return dcube_frame() ? 12 : 13;
  case 13:
    return lobj_frame() ? 13 : 14;
  default:
    *done = 1;
    *quit = 1;
    return state;
  }
}

// The end part with its own song; returns how it was left.
const char* shell_end_part(const shell_config* config) {
  display_driver* d = show.driver;
  music_timer_stop();
  music_stop(0);
  music_load("data/endpart.xm"); // a song that fails to load is not reported
  music_play(0);
  music_timer_start(0.1f);
  for (;;) {
    const auto t0 = std::chrono::steady_clock::now();
    const int32_t running = endpart_frame();
    const double us = elapsed_us(t0);
    d->wait_retrace();
    music_clock_update();
    const int32_t key = shell_finish_frame();
    shell_observe(config, SHELL_END_PART, 1, us);
    if (key == KEY_ESCAPE)
      return "escape";
    if (!running)
      return "end";
    if (config->stop_requested && config->stop_requested(config->context))
      return "limit";
  }
}
} // namespace

int shell_run(const shell_config* config) {
  shell_result local{};
  shell_result* result = config->result ? config->result : &local;
  *result = shell_result{-1, 0, "end"};

  const int status = shell_start(config);
  if (status >= 0)
    return status;
  display_driver* d = config->driver;

  for (const effect_init& e : effect_inits) {
    vfs_clear_failure(); // a file one init could do without is not the next one's fault
    if (!e.init()) {
      d->close();
      return shell_fatal(config, e.message);
    }
    loading_progress(&show.loading, d, show.frame);
  }

  music_play(0);
  music_timer_start(0.1f);

  int32_t state = -1, paused = 0, quit = 0, done = 0, limited = 0;
  while (!quit) {
    const int32_t ran = state;
    const auto t0 = std::chrono::steady_clock::now();
    if (!paused)
      state = shell_step(state, &quit, &done);
    const double us = elapsed_us(t0);
    d->wait_retrace();
    music_clock_update();
    const int32_t key = shell_finish_frame();
    shell_observe(config, ran, !paused, us);
    if (key == KEY_ESCAPE) {
      quit = 1;
      result->exit_path = "escape";
    } else if (key == KEY_SPACE && state < LAST_STATE) {
      // Space in the frame that reached the last state is ignored: the
      // sequence is over.
      music_set_order(int32_t(skip_orders[state + 1]));
      state++;
    } else if (key == KEY_PAUSE) {
      paused = !paused;
    }
    if (!quit && config->stop_requested && config->stop_requested(config->context)) {
      quit = 1;
      limited = 1;
    }
  }
  result->final_state = state;
  if (limited)
    result->exit_path = "limit";

  if (done) {
    if (!endpart_init(&show.context)) {
      d->close();
      return shell_fatal(config, "Unable to init endpart!\n");
    }
    result->end_part_ran = 1;
    result->exit_path = shell_end_part(config);
  }

  music_shutdown();
  d->close();
  return 0;
}
