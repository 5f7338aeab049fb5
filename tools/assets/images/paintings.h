// Every picture as a canvas, before it is encoded: the makers of pack/content.h encode these,
// and the preview composes them into sample frames the way the demo parts layer them.
#pragma once

#include "draw/canvas.h"

namespace assets {

Canvas PaintPresentsCard();
Canvas PaintTitleCard();
Canvas PaintCreditsCard();
Canvas PaintGreetingsCard();
Canvas PaintEndCard();

Canvas PaintSkyBackground();
Canvas PaintSunBackground();
Canvas PaintNightBackground();

Canvas PaintFrontWave();
Canvas PaintMiddleWave();
Canvas PaintRearWave();

Canvas PaintZiboBubble();
Canvas PaintZiboSecondBubble();
Canvas PaintObjectBubble();

}  // namespace assets
