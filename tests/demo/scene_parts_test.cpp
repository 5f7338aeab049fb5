// The three scene parts driven frame by frame: the part's clock is set directly and the
// frame's delta is 0, so each frame runs at exactly the chosen part time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "demo/demo_parts.h"
#include "demo/demo_state.h"
#include "demo/mamma_scene.h"
#include "demo/swam_scene.h"
#include "demo/swim_scene.h"
#include "demo/demo_test_support.h"
#include "demo/wave_layer.h"
#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "platform/fatal.h"
#include "render/render_context.h"
#include "resource/data_archive.h"

namespace {

using demo_test::TARGET_X;
using demo_test::WriteSolidPng;

constexpr uint32_t RED = 0xFF0000u, GREEN = 0x00FF00u, BLUE = 0x0000FFu;

TEST(WaveLayer, HoldsEachEndForTwoFramesBeforeTurning) {
  struct Case {
    WaveLayer start;
    std::vector<int32_t> positions;
  } cases[] = {{{3, -1}, {2, 1, 0, 0, 1, 2}}, {{127, +1}, {128, 129, 130, 130, 129, 128}}};
  for (const Case& c : cases) {
    WaveLayer layer = c.start;
    std::vector<int32_t> got;
    for (size_t i = 0; i < c.positions.size(); ++i, got.push_back(layer.position)) StepWave(&layer);
    EXPECT_EQ(got, c.positions) << c.start.position;
  }
  WaveLayers waves = InitialWaves();  // 26 frames from the start values
  for (int i = 0; i < 26; ++i) StepWaves(&waves);
  EXPECT_EQ(std::vector<int32_t>({waves.front.position, waves.middle.position, waves.rear.position}),
            std::vector<int32_t>({52, 40, 115}));
}

// What the tests touch of a part (mamma has no background).
struct Part {
  const char* name;
  void (*load)(), (*draw)();
  float* part_time;
  int32_t* background;
  ScenePartHandles* used;
  TextureRef* textures;
};
Texture* Frame() { return &g_demo.frame_buffer.frame; }
const Part MAMMA{"mamma", [] { LoadMammaScene(&g_parts.mamma); },
                 [] { DrawMammaScene(&g_parts.mamma, g_demo.timer.delta, Frame()); }, &g_parts.mamma.part_time,
                 nullptr, &g_parts.mamma.used, g_parts.mamma.scene.textures};
const Part SWIM{"swim", [] { LoadSwimScene(&g_parts.swim); },
                [] { DrawSwimScene(&g_parts.swim, g_demo.timer.delta, Frame()); }, &g_parts.swim.part_time,
                &g_parts.swim.background, &g_parts.swim.used, g_parts.swim.scene.textures};
const Part SWAM{"swam", [] { LoadSwamScene(&g_parts.swam); },
                [] { DrawSwamScene(&g_parts.swam, g_demo.timer.delta, Frame()); }, &g_parts.swam.part_time,
                &g_parts.swam.background, &g_parts.swam.used, g_parts.swam.scene.textures};

class ScenePartsTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    ResetDemoState();
    CloseArchive(&g_data_archive);
    ASSERT_EQ(CreateFrameBuffer(&g_demo.frame_buffer, WIDTH, HEIGHT, DISPLAY_HEIGHT), 1);
    InitRenderer(g_demo.frame_buffer.frame);
    demo_test::WritePartScripts();
    WriteSolidPng("boble_zib.png", 20, 20, 255, 0, 0);
    WriteSolidPng("boble_zib1.png", 20, 20, 0, 255, 0);
    WriteSolidPng("end.png", WIDTH, HEIGHT, 0, 0, 255);
  }
  void TearDown() override {
    ReleaseDemoParts(&g_parts);
    ReleaseRenderer();
    FreeFrameBuffer(&g_demo.frame_buffer);
    ResetDemoState();
    ScratchDirTest::TearDown();
  }
  // One frame at part time t, as the loop draws it: cleared, then drawn.
  void DrawAt(const Part& part, float t) {
    g_demo.timer.delta = 0.0f;
    *part.part_time = t;
    ClearFrameBuffer(&g_demo.frame_buffer);
    part.draw();
  }
  uint32_t Pixel(int x, int y) { return g_demo.frame_buffer.frame.pixels[y * WIDTH + x] & 0xFFFFFFu; }
};

