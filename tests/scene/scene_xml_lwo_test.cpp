// Scene scripts over LWO2 files the tests write: mesh names, morph targets, lightmaps,
// surface texture binding, and a whole scene evaluated frame by frame.
#include <gtest/gtest.h>

#include <cstring>

#include "geometry/lwo_writer.h"
#include "geometry/mesh.h"
#include "geometry/motion.h"
#include "geometry/motion_writer.h"
#include "scene/object_motion.h"
#include "scene/scene_test_support.h"

namespace {

// A unit square of two triangles on one textured surface whose image is clip 1.
std::vector<uint8_t> SquareLwo(float z, const char* image, bool extra_triangle = false) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "square");
  AddLwoPoint(layer, 0, 0, z);
  AddLwoPoint(layer, 1, 0, z);
  AddLwoPoint(layer, 1, 1, z);
  AddLwoPoint(layer, 0, 1, z);
  AddLwoPolygon(layer, {0, 1, 2}, "Skin");
  AddLwoPolygon(layer, {0, 2, 3}, "Skin");
  if (extra_triangle) AddLwoPolygon(layer, {1, 2, 3}, "Skin");
  LwoWriterMap* uv = AddLwoUvMap(layer, "Texture");
  for (int i = 0; i < 4; i++) AddLwoUv(uv, i, (float)(i & 1), (float)(i >> 1));
  AddLwoSurface(&writer, "Skin", 1, 0.5f, 0, "Texture", 1);
  AddLwoClip(&writer, 1, image);
  return WriteLwo(writer);
}

using SceneXmlLwo = SceneScriptTest;

TEST_F(SceneXmlLwo, MeshIsNamedAfterItsFileWithoutAName) {
  WriteFile("square.lwo", SquareLwo(0, "Images/wall.png"));
  Load("<demo><scene>\n"
       "<loadlwo filename=\"square.lwo\"/>\n"
       "<loadlwo name=\"named\" filename=\"square.lwo\"/>\n"
       "</scene></demo>\n");
  ASSERT_EQ(scene_.mesh_count, 2);
  EXPECT_STREQ(MeshAt(0)->name, "square.lwo");
  EXPECT_STREQ(MeshAt(1)->name, "named");
  EXPECT_EQ(MeshAt(0)->triangle_count, 2);
  EXPECT_EQ(MeshAt(0)->morph_count, 1);
  EXPECT_EQ(MeshAt(0)->lightmap, nullptr);
  EXPECT_STREQ(MeshAt(0)->surface_texture_names[0], "wall.png");
}

TEST_F(SceneXmlLwo, MorphTargetAndLightmap) {
  WriteFile("square.lwo", SquareLwo(0, "wall.png"));
  WriteFile("square_bent.lwo", SquareLwo(5, "wall.png"));
  Load("<demo><scene>\n"
       "<loadlwo name=\"sq\" filename=\"square.lwo\" morphfile=\"square_bent.lwo\" lightmap=\"lightmap.png\"/>\n"
       "</scene></demo>\n");
  Mesh* mesh = MeshAt(0);
  EXPECT_EQ(mesh->morph_count, 2);
  ASSERT_NE(mesh->morph_targets, nullptr);
  EXPECT_EQ(mesh->morph_targets[1][0].z, 5.0f);
  ASSERT_NE(mesh->lightmap, nullptr);
  EXPECT_EQ(mesh->lightmap->id, 0);
  EXPECT_STREQ(mesh->lightmap->name, "");
}

TEST_F(SceneXmlLwo, LightmapMinusOneIsNotGiven) {
  WriteFile("square.lwo", SquareLwo(0, "wall.png"));
  Load("<demo><scene><loadlwo filename=\"square.lwo\" lightmap=\"-1\"/></scene></demo>\n");
  EXPECT_EQ(MeshAt(0)->lightmap, nullptr);
}

TEST_F(SceneXmlLwo, MissingMorphFile) {
  WriteFile("square.lwo", SquareLwo(0, "wall.png"));
  FatalError error = LoadFailing(
      "<demo><scene><loadlwo filename=\"square.lwo\" morphfile=\"nothere.lwo\"/></scene></demo>\n");
  EXPECT_STREQ(error.what(), "Error in XML: nothere.lwo Could not open morph filename");
  EXPECT_EQ(error.place, "script.xml:1");
  EXPECT_EQ(error.status, -1);
}

TEST_F(SceneXmlLwo, MorphTargetOfAnotherShapeIsFatal) {
  WriteFile("square.lwo", SquareLwo(0, "wall.png"));
  WriteFile("other.lwo", SquareLwo(0, "wall.png", true));
  FatalError error = LoadFailing(
      "<demo><scene><loadlwo filename=\"square.lwo\" morphfile=\"other.lwo\"/></scene></demo>\n");
  EXPECT_NE(std::string(error.what()).find("MORPH: numvert/polys doesn't match!"), std::string::npos);
  EXPECT_NE(error.status, 0);
}

