#include "demo/backdrop.h"

#include <algorithm>

#include "demo/demo_state.h"

namespace {

void CopyBackdropRows(Texture* frame, const Texture& backdrop, int32_t top, int32_t bottom) {
  if (bottom > top) BlitImage(frame, &backdrop, 0, top, 0, top, frame->width, bottom - top, 0xFFFFFFFFu, 0);
}

}  // namespace

bool ImageCoversFrame(const Texture& image, int32_t width, int32_t height) {
  return image.pixels && !image.has_alpha && image.width >= width && image.height >= height;
}

void PutBackBackdrop(Texture* frame, const Texture& backdrop, RowSpan composed) {
  const BackdropDamage* damage = BackdropDamageOf(frame);
  RowSpan rows{0, frame->height};
  if (damage && backdrop.serial != 0 && damage->backdrop == backdrop.serial) rows = {damage->top, damage->bottom};
  if (composed.bottom <= composed.top) composed = {rows.bottom, rows.bottom};
  CopyBackdropRows(frame, backdrop, rows.top, std::min(rows.bottom, composed.top));
  CopyBackdropRows(frame, backdrop, std::max(rows.top, composed.bottom), rows.bottom);
}

void KeepBackdropDamage(Texture* frame, const Texture& backdrop, RowSpan drawn) {
  if (BackdropDamage* damage = BackdropDamageOf(frame)) *damage = BackdropDamage{backdrop.serial, drawn.top, drawn.bottom};
}

void PaintBackdrop(Texture* frame, const Texture& backdrop) {
  if (!ImageCoversFrame(backdrop, frame->width, frame->height)) {
    DrawImage(frame, &backdrop, 0, 0);
    ForgetBackdropDamage(frame);
    return;
  }
  PutBackBackdrop(frame, backdrop, RowSpan{0, 0});
  KeepBackdropDamage(frame, backdrop, RowSpan{0, 0});
}

RowSpan Hull(RowSpan a, RowSpan b) {
  if (a.bottom <= a.top) return b;
  if (b.bottom <= b.top) return a;
  return {std::min(a.top, b.top), std::max(a.bottom, b.bottom)};
}
