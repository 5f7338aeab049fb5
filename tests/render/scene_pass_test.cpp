// Whole frames through RenderScene: time windows, culling, the painter's order, the pool
// limit, and triangles whose textures are missing.
#include <algorithm>
#include <string>

#include "render/scene_pass.h"
#include "render_test_support.h"

using namespace render_test;

namespace {

constexpr uint32_t GREEN = GREEN_PIXEL, RED = RED_PIXEL, WHITE = WHITE_PIXEL;
TEST_F(RenderTest, ObjectsDrawOnlyInsideTheirTimeWindow) {
  SceneObject* object = AddObject(&scene_, AddCornerMesh(&scene_, FacingTriangle(0, 0, 5), SolidTexture(GREEN)));
  const float cases[][4] = {{0, 0, 0, 0}, {0, 0, 0.5f, 1}, {5, 10, 5, 0}, {5, 10, 10, 0}, {5, 10, 7, 1}, {5, 10, 11, 0}};
  for (const auto& c : cases) {  // start, end, time, triangles drawn
    object->start = c[0], object->end = c[1], scene_.time = c[2];
    RenderScene(FrameViewOf(&frame_), &scene_);
    EXPECT_EQ(g_render.triangle_count, c[3]) << c[0] << " " << c[1] << " " << c[2];
  }
}

TEST_F(RenderTest, BackFacesAndCornersBehindTheEyeAreDropped) {
  const std::vector<Corner> back = {{-40, 0, 0}, {-40, 5, 0}, {-35, 0, 0}};
  // Clockwise on the screen, but one corner at camera z = -0.001.
  const std::vector<Corner> behind = {{0, 0, 0}, {0, 5, 20.001f}, {5, 0, 0}};
  AddObject(&scene_, AddCornerMesh(&scene_, back, SolidTexture(RED)));
  AddObject(&scene_, AddCornerMesh(&scene_, behind, SolidTexture(RED)));
  AddObject(&scene_, nullptr);  // an object without a mesh is skipped
  AddObject(&scene_, AddCornerMesh(&scene_, FacingTriangle(10, 0, 5), SolidTexture(GREEN)));
  RenderScene(FrameViewOf(&frame_), &scene_);
  EXPECT_EQ(g_render.triangle_count, 3);
  EXPECT_EQ(g_render.row_count, 1);
  EXPECT_EQ(CountPixels(RED), 0);
  EXPECT_GT(CountPixels(GREEN), 0);
}

TEST_F(RenderTest, FarTrianglesAreDrawnFirst) {
  struct {
    float near_z, far_z;  // object z; the camera is at 20
    uint32_t expected;
  } cases[] = {{-80, -180, GREEN}, {10, 9.99f, RED}};  // depths 100 / 200; 10.0 / 10.01 keep emission order
  for (const auto& c : cases) {
    FreeScene(&scene_);
    scene_.time = 1;
    const float size = c.near_z > 0 ? 2 : 100;
    AddObject(&scene_, AddCornerMesh(&scene_, FacingTriangle(-size / 2, -size / 2, size), SolidTexture(GREEN)))->position[2] = c.near_z;
    AddObject(&scene_, AddCornerMesh(&scene_, FacingTriangle(-size / 4, -size / 4, size / 2), SolidTexture(RED)))->position[2] = c.far_z;
    RenderScene(FrameViewOf(&frame_), &scene_);
    ASSERT_EQ(g_render.row_count, 2);
    EXPECT_EQ(Pixel(246, 182), c.expected) << c.near_z;
  }
}

// The scene goes where it is told: another frame of the same size gets the pixels, and the
// frame the renderer was set up with none of them.
TEST_F(RenderTest, TheSceneIsDrawnIntoTheFrameItIsGiven) {
  scene_.time = 1;
  AddObject(&scene_, AddCornerMesh(&scene_, FacingTriangle(-5, -5, 10), SolidTexture(GREEN)));
  std::vector<uint32_t> other(pixels_.size(), 0);
  Texture other_frame{512, 384, other.data(), 0};
  RenderScene(FrameViewOf(&other_frame), &scene_);
  EXPECT_GT(std::count(other.begin(), other.end(), GREEN), 0);
  EXPECT_EQ(CountPixels(GREEN), 0);
}

TEST_F(RenderTest, MissingTexturesAreOutlinedButNotFilled) {
  const uint32_t cases[][4] = {{~0u, ~0u, 1, 0}, {99, ~0u, 1, 0}, {0, ~0u, 0, 0}, {0, 77, 1, GREEN}, {0, 1, 1, 0x000000FE}};
  SolidTexture(GREEN);
  SolidTexture(0xFF0000FF);
  for (const auto& c : cases) {  // texture id, lightmap id (~0: none), CAP_TEXTURE, fill
    FreeScene(&scene_);
    std::fill(pixels_.begin(), pixels_.end(), 0u);
    scene_.time = 1;
    scene_.textures[0] = TextureRef{static_cast<int32_t>(c[0]), "t"};
    Mesh* mesh = AddCornerMesh(&scene_, FacingTriangle(-5, -5, 10), c[0] != ~0u ? &scene_.textures[0] : nullptr);
    mesh->lightmap = c[1] != ~0u ? new TextureRef{static_cast<int32_t>(c[1]), "l"} : nullptr;
    mesh->outline = 1;
    AddObject(&scene_, mesh);
    c[2] ? RenderEnable(CAP_TEXTURE) : RenderDisable(CAP_TEXTURE);
    RenderScene(FrameViewOf(&frame_), &scene_);
    EXPECT_GT(CountPixels(WHITE), 0) << c[0] << " " << c[1];
    EXPECT_EQ(Pixel(250, 186), c[3]) << c[0] << " " << c[1];
  }
}

TEST_F(RenderTest, AFullPoolDropsTheRestAndSaysSoOnce) {
  Mesh* mesh = AddCornerMesh(&scene_, FacingTriangle(0, 0, 1), nullptr);
  delete[] mesh->triangles;
  mesh->triangle_count = TRIANGLE_POOL_SIZE + 1;
  mesh->triangles = AllocateMeshTriangles(mesh->triangle_count);
  for (int32_t t = 0; t < mesh->triangle_count; ++t) mesh->triangles[t].index1 = 1, mesh->triangles[t].index2 = 2;
  AddObject(&scene_, mesh);
  AddObject(&scene_, mesh);  // met with the pool full: counted, and its vertices not transformed
  for (int run = 0; run < 2; ++run) {
    testing::internal::CaptureStderr();
    RenderScene(FrameViewOf(&frame_), &scene_);
    const std::string console = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(g_render.triangle_count == TRIANGLE_POOL_SIZE && g_render.row_count == TRIANGLE_POOL_SIZE);
    EXPECT_EQ(g_render.vertex_count, 3);
    EXPECT_EQ(run == 0 ? console.find("64002 triangles") != std::string::npos : console.empty(), true) << console;
    EXPECT_EQ(std::count(console.begin(), console.end(), '\n'), run == 0 ? 1 : 0);
  }
}

}  // namespace
