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

constexpr uint32_t RED = 0xFF0000u, GREEN = 0x00FF00u, BLUE = 0x0000FFu;

TEST(WaveLayer, HoldsEachEndForTwoFramesBeforeTurning) {
  struct Case {
    WaveLayer start;
    std::vector<int32_t> positions;
  } cases[] = {
      {{3, -1}, {2, 1, 0, 0, 1, 2}},
      {{127, +1}, {128, 129, 130, 130, 129, 128}},
  };
  for (const Case& c : cases) {
    WaveLayer layer = c.start;
    std::vector<int32_t> got;
    for (size_t i = 0; i < c.positions.size(); ++i) {
      StepWave(&layer);
      got.push_back(layer.position);
    }
    EXPECT_EQ(got, c.positions) << c.start.position;
  }
}

TEST(WaveLayer, After26FramesFromTheStartValues) {
  WaveLayers waves = InitialWaves();
  for (int i = 0; i < 26; ++i) StepWaves(&waves);
  EXPECT_EQ(waves.front.position, 52);
  EXPECT_EQ(waves.middle.position, 40);
  EXPECT_EQ(waves.rear.position, 115);
}

class ScenePartsTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    ResetDemoState();
    CloseArchive(&g_data_archive);
    ASSERT_EQ(CreateFrameBuffer(&g_demo.frame_buffer, WIDTH, HEIGHT, DISPLAY_HEIGHT), 1);
    InitRenderer(g_demo.frame_buffer.frame);
    demo_test::WritePartScripts();
    demo_test::WriteSolidPng("boble_zib.png", 20, 20, 255, 0, 0);
    demo_test::WriteSolidPng("boble_zib1.png", 20, 20, 0, 255, 0);
    demo_test::WriteSolidPng("end.png", WIDTH, HEIGHT, 0, 0, 255);
  }
  void TearDown() override {
    ReleaseDemoParts();
    ReleaseRenderer();
    FreeFrameBuffer(&g_demo.frame_buffer);
    ResetDemoState();
    ScratchDirTest::TearDown();
  }

  // One frame at part time t, as the loop draws it: cleared, then drawn.
  void DrawAt(void (*draw)(), float* part_time, float t) {
    g_demo.timer.delta = 0.0f;
    *part_time = t;
    ClearFrameBuffer(&g_demo.frame_buffer);
    draw();
  }
  uint32_t Pixel(int x, int y) { return g_demo.frame_buffer.frame.pixels[y * WIDTH + x] & 0xFFFFFFu; }
};

TEST_F(ScenePartsTest, MammaBubblesChangeJustPastTheirBounds) {
  LoadMammaScene();
  struct Case {
    float t;
    bool first, second;  // bubble 1 at (250, 110), bubble 2 at (330, 150)
  } cases[] = {{0.5f, true, false}, {2.0f, true, false},  {2.01f, false, true}, {4.0f, false, true},
               {4.01f, true, false}, {5.0f, true, false}, {5.01f, false, false}};
  for (const Case& c : cases) {
    DrawAt(DrawMammaScene, &g_mamma.part_time, c.t);
    EXPECT_EQ(Pixel(255, 115) == RED, c.first) << c.t;
    EXPECT_EQ(Pixel(335, 155) == GREEN, c.second) << c.t;
  }
}

TEST_F(ScenePartsTest, SwimDayAndNightAndTheSecondObject) {
  LoadSwimScene();
  struct Case {
    float t;
    float first_local_time;
    int32_t background;  // after the frame, starting from day
    int32_t second_hidden;
  } cases[] = {{5.0f, 150.0f, 0, 1},   {5.0f, 151.0f, 1, 1},  {10.49f, 0.0f, 0, 1}, {10.5f, 0.0f, 0, 0},
               {19.99f, 151.0f, 1, 0}, {20.0f, 151.0f, 0, 0}, {30.0f, 400.0f, 0, 0}};
  for (const Case& c : cases) {
    g_swim.background = 0;
    g_swim.used.objects[0]->local_time = c.first_local_time;
    DrawAt(DrawSwimScene, &g_swim.part_time, c.t);
    EXPECT_EQ(g_swim.background, c.background) << c.t;
    EXPECT_EQ(g_swim.used.objects[1]->hidden, c.second_hidden) << c.t;
  }
}

TEST_F(ScenePartsTest, SwimMorphsDuringSecond35AndSwitchesTextureAfter36) {
  LoadSwimScene();
  Mesh* first = g_swim.used.meshes[0];
  const TextureRef* textures = g_swim.scene.textures;
  struct Case {
    float t;
    float x;  // of the second corner: 1 in the base shape, TARGET_X in the target
    int texture;
  } cases[] = {{35.0f, 1.0f, 0}, {35.5f, 2.0f, 0}, {36.0f, 1.0f, 0}, {36.5f, TARGET_X, 1}};
  for (const Case& c : cases) {
    BlendMorph(first, 0.0f);
    first->surface_textures[0] = &g_swim.scene.textures[0];
    DrawAt(DrawSwimScene, &g_swim.part_time, c.t);
    EXPECT_FLOAT_EQ(first->vertices[1].x, c.x) << c.t;
    EXPECT_EQ(first->surface_textures[0], &textures[c.texture]) << c.t;
  }
}

