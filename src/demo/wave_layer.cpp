#include "demo/wave_layer.h"

#include "display/image_blit.h"

void StepWave(WaveLayer* layer) {
  layer->position += layer->velocity;
  if (layer->position < 0) {
    layer->position = 0;
    layer->velocity = +1;
  }
  if (layer->position > WAVE_SWING) {
    layer->position = WAVE_SWING;
    layer->velocity = -1;
  }
}

void StepWaves(WaveLayers* waves) {
  StepWave(&waves->front);
  StepWave(&waves->middle);
  StepWave(&waves->rear);
}

void DrawWaveStrip(Texture* frame, const Texture& strip, const WaveLayer& layer) {
  DrawImage(frame, &strip, layer.position - WAVE_SWING, WAVE_ROW);
}
