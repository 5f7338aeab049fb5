#include "draw/noise.h"

#include <cmath>

namespace assets {

namespace {

constexpr uint64_t SPLITMIX_INCREMENT = 0x9E3779B97F4A7C15ull;
constexpr float TO_UNIT = 1.0f / 4294967296.0f;  // 2^-32

float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

int Wrap(int v, int period) {
  if (period <= 0) return v;
  int m = v % period;
  return m < 0 ? m + period : m;
}

}  // namespace

Rng MakeRng(uint64_t seed) { return Rng{seed}; }

uint32_t Rng::Next() {
  uint64_t z = (state += SPLITMIX_INCREMENT);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return uint32_t((z ^ (z >> 31)) >> 32);
}

float Rng::Uniform() { return float(Next()) * TO_UNIT; }

float Rng::Range(float low, float high) { return low + (high - low) * Uniform(); }

int Rng::Below(int bound) { return int(uint64_t(Next()) * uint64_t(bound) >> 32); }

uint32_t HashLattice(int x, int y, uint32_t seed) {
  uint32_t h = seed * 0x27D4EB2Du ^ uint32_t(x) * 0x85EBCA6Bu ^ uint32_t(y) * 0xC2B2AE35u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

float ValueNoise(float x, float y, uint32_t seed, int period) {
  float fx = std::floor(x), fy = std::floor(y);
  int x0 = int(fx), y0 = int(fy);
  float tx = Fade(x - fx), ty = Fade(y - fy);
  auto at = [&](int ix, int iy) { return float(HashLattice(Wrap(ix, period), iy, seed)) * TO_UNIT; };
  float top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * tx;
  float bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * tx;
  return top + (bottom - top) * ty;
}

float FractalNoise(float x, float y, uint32_t seed, int octaves, float gain, int period) {
  float sum = 0.0f, weight = 1.0f, total = 0.0f, frequency = 1.0f;
  for (int i = 0; i < octaves; ++i) {
    sum += weight * ValueNoise(x * frequency, y * frequency, seed + uint32_t(i), period * int(frequency));
    total += weight;
    weight *= gain;
    frequency *= 2.0f;
  }
  return sum / total;
}

}  // namespace assets