TEST_F(ScenePartsTest, SwamSkyTimeAndTheFirstObjectsLeftBound) {
  LoadSwamScene();
  struct Case {
    float t;
    int32_t background;  // after the frame, starting from night with a finished loop
    int32_t second_hidden;
    float first_x;
  } cases[] = {{14.99f, 1, 1, 0.0f}, {15.0f, 2, 0, 50.0f}, {19.0f, 2, 0, 50.0f}};
  for (const Case& c : cases) {
    g_swam.background = 0;
    g_swam.used.objects[0]->local_time = 151.0f;
    DrawAt(DrawSwamScene, &g_swam.part_time, c.t);
    EXPECT_EQ(g_swam.background, c.background) << c.t;
    EXPECT_EQ(g_swam.used.objects[1]->hidden, c.second_hidden) << c.t;
    EXPECT_FLOAT_EQ(g_swam.used.objects[0]->position[0], c.first_x) << c.t;
  }
}

TEST_F(ScenePartsTest, SwamMorphsBackDuringSecond23AndLeavesSecond24Alone) {
  LoadSwamScene();
  Mesh* first = g_swam.used.meshes[0];
  const TextureRef* textures = g_swam.scene.textures;
  struct Case {
    float t;
    float x;
    int texture;
  } cases[] = {{22.9f, TARGET_X, 1}, {23.5f, 2.0f, 1}, {23.75f, 1.5f, 1}, {24.0f, 2.0f, 1}, {24.5f, 2.0f, 0}};
  for (const Case& c : cases) {
    BlendMorph(first, 0.5f);
    first->surface_textures[0] = &g_swam.scene.textures[1];
    DrawAt(DrawSwamScene, &g_swam.part_time, c.t);
    EXPECT_FLOAT_EQ(first->vertices[1].x, c.x) << c.t;
    EXPECT_EQ(first->surface_textures[0], &textures[c.texture]) << c.t;
  }
}

TEST_F(ScenePartsTest, SwamEndCardOnlyPast28WithTheThirdObjectPulsing) {
  LoadSwamScene();
  for (float t : {27.0f, 28.0f}) {
    DrawAt(DrawSwamScene, &g_swam.part_time, t);
    EXPECT_NE(Pixel(5, 5), BLUE) << t;
    EXPECT_EQ(g_swam.used.objects[0]->hidden, 0) << t;
    EXPECT_EQ(g_swam.used.objects[2]->hidden, 1) << t;
  }
  for (float t : {28.01f, 29.0f, 30.5f}) {
    DrawAt(DrawSwamScene, &g_swam.part_time, t);
    EXPECT_EQ(Pixel(5, 5), BLUE) << t;
    EXPECT_EQ(g_swam.used.objects[0]->hidden, 1) << t;
    EXPECT_EQ(g_swam.used.objects[1]->hidden, 1) << t;
    EXPECT_EQ(g_swam.used.objects[2]->hidden, 0) << t;
    const double weight = std::clamp(std::sin(2.0 * t) + 1.0, 0.0, 1.0);
    EXPECT_NEAR(g_swam.used.meshes[2]->vertices[1].x, 1.0 + weight * (TARGET_X - 1.0), 1e-5) << t;
  }
}

// Under an opaque full-frame card the layers are left undrawn; any other card shows them.
TEST_F(ScenePartsTest, LayersUnderTheEndCardShowWhereTheCardLetsThemThrough) {
  demo_test::WriteSolidPng("wavefront.png", WIDTH + 130, 100, 0, 255, 0);
  struct Case {
    int card_width, card_height;
    uint32_t bottom_left;  // the front wave strip covers the frame's last 100 rows
  } cases[] = {{WIDTH, HEIGHT, BLUE}, {WIDTH, HEIGHT - 1, GREEN}, {20, 20, GREEN}};
  for (const Case& c : cases) {
    demo_test::WriteSolidPng("end.png", c.card_width, c.card_height, 0, 0, 255);
    LoadSwamScene();
    DrawAt(DrawSwamScene, &g_swam.part_time, 29.0f);
    EXPECT_EQ(Pixel(5, HEIGHT - 1), c.bottom_left) << c.card_width << "x" << c.card_height;
  }
}

TEST_F(ScenePartsTest, ScriptShortOfMeshesOrObjectsIsAFatalDataError) {
  struct Case {
    const char* script;
    int meshes, objects;
    void (*load)();
    const char* message;
  } cases[] = {
      {"mamma1.xml", 1, 2, LoadMammaScene, "mamma1.xml: the part needs 2 meshes, the script defines 1\n"},
      {"swim.xml", 2, 1, LoadSwimScene, "swim.xml: the part needs 2 objects, the script defines 1\n"},
      {"swam.xml", 2, 3, LoadSwamScene, "swam.xml: the part needs 3 meshes, the script defines 2\n"},
      {"swam.xml", 3, 2, LoadSwamScene, "swam.xml: the part needs 3 objects, the script defines 2\n"},
  };
  for (const Case& c : cases) {
    WriteBytes(c.script, demo_test::PartScript(c.meshes, c.objects));
    try {
      c.load();
      ADD_FAILURE() << c.message << "was not raised";
    } catch (const FatalError& error) {
      EXPECT_STREQ(error.what(), c.message);
      EXPECT_EQ(error.status, 1);
    }
  }
}

}  // namespace
