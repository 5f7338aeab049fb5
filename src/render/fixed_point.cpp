#include "render/fixed_point.h"

int32_t ToFixed(float f) {
  // Written so that NaN fails the test and lands on the marker too.
  if (f > -32768.0f && f < 32768.0f) return static_cast<int32_t>(f * 65536.0f);
  return FIXED_DOES_NOT_FIT;
}