TEST_F(SceneXmlLwo, BrokenLwoFileCouldNotOpen) {
  std::vector<uint8_t> bytes = SquareLwo(0, "wall.png");
  bytes.resize(bytes.size() / 2);
  WriteFile("half.lwo", bytes);
  testing::internal::CaptureStderr();
  FatalError error = LoadFailing("<demo><scene><loadlwo filename=\"half.lwo\"/></scene></demo>\n");
  testing::internal::GetCapturedStderr();
  EXPECT_STREQ(error.what(), "Error in XML: half.lwo Could not open");
}

TEST_F(SceneXmlLwo, SurfaceTexturesBindByWholeNameIgnoringCase) {
  WriteFile("square.lwo", SquareLwo(0, "maps/WALL.PNG"));
  WriteFile("floor.lwo", SquareLwo(0, "wall.png.old"));
  std::strcpy(scene_.textures[0].name, "wall");
  std::strcpy(scene_.textures[1].name, "wall.png");
  std::strcpy(scene_.textures[2].name, "Wall.png");
  scene_.textures[1].id = 7;
  scene_.texture_count = 3;
  Load("<demo><scene>\n"
       "<loadlwo name=\"a\" filename=\"square.lwo\"/>\n"
       "<loadlwo name=\"b\" filename=\"floor.lwo\"/>\n"
       "</scene></demo>\n");
  EXPECT_EQ(MeshAt(0)->surface_textures[0], &scene_.textures[1]);  // the first match
  EXPECT_EQ(MeshAt(1)->surface_textures[0], nullptr);               // no leading-part match
}

TEST_F(SceneXmlLwo, WholeSceneEvaluatesFrameByFrame) {
  WriteFile("square.lwo", SquareLwo(0, "wall.png"));
  WriteFile("square_bent.lwo", SquareLwo(2, "wall.png"));
  MotionWriter walk;
  MotionRecord record{};
  record.scale[0] = record.scale[1] = record.scale[2] = 1;
  AddMotionRecord(&walk, record);
  record.time = 20;
  record.position[0] = 20;
  AddMotionRecord(&walk, record);
  record.time = 40;
  record.position[0] = 0;
  AddMotionRecord(&walk, record);
  ASSERT_EQ(SaveMotionFile(walk, "walk.mot"), 1);

  Load("<demo>\n"
       "<scene>\n"
       "  <loadlwo name=\"fish\" filename=\"square.lwo\" morphfile=\"square_bent.lwo\"/>\n"
       "  <CreateSphere name=\"bubble\" radius=\"0.5\" slices=\"8\"/>\n"
       "  <object name=\"swimmer\" mesh=\"fish\" motion=\"walk.mot\">\n"
       "  </object>\n"
       "  <object name=\"bubble1\" mesh=\"bub\">\n"
       "    <key time=\"0\" pos_y=\"0\" alpha=\"0\" curve=\"0\"/>\n"
       "    <key time=\"1\" pos_y=\"10\" alpha=\"1\"/>\n"
       "  </object>\n"
       "  <camera>\n"
       "    <key time=\"0\" pos_z=\"30\" fov=\"40\"/>\n"
       "    <key time=\"2\" pos_z=\"10\" fov=\"60\"/>\n"
       "  </camera>\n"
       "</scene>\n"
       "</demo>\n");
  ASSERT_EQ(scene_.mesh_count, 2);
  ASSERT_EQ(scene_.object_count, 2);
  EXPECT_TRUE(g_scene_xml.problems.empty());

  // The demo parts play the scene at 20 frames per second after loading.
  scene_.fps = 20;
  scene_.delta_seconds = 0.5f;  // 10 frames per update
  UpdateSceneMotion(&scene_);
  SceneObject* swimmer = ObjectAt(0);
  SceneObject* bubble = ObjectAt(1);
  // Catmull-Rom through 0, 20, 0 at times 0, 20, 40: at 10, S0 = 20, D1 = 0, h = 0.5.
  EXPECT_FLOAT_EQ(swimmer->position[0], 12.5f);
  EXPECT_EQ(swimmer->scale[0], 1.0f);
  EXPECT_EQ(swimmer->alpha[0], 1.0f);
  EXPECT_FLOAT_EQ(bubble->position[1], 10.0f / 3.0f);  // linear, keys at 0 and 30 frames
  EXPECT_FLOAT_EQ(bubble->alpha[0], 1.0f / 3.0f);
  EXPECT_EQ(bubble->scale[2], 1.0f);
  EXPECT_FLOAT_EQ(scene_.camera->position[2], 30 - 20 * (10.0f / 60.0f));
  EXPECT_FLOAT_EQ(scene_.camera->fov[0], 40 + 20 * (10.0f / 60.0f));

  for (int i = 0; i < 10; i++) UpdateSceneMotion(&scene_);  // 110 frames: past every key
  EXPECT_EQ(swimmer->position[0], 0.0f);
  EXPECT_EQ(bubble->position[1], 10.0f);
  EXPECT_EQ(scene_.camera->position[2], 10.0f);
  EXPECT_EQ(scene_.camera->fov[0], 60.0f);  // fov holds its last key too
}

}  // namespace
