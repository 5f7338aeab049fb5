// The per-frame motion update of a busy scene: 50 objects whose five channels have 30 keys
// each (TCB splines on position, rotation and scale; linear on alpha and fov), plus the
// camera. Each frame scans every channel from its first key, as the demo does.
#include <benchmark/benchmark.h>

#include "geometry/motion.h"
#include "scene/object_motion.h"
#include "scene/scene.h"

namespace {

constexpr int OBJECTS = 50;
constexpr int KEYS_PER_CHANNEL = 30;
constexpr int FRAMES_BETWEEN_KEYS = 10;
constexpr float LAST_KEY_TIME = (KEYS_PER_CHANNEL - 1) * FRAMES_BETWEEN_KEYS;

void FillMotion(Motion* motion, int seed) {
  for (int channel = 0; channel < MOTION_CHANNEL_COUNT; channel++) {
    for (int k = 0; k < KEYS_PER_CHANNEL; k++) {
      CurveKey* key = AddMotionKey(motion, channel);
      key->time = k * FRAMES_BETWEEN_KEYS;
      for (int c = 0; c < 3; c++) key->value[c] = (float)((seed * 7 + k * 13 + c * 5) % 31) - 15.0f;
      key->tension = 0.1f * (k % 3);
      key->continuity = -0.1f * (k % 2);
      key->bias = 0.05f * (k % 5);
      key->interpolation = channel < MOTION_ALPHA ? CURVE_TCB : CURVE_LINEAR;
    }
  }
}

void BM_UpdateSceneMotion(benchmark::State& state) {
  Scene scene;
  for (int i = 0; i < OBJECTS; i++) {
    SceneObject* object = AddObject(&scene, nullptr);
    object->motion = NewMotion();
    FillMotion(object->motion, i);
  }
  scene.camera->motion = NewMotion();
  FillMotion(scene.camera->motion, OBJECTS);
  scene.fps = 20.0f;
  scene.delta_seconds = 1.0f / 60.0f;  // a third of a frame per update: every segment is visited

  for (auto _ : state) {
    UpdateSceneMotion(&scene);
    if (scene.camera->local_time > LAST_KEY_TIME) {
      // Wind the clocks back so the run stays inside the keys rather than in the holds.
      scene.time = 0;
      for (SceneObject* o = scene.objects; o; o = o->next) o->local_time = 0;
      scene.camera->local_time = 0;
    }
    benchmark::DoNotOptimize(scene.objects->position[0]);
  }
  state.counters["objects"] = OBJECTS + 1;
  state.counters["keys_per_channel"] = KEYS_PER_CHANNEL;
  FreeScene(&scene);
}
BENCHMARK(BM_UpdateSceneMotion);

}  // namespace

BENCHMARK_MAIN();
