// demo_gdi: the show in a window.
#include "gdi.h"
#include "program_args.h"
#include "shell.h"
#include "video.h"

int main(int argc, char** argv) {
  const int answered = program_answer(argc, argv, "demo_gdi", "the Vorlane demo, in a window");
  if (answered >= 0)
    return answered;
  shell_config config{};
  config.driver = &gdi_driver;
  config.message_box = video_message_box;
  return shell_run(&config);
}
