// "mamma1.xml": the first 9 seconds of the story. Zibo shows Mamma how he swims ("Wheee!",
// "Mamma, look! I can swim all by myself!"), darting right and back while Mamma bobs on the
// left; the bubbles' tails point at his head at the moments they show.
#include "pack/content.h"
#include "scenes/script.h"

namespace assets {

namespace {

const Stage STAGE = {{0.0f, 0.0f, 0.0f}};

// Zibo's own clock starts with the part: the bubbles show at 0-2 and 4-5 s over (268, 199)
// and at 2-4 s over (348, 239).
const std::vector<Pose> ZIBO_PLAY = {
    {0.0f, 215, 244, 160, {0, 0, 0}, 0},      {1.0f, 246, 234, 160, {0, -10, 8}, 0},
    {2.0f, 256, 236, 160, {0, 8, -4}, 0},     {2.6f, 300, 250, 160, {0, 0, -10}, 0},
    {3.2f, 328, 266, 160, {0, -8, 12}, 0},    {4.0f, 332, 262, 160, {0, 30, -4}, 0},
    {4.5f, 292, 240, 160, {0, 180, 6}, 0},    {5.0f, 280, 236, 160, {0, 186, -6}, 0},
    {6.0f, 240, 248, 160, {0, 176, 8}, 0},    {7.0f, 215, 242, 160, {0, 184, -6}, 0},
    {8.0f, 228, 236, 160, {0, 120, 4}, 0},    {9.0f, 262, 244, 160, {0, 0, 0}, 0},
};

const std::vector<Pose> MAMMA_WATCHING = {
    {0.0f, 118, 264, 230, {0, 0, 0}, 0},    {1.5f, 122, 260, 230, {0, -10, 4}, 0},
    {3.0f, 120, 266, 230, {0, 6, -4}, 0},   {4.5f, 124, 262, 230, {0, -14, 3}, 0},
    {6.0f, 120, 266, 230, {0, 4, -3}, 0},   {7.5f, 124, 262, 230, {0, -8, 4}, 0},
    {9.0f, 120, 264, 230, {0, 0, 0}, 0},
};

}  // namespace

ContentBytes MakeMammaScript() {
  SceneScript s;
  ScriptBegin(&s, {"mamma1.xml - Zibo shows Mamma how he swims (demo seconds 20 to 29).",
                   "The part plays keys at 20 frames a second; a script second (30 frames) lasts 1.5 s on screen.",
                   "Positions are world units: y up, z towards the viewer; the camera rests at the origin."});
  ScriptComment(&s, "The part lights both meshes with texture.png as a sphere map; their skins are their lightmaps.");
  ScriptLoadCast(&s, "zibo", "zibo.lwo", "");
  ScriptLoadCast(&s, "mamma", "mamma.lwo", "");
  ScriptComment(&s, "Zibo darts about in front of Mamma: his path is the motion file zibo1.mot.");
  ScriptLine(&s, "<object name=\"zibo\" mesh=\"zibo\" motion=\"zibo1.mot\">");
  ScriptLine(&s, "</object>");
  ScriptComment(&s, "Mamma watches from the left, rocking with the swell.");
  ScriptLine(&s, "<object name=\"mamma\" mesh=\"mamma\">");
  ScriptPoseKeys(&s, STAGE, MAMMA_WATCHING);
  ScriptLine(&s, "</object>");
  ScriptComment(&s, "The camera floats too.");
  ScriptLine(&s, "<camera>");
  ScriptCameraKeys(&s, BobbingCamera(STAGE, 9.0f, 3.0f, 1.0f, 0.8f));
  ScriptLine(&s, "</camera>");
  ScriptEnd(&s);
  return ScriptBytes(s);
}

ContentBytes MakeZiboPlayMotion() { return MotionFileBytes(SwimmingMotion(STAGE, ZIBO_PLAY, WAG_DEGREES, WAG_FRAMES)); }

}  // namespace assets
