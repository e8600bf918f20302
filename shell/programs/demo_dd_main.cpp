// demo_dd: the show full screen, in the classic mode scaled to the display.
#include "directdraw.h"
#include "shell.h"
#include "video.h"

int main() {
  shell_config config{};
  config.driver = &directdraw_driver;
  config.message_box = video_message_box;
  return shell_run(&config);
}
