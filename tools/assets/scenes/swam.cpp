// "swam.xml": the end of the story (36 s). A night and a day pass with Zibo still puffed up
// and floating alone; at 15 s Mamma comes up beside him, tells him to mind the big waves,
// and he calms down (back to his slim shape at 23-24 s) and swims to her nose to nose. From
// 28 s the end card covers the scene and a beating heart is drawn over its middle.
#include "pack/content.h"
#include "scenes/script.h"

namespace assets {

namespace {

// The camera rests 60 units to the right, so Zibo, whom the part keeps at x >= 50 from 15 s,
// still reaches the middle of the screen.
const Stage STAGE = {{60.0f, 0.0f, 0.0f}};

// 0 to 7.5 s is one drift that ends where it began (the part restarts Zibo's clock at 7.5
// and 15 s); from 15 s his clock runs on: part second = his second + 15.
const std::vector<Pose> ZIBO_DRIFT = {
    {0.0f, 280, 246, 160, {0, 180, 0}, 0},     {1.9f, 300, 240, 160, {0, 150, 8}, 0},
    {3.8f, 325, 250, 160, {0, 190, -6}, 0},    {5.6f, 300, 256, 160, {0, 215, 6}, 0},
    {7.5f, 280, 246, 160, {0, 180, 0}, 0},
    // 22.5 s on: slim again at 24 s, he turns to Mamma and calls out from 24 s.
    {8.5f, 290, 244, 160, {0, 170, 0}, 0},     {9.5f, 320, 240, 160, {0, 60, 8}, 0},
    {10.5f, 336, 242, 160, {0, 0, -6}, 0},     {12.0f, 342, 238, 160, {0, -10, 10}, 0},
    {13.0f, 338, 242, 160, {0, 8, -4}, 0},     {14.0f, 340, 240, 160, {0, 0, 0}, 0},
    {21.0f, 340, 240, 160, {0, 0, 0}, 0},
};

// Mamma's clock is the part's. She waits under the waves, comes up at 15-16 s facing right,
// speaks at 18-20 s, and turns to Zibo at 21-23 s.
const std::vector<Pose> MAMMA_ARRIVING = {
    {0.0f, 415, 400, 230, {0, 0, 0}, 0},       {14.5f, 415, 400, 230, {0, 0, 20}, 0},
    {16.0f, 410, 262, 230, {0, 0, 6}, 0},      {17.5f, 407, 266, 230, {0, -8, -4}, 0},
    {19.0f, 410, 262, 230, {0, 6, 4}, 0},      {20.0f, 408, 264, 230, {0, 0, 0}, 0},
    {21.5f, 400, 266, 230, {0, 90, 0}, 0},     {23.0f, 410, 264, 230, {0, 180, 4}, 0},
    {25.0f, 422, 266, 230, {0, 186, -4}, 0},   {27.0f, 424, 262, 230, {0, 176, 4}, 0},
    {29.0f, 422, 266, 230, {0, 180, 0}, 0},    {36.0f, 422, 266, 230, {0, 180, 0}, 0},
};

// The heart is hidden until the end card (28 s); over the card's middle, above the setting
// sun, it sways while the part makes it beat.
const std::vector<Pose> HEART_SWAYING = {
    {0.0f, 256, 236, 210, {0, 0, 0}, 0},       {27.0f, 256, 236, 210, {0, -25, 0}, 0},
    {29.0f, 256, 232, 210, {0, 20, 4}, 0},     {31.0f, 256, 238, 210, {0, -20, -4}, 0},
    {33.0f, 256, 232, 210, {0, 20, 4}, 0},     {35.0f, 256, 238, 210, {0, -15, -3}, 0},
    {36.0f, 256, 236, 210, {0, 0, 0}, 0},
};

}  // namespace

ContentBytes MakeSwamScript() {
  SceneScript s;
  ScriptBegin(&s, {"swam.xml - Zibo calms down beside Mamma, and the end (demo seconds 80 to 116).",
                   "The part plays keys at 20 frames a second; a script second (30 frames) lasts 1.5 s on screen.",
                   "Positions are world units: y up, z towards the viewer; the camera rests at x 60."});
  ScriptComment(&s, "Zibo: the part shows him puffed up (zibo_puff.lwo, texture2.png) until 23 s, slim from 24 s.");
  ScriptLoadCast(&s, "zibo", "zibo.lwo", "zibo_puff.lwo");
  ScriptLoadCast(&s, "mamma", "mamma.lwo", "");
  ScriptComment(&s, "The heart beats between its two shapes on the end card.");
  ScriptLoadCast(&s, "heart", "heart.lwo", "heart_beat.lwo");
  ScriptComment(&s, "Zibo drifts, then swims to Mamma: the motion file zibo3.mot.");
  ScriptLine(&s, "<object name=\"zibo\" mesh=\"zibo\" motion=\"zibo3.mot\">");
  ScriptLine(&s, "</object>");
  ScriptComment(&s, "Mamma: the part hides her until 15 s.");
  ScriptLine(&s, "<object name=\"mamma\" mesh=\"mamma\">");
  ScriptPoseKeys(&s, STAGE, MAMMA_ARRIVING);
  ScriptLine(&s, "</object>");
  ScriptLine(&s, "<object name=\"heart\" mesh=\"heart\">");
  ScriptPoseKeys(&s, STAGE, HEART_SWAYING);
  ScriptLine(&s, "</object>");
  ScriptComment(&s, "The camera rides the swell, gently.");
  ScriptLine(&s, "<camera>");
  ScriptCameraKeys(&s, BobbingCamera(STAGE, 36.0f, 4.0f, 1.2f, 0.8f));
  ScriptLine(&s, "</camera>");
  ScriptEnd(&s);
  return ScriptBytes(s);
}

ContentBytes MakeZiboDriftMotion() { return MotionFileBytes(SwimmingMotion(STAGE, ZIBO_DRIFT, WAG_DEGREES, WAG_FRAMES)); }

}  // namespace assets