TEST_F(ScenePartsTest, MammaBubblesChangeJustPastTheirBounds) {
  MAMMA.load();
  struct Case {
    float t;
    bool first, second;  // bubble 1 at (250, 110), bubble 2 at (330, 150)
  } cases[] = {{0.5f, true, false}, {2.0f, true, false},  {2.01f, false, true}, {4.0f, false, true},
               {4.01f, true, false}, {5.0f, true, false}, {5.01f, false, false}};
  for (const Case& c : cases) {
    DrawAt(MAMMA, c.t);
    EXPECT_EQ(Pixel(255, 115) == RED, c.first) << c.t;
    EXPECT_EQ(Pixel(335, 155) == GREEN, c.second) << c.t;
  }
}

// Swim: day/night flips on the first object's loop for 20 s, the second object from 10.5 s.
// Swam: starting from night with a finished loop, sky from 15 s with the first object at x 50.
TEST_F(ScenePartsTest, SwimAndSwamBackgroundsAndObjects) {
  SWIM.load();
  SWAM.load();
  struct Case {
    const Part* part;
    float t, first_local_time;
    int32_t background, second_hidden;  // background after the frame, starting from 0
    float first_x;                      // checked when not negative
  } cases[] = {{&SWIM, 5.0f, 150.0f, 0, 1, -1},   {&SWIM, 5.0f, 151.0f, 1, 1, -1},
               {&SWIM, 10.49f, 0.0f, 0, 1, -1},   {&SWIM, 10.5f, 0.0f, 0, 0, -1},
               {&SWIM, 19.99f, 151.0f, 1, 0, -1}, {&SWIM, 20.0f, 151.0f, 0, 0, -1},
               {&SWIM, 30.0f, 400.0f, 0, 0, -1},  {&SWAM, 14.99f, 151.0f, 1, 1, 0.0f},
               {&SWAM, 15.0f, 151.0f, 2, 0, 50.0f}, {&SWAM, 19.0f, 151.0f, 2, 0, 50.0f}};
  for (const Case& c : cases) {
    *c.part->background = 0;
    c.part->used->objects[0]->local_time = c.first_local_time;
    DrawAt(*c.part, c.t);
    EXPECT_EQ(*c.part->background, c.background) << c.part->name << " " << c.t;
    EXPECT_EQ(c.part->used->objects[1]->hidden, c.second_hidden) << c.part->name << " " << c.t;
    if (c.first_x >= 0) {
      EXPECT_FLOAT_EQ(c.part->used->objects[0]->position[0], c.first_x) << c.part->name << " " << c.t;
    }
  }
}

// Swim morphs during second 35 and switches texture after 36; swam morphs back during second
// 23 and leaves second 24 alone. x is the second corner's: 1 in the base shape, TARGET_X in the target.
TEST_F(ScenePartsTest, SwimAndSwamMorphWindows) {
  SWIM.load();
  SWAM.load();
  struct Case {
    const Part* part;
    float start_weight;
    int start_texture;
    float t, x;
    int texture;
  } cases[] = {{&SWIM, 0, 0, 35.0f, 1.0f, 0},     {&SWIM, 0, 0, 35.5f, 2.0f, 0},    {&SWIM, 0, 0, 36.0f, 1.0f, 0},
               {&SWIM, 0, 0, 36.5f, TARGET_X, 1}, {&SWAM, .5f, 1, 22.9f, TARGET_X, 1},
               {&SWAM, .5f, 1, 23.5f, 2.0f, 1},   {&SWAM, .5f, 1, 23.75f, 1.5f, 1}, {&SWAM, .5f, 1, 24.0f, 2.0f, 1},
               {&SWAM, .5f, 1, 24.5f, 2.0f, 0}};
  for (const Case& c : cases) {
    Mesh* first = c.part->used->meshes[0];
    BlendMorph(first, c.start_weight);
    first->surface_textures[0] = &c.part->textures[c.start_texture];
    DrawAt(*c.part, c.t);
    EXPECT_FLOAT_EQ(first->vertices[1].x, c.x) << c.part->name << " " << c.t;
    EXPECT_EQ(first->surface_textures[0], &c.part->textures[c.texture]) << c.part->name << " " << c.t;
  }
}

