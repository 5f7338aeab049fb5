// kra: takes the screen, plays the demo, exits. No arguments, no configuration.
#include <SDL.h>

#include "demo/entry.h"
#include "platform/audio_sdl.h"
#include "platform/counter.h"
#include "platform/message_box.h"
#include "platform/platform.h"
#include "platform/sdl_display.h"

int main(int, char**) {
  SdlDisplay display;
  SystemCounter counter;
  g_platform.display = &display;
  g_platform.counter = &counter;
  SdlAudioDevice audio;
  g_platform.audio = &audio;
  SetMessageBoxesEnabled(true);

  const int status = RunDemo();

  display.Destroy();
  SDL_Quit();
  return status;
}
