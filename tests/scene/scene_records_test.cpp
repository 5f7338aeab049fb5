// Scene records: defaults, the two list operations, mesh lookup and the time windows.
#include <gtest/gtest.h>

#include <cstring>

#include "geometry/mesh.h"
#include "geometry/motion.h"
#include "scene/scene.h"

namespace {

struct OwnedScene {
  Scene scene;
  ~OwnedScene() { FreeScene(&scene); }
};

TEST(SceneRecords, NewSceneDefaults) {
  OwnedScene s;
  EXPECT_EQ(s.scene.objects, nullptr);
  EXPECT_EQ(s.scene.object_count, 0);
  EXPECT_EQ(s.scene.meshes, nullptr);
  EXPECT_EQ(s.scene.fps, 30.0f);
  EXPECT_EQ(s.scene.time, 0.0f);
  EXPECT_EQ(s.scene.delta_seconds, 0.0f);
  EXPECT_EQ(s.scene.texture_count, 0);
  for (const TextureRef& ref : s.scene.textures) ASSERT_EQ(ref.id, 0);
  const SceneObject* camera = s.scene.camera;
  ASSERT_NE(camera, nullptr);
  EXPECT_EQ(camera->position[0], 0.0f);
  EXPECT_EQ(camera->position[2], 20.0f);
  EXPECT_EQ(camera->fov[0], 34.7f);
  EXPECT_EQ(camera->scale[0], 0.0f);
  EXPECT_EQ(camera->alpha[0], 0.0f);
  EXPECT_EQ(camera->motion, nullptr);
  EXPECT_EQ(camera->name[0], '\0');
  EXPECT_EQ(camera->next, nullptr);
}

TEST(SceneRecords, MeshesKeepCallOrder) {
  OwnedScene s;
  Mesh* a = AddMesh(&s.scene);
  Mesh* b = AddMesh(&s.scene);
  Mesh* c = AddMesh(&s.scene);
  EXPECT_EQ(s.scene.mesh_count, 3);
  EXPECT_EQ(s.scene.meshes, a);
  EXPECT_EQ(a->next, b);
  EXPECT_EQ(b->next, c);
  EXPECT_EQ(c->next, nullptr);
  EXPECT_EQ(a->prev, nullptr);
  EXPECT_EQ(b->prev, a);
  EXPECT_EQ(c->prev, b);
  EXPECT_EQ(c->vertex_count, 0);
  EXPECT_EQ(c->vertices, nullptr);
  EXPECT_EQ(c->name[0], '\0');
}

TEST(SceneRecords, ObjectsAreZeroExceptTheirMesh) {
  OwnedScene s;
  Mesh* mesh = AddMesh(&s.scene);
  SceneObject* first = AddObject(&s.scene, mesh);
  SceneObject* second = AddObject(&s.scene, nullptr);
  EXPECT_EQ(s.scene.object_count, 2);
  EXPECT_EQ(s.scene.objects, first);
  EXPECT_EQ(first->next, second);
  EXPECT_EQ(second->prev, first);
  EXPECT_EQ(first->mesh, mesh);
  EXPECT_EQ(first->scale[0], 0.0f);
  EXPECT_EQ(first->fov[0], 0.0f);
  EXPECT_EQ(first->alpha[0], 0.0f);
  EXPECT_EQ(first->position[2], 0.0f);
  EXPECT_EQ(first->motion, nullptr);
}

TEST(SceneRecords, MeshLookupByLeadingPartIgnoringCase) {
  OwnedScene s;
  Mesh* fish = AddMesh(&s.scene);
  std::strcpy(fish->name, "Fish");
  Mesh* sphere = AddMesh(&s.scene);
  std::strcpy(sphere->name, "sphere1");
  Mesh* sphere2 = AddMesh(&s.scene);
  std::strcpy(sphere2->name, "sphere2");
  EXPECT_EQ(FindMeshByPrefix(&s.scene, "sph"), sphere);
  EXPECT_EQ(FindMeshByPrefix(&s.scene, "SPHERE2"), sphere2);
  EXPECT_EQ(FindMeshByPrefix(&s.scene, "fISH"), fish);
  EXPECT_EQ(FindMeshByPrefix(&s.scene, ""), fish);
  EXPECT_EQ(FindMeshByPrefix(&s.scene, "sphere10"), nullptr);
  EXPECT_EQ(FindMeshByPrefix(&s.scene, "whale"), nullptr);
}

TEST(SceneRecords, ObjectNamesAreCutToTheirField) {
  SceneObject object{};
  SetObjectName(&object, "a-name-that-is-far-longer-than-nineteen");
  EXPECT_EQ(std::strlen(object.name), 19u);
  EXPECT_EQ(std::string(object.name), "a-name-that-is-far-");
}

TEST(TimeWindow, WithoutAnEnd) {
  SceneObject object{};
  object.start = 2;
  for (float t : {-5.0f, 0.0f, 2.0f, 3.0f, 1000.0f}) EXPECT_TRUE(ObjectAnimatedAt(&object, t)) << t;
  EXPECT_FALSE(ObjectDrawnAt(&object, 1.0f));
  EXPECT_FALSE(ObjectDrawnAt(&object, 2.0f));
  EXPECT_TRUE(ObjectDrawnAt(&object, 2.01f));
  EXPECT_TRUE(ObjectDrawnAt(&object, 1000.0f));
}

TEST(TimeWindow, StrictAtBothEnds) {
  SceneObject object{};
  object.start = 2;
  object.end = 5;
  EXPECT_FALSE(ObjectAnimatedAt(&object, 2));
  EXPECT_FALSE(ObjectDrawnAt(&object, 2));
  EXPECT_FALSE(ObjectAnimatedAt(&object, 5));
  EXPECT_FALSE(ObjectDrawnAt(&object, 5));
  EXPECT_TRUE(ObjectAnimatedAt(&object, 3));
  EXPECT_TRUE(ObjectDrawnAt(&object, 3));
  EXPECT_FALSE(ObjectAnimatedAt(&object, 6));
}

TEST(SceneRecords, FreeSceneLeavesANewScene) {
  Scene scene;
  Mesh* mesh = AddMesh(&scene);
  mesh->lightmap = new TextureRef{};
  SceneObject* object = AddObject(&scene, mesh);
  object->motion = NewMotion();
  AddMotionKey(object->motion, MOTION_ALPHA);
  scene.camera->motion = NewMotion();
  scene.fps = 20;
  scene.texture_count = 2;
  FreeScene(&scene);
  EXPECT_EQ(scene.meshes, nullptr);
  EXPECT_EQ(scene.objects, nullptr);
  EXPECT_EQ(scene.mesh_count + scene.object_count + scene.texture_count, 0);
  EXPECT_EQ(scene.fps, 30.0f);
  ASSERT_NE(scene.camera, nullptr);
  EXPECT_EQ(scene.camera->motion, nullptr);
  EXPECT_EQ(scene.camera->position[2], 20.0f);
  // The lists start over: nothing is linked to what was freed.
  Mesh* again = AddMesh(&scene);
  SceneObject* placed = AddObject(&scene, again);
  EXPECT_EQ(scene.meshes, again);
  EXPECT_EQ(again->prev, nullptr);
  EXPECT_EQ(scene.objects, placed);
  EXPECT_EQ(placed->prev, nullptr);
  EXPECT_EQ(scene.mesh_count + scene.object_count, 2);
  FreeScene(&scene);
}

}  // namespace

