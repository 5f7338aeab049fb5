// Backdrops: the opaque full-frame image a part paints first, frame after frame. The frame
// buffer remembers which rows the last paint drew over it (BackdropDamage), so the next
// paint over the same backdrop puts it back only there.
#pragma once

#include "display/image_blit.h"
#include "resource/texture.h"

// Whether the image covers a frame of width by height with opaque pixels: whatever the frame
// held before is then never seen, so the frame needs no clearing, and the damage record can
// put it back row by row (an image with alpha would blend over what the frame held).
bool ImageCoversFrame(const Texture& image, int32_t width, int32_t height);

// The backdrop copied into the rows of the frame that may differ from it (every row when the
// frame's record says nothing of this backdrop), except the rows in composed, which the
// caller has just made from the backdrop itself.
void PutBackBackdrop(Texture* frame, const Texture& backdrop, RowSpan composed);

// The rows drawn over the backdrop since it was put back, for the next paint.
void KeepBackdropDamage(Texture* frame, const Texture& backdrop, RowSpan drawn);

// A paint that is the backdrop alone (DrawImage at 0, 0 when it does not cover the frame).
void PaintBackdrop(Texture* frame, const Texture& backdrop);

// The smallest span holding both.
RowSpan Hull(RowSpan a, RowSpan b);
