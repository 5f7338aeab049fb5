// "swim.xml": the long middle of the story (51 s). Zibo swims laps by himself while day
// and night pass (the part restarts his clock, and Mamma's, each time his passes 7.5 s in the
// first 20 s); Mamma surfaces at 10.5 s. At 30-35 s they talk across the water, then a big
// wave throws them apart: Zibo tumbles to the left and puffs up in fright (35-36 s), Mamma is
// pushed to the right, calls after him and swims back.
#include "pack/content.h"
#include "scenes/script.h"

namespace assets {

namespace {

const Stage STAGE = {{0.0f, 0.0f, 0.0f}};

// 0 to 7.5 s is one lap that ends where it began, so the restarts are seamless; after the
// third restart (at 15 s) his clock runs on: part second = his second + 15.
const std::vector<Pose> ZIBO_LAPS = {
    {0.0f, 190, 246, 160, {0, 0, 0}, 0},       {1.2f, 250, 236, 160, {0, -12, 8}, 0},
    {2.4f, 320, 242, 160, {0, 10, -6}, 0},     {3.4f, 372, 252, 160, {0, 70, 0}, 0},
    {4.2f, 350, 262, 160, {0, 180, 6}, 0},     {5.4f, 270, 256, 160, {0, 192, -6}, 0},
    {6.5f, 205, 250, 160, {0, 150, 4}, 0},     {7.5f, 190, 246, 160, {0, 0, 0}, 0},
    // On from part second 22.5: over to the right, where he calls out at 30-31 and 32-33 s.
    {8.7f, 250, 238, 160, {0, -10, 8}, 0},     {10.0f, 300, 244, 160, {0, 8, -6}, 0},
    {11.5f, 350, 236, 160, {0, -8, 6}, 0},     {13.0f, 385, 244, 160, {0, 60, 0}, 0},
    {14.2f, 378, 240, 160, {0, 180, 4}, 0},    {15.0f, 376, 240, 160, {0, 180, 0}, 0},
    {16.0f, 380, 244, 160, {0, 172, -6}, 0},   {17.0f, 374, 238, 160, {0, 188, 6}, 0},
    {18.0f, 376, 240, 160, {0, 180, 0}, 0},
    // 33-37 s: he swims over to Mamma, the big wave at 35 s throws him tumbling to the left
    // (the part puffs him up meanwhile), and he calls out again at 37-39 s.
    {19.0f, 330, 246, 160, {0, 185, -6}, 0},   {20.0f, 270, 236, 160, {0, 180, 10}, 0},
    {20.5f, 200, 228, 160, {0, 180, 120}, 0},  {21.0f, 150, 240, 160, {0, 185, 240}, 0},
    {21.6f, 125, 250, 160, {0, 180, 330}, 0},  {22.0f, 118, 250, 160, {0, 180, 360}, 0},
    {23.0f, 112, 256, 160, {0, 170, 360}, 0},  {24.0f, 116, 252, 160, {0, 190, 360}, 0},
    // Then a puffed ball bobbing back towards the middle, slowly turning over.
    {26.0f, 150, 246, 160, {0, 220, 370}, 0},  {28.5f, 190, 252, 160, {0, 260, 360}, 0},
    {31.0f, 220, 244, 160, {0, 300, 352}, 0},  {33.5f, 245, 252, 160, {0, 340, 360}, 0},
    {36.0f, 262, 248, 160, {0, 380, 364}, 0},
};

// Mamma's clock restarts with Zibo's, so her first 7.5 s repeat too: on the left she comes
// up from under the waves, looks about and goes down again. She is first shown at 10.5 s, 3 s
// into her second round, just as she starts to rise.
const std::vector<Pose> MAMMA_SURFACING = {
    {0.0f, 135, 400, 220, {0, 0, 0}, 0},       {3.0f, 135, 395, 220, {0, 0, 14}, 0},
    {4.5f, 135, 268, 220, {0, 0, 6}, 0},       {5.5f, 140, 264, 220, {0, -6, -4}, 0},
    {6.5f, 135, 270, 220, {0, 4, -14}, 0},     {7.5f, 135, 400, 220, {0, 0, 0}, 0},
    // On from part second 22.5: up again on the left, facing Zibo, where she answers him at
    // 31-35 s.
    {9.0f, 150, 395, 220, {0, 0, 14}, 0},      {10.5f, 155, 266, 220, {0, 0, 4}, 0},
    {12.0f, 150, 262, 220, {0, 8, -4}, 0},     {13.5f, 156, 268, 220, {0, -6, 4}, 0},
    {15.0f, 154, 264, 220, {0, 4, -2}, 0},     {16.0f, 156, 266, 220, {0, -4, 4}, 0},
    {17.0f, 152, 262, 220, {0, 6, 0}, 0},      {18.0f, 156, 266, 220, {0, 0, -3}, 0},
    {19.5f, 160, 264, 220, {0, -4, 0}, 0},
    // The big wave at 35 s lifts her and pushes her to the right, calling after him (35-37 s);
    // then she turns and swims back towards him.
    {20.0f, 200, 258, 220, {0, 10, 15}, 0},    {20.6f, 330, 262, 220, {0, -10, -12}, 0},
    {21.2f, 405, 264, 220, {0, 0, 0}, 0},      {22.0f, 412, 266, 220, {0, -6, -4}, 0},
    {24.0f, 400, 262, 220, {0, 60, 0}, 0},     {25.5f, 370, 266, 220, {0, 180, 0}, 0},
    {28.0f, 330, 262, 220, {0, 186, 4}, 0},    {31.0f, 300, 268, 220, {0, 176, -4}, 0},
    {34.0f, 290, 264, 220, {0, 182, 3}, 0},    {36.0f, 286, 266, 220, {0, 180, 0}, 0},
};

}  // namespace

ContentBytes MakeSwimScript() {
  SceneScript s;
  ScriptBegin(&s, {"swim.xml - Zibo swims by himself, Mamma comes up to him (demo seconds 29 to 80).",
                   "The part plays keys at 20 frames a second; a script second (30 frames) lasts 1.5 s on screen.",
                   "Positions are world units: y up, z towards the viewer; the camera rests at the origin."});
  ScriptComment(&s, "Zibo: the part morphs him into zibo_puff.lwo at 35-36 s and then gives him texture2.png.");
  ScriptComment(&s, "Skins are the meshes' lightmaps, so both stay themselves whichever texture lights them.");
  ScriptLoadCast(&s, "zibo", "zibo.lwo", "zibo_puff.lwo");
  ScriptLoadCast(&s, "mamma", "mamma.lwo", "");
  ScriptComment(&s, "Zibo's laps and what follows them: the motion file zibo2.mot.");
  ScriptLine(&s, "<object name=\"zibo\" mesh=\"zibo\" motion=\"zibo2.mot\">");
  ScriptLine(&s, "</object>");
  ScriptComment(&s, "Mamma: the part hides her for the first 10.5 s.");
  ScriptLine(&s, "<object name=\"mamma\" mesh=\"mamma\">");
  ScriptPoseKeys(&s, STAGE, MAMMA_SURFACING);
  ScriptLine(&s, "</object>");
  ScriptComment(&s, "The camera rides the swell for the whole part.");
  ScriptLine(&s, "<camera>");
  ScriptCameraKeys(&s, BobbingCamera(STAGE, 51.0f, 4.0f, 1.5f, 1.0f));
  ScriptLine(&s, "</camera>");
  ScriptEnd(&s);
  return ScriptBytes(s);
}

ContentBytes MakeZiboLapsMotion() { return MotionFileBytes(SwimmingMotion(STAGE, ZIBO_LAPS, WAG_DEGREES, WAG_FRAMES)); }

}  // namespace assets