// The ending's pose is the step's: the frame after an ending frame has the first object
// hidden and the third shown for its layers, while the second is the sky's to show.
TEST_F(ScenePartsTest, SwamEndCardOnlyPast28WithTheThirdObjectPulsing) {
  SWAM.load();
  const SwamState& swam = g_parts.swam;
  for (float t : {27.0f, 28.0f, 28.01f, 29.0f, 30.5f}) {
    const bool card = t > 28.0f;
    DrawAt(SWAM, t);
    EXPECT_EQ(Pixel(5, 5) == BLUE, card) << t;
    if (card) DrawAt(SWAM, t);  // a frame after an ending frame
    EXPECT_EQ(swam.used.objects[0]->hidden, card) << t;
    EXPECT_EQ(swam.used.objects[2]->hidden, !card) << t;
    if (!card) continue;
    EXPECT_EQ(swam.used.objects[1]->hidden, 0) << t;
    const double weight = std::clamp(std::sin(2.0 * t) + 1.0, 0.0, 1.0);
    EXPECT_NEAR(swam.used.meshes[2]->vertices[1].x, 1.0 + weight * (TARGET_X - 1.0), 1e-5) << t;
  }
}

// Paint draws from the state and leaves it as it was: the same frame painted twice is the same.
TEST_F(ScenePartsTest, PaintLeavesThePartsStateAlone) {
  SWAM.load();
  for (float t : {10.0f, 23.5f, 28.5f, 29.0f}) {
    DrawAt(SWAM, t);
    const std::vector<uint32_t> drawn(Frame()->pixels, Frame()->pixels + WIDTH * HEIGHT);
    const int32_t hidden[] = {g_parts.swam.used.objects[0]->hidden, g_parts.swam.used.objects[2]->hidden};
    ClearFrameBuffer(&g_demo.frame_buffer);
    PaintSwamScene(g_parts.swam, Frame());
    EXPECT_EQ(std::vector<uint32_t>(Frame()->pixels, Frame()->pixels + WIDTH * HEIGHT), drawn) << t;
    EXPECT_EQ(g_parts.swam.used.objects[0]->hidden, hidden[0]) << t;
    EXPECT_EQ(g_parts.swam.used.objects[2]->hidden, hidden[1]) << t;
  }
}

// Under an opaque full-frame card the layers are left undrawn; any other card shows them.
TEST_F(ScenePartsTest, LayersUnderTheEndCardShowWhereTheCardLetsThemThrough) {
  WriteSolidPng("wavefront.png", WIDTH + 130, 100, 0, 255, 0);
  struct Case {
    int card_width, card_height;
    uint32_t bottom_left;  // the front wave strip covers the frame's last 100 rows
  } cases[] = {{WIDTH, HEIGHT, BLUE}, {WIDTH, HEIGHT - 1, GREEN}, {20, 20, GREEN}};
  for (const Case& c : cases) {
    WriteSolidPng("end.png", c.card_width, c.card_height, 0, 0, 255);
    SWAM.load();
    DrawAt(SWAM, 29.0f);
    EXPECT_EQ(Pixel(5, HEIGHT - 1), c.bottom_left) << c.card_width << "x" << c.card_height;
  }
}

// Swam short of meshes is covered by DemoRunTest.ScriptShortOfMeshesEndsTheRunAtLoadWithStatusOne.
TEST_F(ScenePartsTest, ScriptShortOfMeshesOrObjectsIsAFatalDataError) {
  struct Case {
    const Part* part;
    const char* script;
    int meshes, objects;
    const char* message;
  } cases[] = {{&MAMMA, "mamma1.xml", 1, 2, "mamma1.xml: the part needs 2 meshes, the script defines 1\n"},
               {&SWIM, "swim.xml", 2, 1, "swim.xml: the part needs 2 objects, the script defines 1\n"},
               {&SWAM, "swam.xml", 3, 2, "swam.xml: the part needs 3 objects, the script defines 2\n"}};
  for (const Case& c : cases) {
    WriteBytes(c.script, demo_test::PartScript(c.meshes, c.objects));
    try {
      c.part->load();
      ADD_FAILURE() << c.message << "was not raised";
    } catch (const FatalError& error) {
      EXPECT_STREQ(error.what(), c.message);
      EXPECT_EQ(error.status, 1);
    }
  }
}

}  // namespace
