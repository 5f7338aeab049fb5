// kra-view's window: the frame scaled up in an SDL window, played on the wall clock.
#pragma once

#include "resource/texture.h"
#include "view_content.h"
#include "view_options.h"

// Shows the content until Escape or a close request: 0 then; 1, with the reason on stderr,
// when no window can be opened. Space pauses, Left and Right step one second, R reloads
// every file, E and O switch environment mapping and outlines.
int RunViewWindow(ViewOptions options, ViewContent* content, Texture* frame);