// A reload keeps the scene it replaces by moving it aside: the meshes go with their scene, and
// their surfaces stay bound to the same entries of that scene's own texture list.
TEST(SceneMove, SwappedScenesKeepTheirSurfaceBindings) {
  Scene a, b;
  Mesh* mesh_a = AddMesh(&a);
  Mesh* mesh_b = AddMesh(&b);
  a.textures[3].id = 33;
  b.textures[1].id = 11;
  mesh_a->surface_textures[0] = &a.textures[3];
  mesh_b->surface_textures[2] = &b.textures[1];
  TextureRef outside{};
  mesh_b->surface_textures[5] = &outside;  // not the scene's: left alone

  SwapScenes(&a, &b);
  ASSERT_EQ(a.meshes, mesh_b);
  ASSERT_EQ(b.meshes, mesh_a);
  EXPECT_EQ(mesh_a->surface_textures[0], &b.textures[3]);
  EXPECT_EQ(mesh_a->surface_textures[0]->id, 33);
  EXPECT_EQ(mesh_b->surface_textures[2], &a.textures[1]);
  EXPECT_EQ(mesh_b->surface_textures[2]->id, 11);
  EXPECT_EQ(mesh_b->surface_textures[5], &outside);

  Scene moved(std::move(a));
  EXPECT_EQ(moved.meshes, mesh_b);
  EXPECT_EQ(mesh_b->surface_textures[2], &moved.textures[1]);
  EXPECT_EQ(a.meshes, nullptr);
  EXPECT_EQ(a.mesh_count, 0);
}
