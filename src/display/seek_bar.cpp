#include "display/seek_bar.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "display/overlay_text.h"

namespace {

constexpr int kTrackY = 366;  // the track's top row; it is kTrackRows high
constexpr int kTrackRows = 4;
constexpr int kHitSlack = 8;  // pixels past either end that still seek (to the start or the end)
constexpr int kMarkLeft = 8, kMarkRight = 22, kMarkTop = 360, kMarkBottom = 376;
constexpr int kTimeX = 410;
constexpr uint32_t kPlayed = 0xFFFFFFFFu;
constexpr uint32_t kToCome = 0xFF707070u;
constexpr uint32_t kChapter = 0xFFFFC040u;

// The band under the controls: the picture at a third of its light, so the bar reads over
// any scene and the picture still shows through.
void DarkenRows(const Texture& frame, int top) {
  for (int y = std::max(top, 0); y < frame.height; ++y) {
    uint32_t* row = frame.pixels + static_cast<size_t>(y) * frame.width;
    for (int x = 0; x < frame.width; ++x) row[x] = 0xFF000000u | ((row[x] >> 2) & 0x3F3F3Fu);
  }
}

void DrawPlayMark(const Texture& frame, bool paused) {
  if (!paused) {  // playing: the pause sign, two bars
    FillOverlayRect(frame, kMarkLeft + 1, kMarkTop, kMarkLeft + 6, kMarkBottom, kPlayed);
    FillOverlayRect(frame, kMarkRight - 6, kMarkTop, kMarkRight - 1, kMarkBottom, kPlayed);
    return;
  }
  // paused: the play sign, a triangle pointing right
  const int half = (kMarkBottom - kMarkTop) / 2;
  for (int row = 0; row < kMarkBottom - kMarkTop; ++row) {
    const int reach = half - std::abs(row - half);
    FillOverlayRect(frame, kMarkLeft, kMarkTop + row, kMarkLeft + 1 + reach * 7 / 4, kMarkTop + row + 1, kPlayed);
  }
}

void DrawTrack(const Texture& frame, const SeekBarView& view) {
  const int at = SeekBarX(view.seconds, view.total);
  FillOverlayRect(frame, kSeekTrackLeft, kTrackY, at + 1, kTrackY + kTrackRows, kPlayed);
  FillOverlayRect(frame, at + 1, kTrackY, kSeekTrackRight + 1, kTrackY + kTrackRows, kToCome);
  for (int i = 0; i < view.chapter_count; ++i) {
    const int x = SeekBarX(view.chapters[i], view.total);
    FillOverlayRect(frame, x, kTrackY - 4, x + 2, kTrackY + kTrackRows + 4, kChapter);
  }
  FillOverlayRect(frame, at - 2, kTrackY - 5, at + 3, kTrackY + kTrackRows + 5, kPlayed);
}

void DrawTimes(const Texture& frame, const SeekBarView& view) {
  char played[16], total[16], text[40];
  FormatPlayTime(view.seconds, played, sizeof played);
  FormatPlayTime(view.total, total, sizeof total);
  std::snprintf(text, sizeof text, "%s / %s", played, total);
  DrawOverlayText(frame, kTimeX, kTrackY + kTrackRows / 2 - OverlayTextHeight() / 2, text);
}

// The time and chapter at the pointer, in a box above the bar centred on the pointer.
void DrawPointerLabel(const Texture& frame, const SeekBarView& view) {
  if (HitSeekBar(view.pointer_x, view.pointer_y) != SeekBarPart::kTrack) return;
  char at[16], text[48];
  FormatPlayTime(SeekBarTime(view.pointer_x, view.total), at, sizeof at);
  std::snprintf(text, sizeof text, "%s %s", at, view.pointer_label ? view.pointer_label : "");
  const int width = OverlayTextWidth(text);
  const int x = std::clamp(view.pointer_x - width / 2, 0, std::max(0, frame.width - width));
  DrawOverlayText(frame, x, kSeekBarTop - OverlayTextHeight() - 2, text);
}

}  // namespace

int SeekBarX(float seconds, float total) {
  const float t = std::clamp(seconds, 0.0f, total);
  return kSeekTrackLeft + static_cast<int>(std::lround(t / total * (kSeekTrackRight - kSeekTrackLeft)));
}

float SeekBarTime(int x, float total) {
  const float along = static_cast<float>(x - kSeekTrackLeft) / (kSeekTrackRight - kSeekTrackLeft);
  return std::clamp(along * total, 0.0f, total);
}

SeekBarPart HitSeekBar(int x, int y) {
  if (y < kSeekBarTop) return SeekBarPart::kPicture;
  if (x >= kMarkLeft - 4 && x < kMarkRight + 4) return SeekBarPart::kPlayMark;
  if (x >= kSeekTrackLeft - kHitSlack && x <= kSeekTrackRight + kHitSlack) return SeekBarPart::kTrack;
  return SeekBarPart::kBand;
}

void FormatPlayTime(float seconds, char* text, int size) {
  const int whole = static_cast<int>(std::max(seconds, 0.0f));
  std::snprintf(text, static_cast<size_t>(size), "%d:%02d", whole / 60, whole % 60);
}

void DrawSeekBar(const Texture& frame, const SeekBarView& view) {
  if (!frame.pixels || frame.height <= kSeekBarTop) return;
  DarkenRows(frame, kSeekBarTop);
  DrawPlayMark(frame, view.paused);
  DrawTrack(frame, view);
  DrawTimes(frame, view);
  DrawPointerLabel(frame, view);
}
