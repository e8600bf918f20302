// demo_dd: the show full screen, in the classic mode scaled to the display.
#include "directdraw.h"
#include "program_args.h"
#include "shell.h"
#include "video.h"

int main(int argc, char** argv) {
  const int answered = program_answer(argc, argv, "demo_dd", "the Vorlane demo, full screen");
  if (answered >= 0)
    return answered;
  shell_config config{};
  config.driver = &directdraw_driver;
  config.message_box = video_message_box;
  return shell_run(&config);
}
