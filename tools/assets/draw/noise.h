// Deterministic randomness: a seeded generator for placing things (stars, bubbles) and
// lattice value noise for textures (clouds, foam, caustics). Nothing depends on the clock
// or the platform's rand, so every run paints the same pixels.
#pragma once

#include <cstdint>

namespace assets {

// SplitMix64: tiny, fast, and the same sequence everywhere.
struct Rng {
  uint64_t state;

  uint32_t Next();
  float Uniform();                  // [0, 1)
  float Range(float low, float high);
  int Below(int bound);             // [0, bound)
};

Rng MakeRng(uint64_t seed);

uint32_t HashLattice(int x, int y, uint32_t seed);
// Smooth noise in [0, 1] with features one unit apart. With a period > 0 it tiles along x
// every period units (so strips and textures wrap without a seam).
float ValueNoise(float x, float y, uint32_t seed, int period = 0);
// Fractal sum of octaves, each at twice the frequency and gain times the weight; in [0, 1].
float FractalNoise(float x, float y, uint32_t seed, int octaves, float gain = 0.5f, int period = 0);

}  // namespace assets
