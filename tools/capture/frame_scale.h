// The frame at a video site's size with sharp pixels: scaled up by nearest neighbour to the
// smallest whole multiple at least as large as the picture's place, then down with an area
// filter to the largest size of the frame's aspect that fits, centred on black. Both steps
// are one set of weights per axis: each output pixel averages the source pixels its span
// covers, in proportion to how much of each it covers.
#pragma once

#include <cstdint>
#include <vector>

struct ScaleTap {
  int32_t source;  // a source column (or row)
  float weight;
};

// One axis: for each output pixel, its taps (first_tap[i] .. first_tap[i + 1]).
struct ScaleAxis {
  std::vector<int32_t> first_tap;
  std::vector<ScaleTap> taps;
};

struct FrameScale {
  int32_t source_width, source_height;
  int32_t width, height;              // the whole output
  int32_t picture_width, picture_height;
  int32_t left, top;                  // where the picture lies in the output
  int32_t multiple;                   // the nearest-neighbour step's factor
  ScaleAxis columns, rows;
  std::vector<float> between;         // one pass's result: source rows of output columns, BGR
};

// The plan for source_width x source_height frames into width x height outputs.
FrameScale PlanFrameScale(int source_width, int source_height, int width, int height);

// Scales BGRA bytes (pitch bytes a row) into out (width * height * 4 bytes, BGRA, alpha 255).
void ScaleFrame(FrameScale* scale, const uint8_t* bgra, int pitch, uint8_t* out);
