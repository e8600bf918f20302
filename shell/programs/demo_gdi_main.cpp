// demo_gdi: the show in a window.
#include "gdi.h"
#include "shell.h"
#include "video.h"

int main() {
  shell_config config{};
  config.driver = &gdi_driver;
  config.message_box = video_message_box;
  return shell_run(&config);
}
