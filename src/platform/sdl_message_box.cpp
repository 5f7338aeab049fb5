// Message boxes on a desktop: SDL's simple message box, with no owner window.
#include <SDL.h>

#include "platform/message_box.h"

bool ShowSystemMessageBox(const char* text, const char* caption) {
  return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, nullptr) == 0;
}
