// Morph targets: loading a second shape onto a mesh and blending between the two.
#include "geometry/morph_target.h"

#include <cstring>

#include "geometry_test_support.h"
#include "platform/fatal.h"

namespace {

using geometry_test::ChunkOf;
using geometry_test::Load;
using geometry_test::LoadedMesh;
using geometry_test::TwoTriangleObject;

// The two-triangle object with every point moved by (dx, dy, dz) in file coordinates.
std::vector<uint8_t> Moved(float dx, float dy, float dz) {
  LwoWriter writer = TwoTriangleObject();
  std::vector<float>& p = writer.layers[0].points;
  for (size_t i = 0; i < p.size(); i += 3) {
    p[i] += dx;
    p[i + 1] += dy;
    p[i + 2] += dz;
  }
  return WriteLwo(writer);
}

struct MorphMesh : LoadedMesh {
  MorphMesh() {
    LwoWriter writer = TwoTriangleObject();
    AddLwoUv(AddLwoUvMap(&writer.layers[0], "Lightmap"), 2, 0.25f, 0.5f);
    Load(this, WriteLwo(writer));
  }
};

TEST(MorphTarget, WeightsClampAndInterpolate) {
  MorphMesh m;
  ASSERT_EQ(m.result, 1);
  ASSERT_EQ(LoadMorphTarget(&m.mesh, ChunkOf(Moved(4, 8, -2))), 1);
  EXPECT_EQ(m.mesh.morph_count, 2);
  const MeshVertex base = m.mesh.vertices[2];  // (1, -2, 0)
  for (float w : {0.0f, -0.5f, -100.0f}) {
    ASSERT_EQ(BlendMorph(&m.mesh, w), 1);
    EXPECT_EQ(m.mesh.vertices[2].x, base.x) << w;
    EXPECT_EQ(m.mesh.vertices[2].y, base.y) << w;
    EXPECT_EQ(m.mesh.vertices[2].z, base.z) << w;
  }
  for (float w : {1.0f, 1.5f, 3.0f}) {
    BlendMorph(&m.mesh, w);
    EXPECT_EQ(m.mesh.vertices[2].x, 5.0f) << w;
    EXPECT_EQ(m.mesh.vertices[2].y, -10.0f) << "the target's y is negated too";
    EXPECT_EQ(m.mesh.vertices[2].z, -2.0f) << w;
  }
  BlendMorph(&m.mesh, 0.25f);
  EXPECT_EQ(m.mesh.vertices[2].x, 2.0f);
  EXPECT_EQ(m.mesh.vertices[2].y, -4.0f);
  EXPECT_EQ(m.mesh.vertices[2].z, -0.5f);
}

TEST(MorphTarget, BlendingLeavesNormalsAndLightmapCoordinates) {
  MorphMesh m;
  ASSERT_EQ(LoadMorphTarget(&m.mesh, ChunkOf(Moved(0, 0, 3))), 1);
  const MeshVertex before = m.mesh.vertices[2];
  ASSERT_EQ(before.lu, 0.25f);
  BlendMorph(&m.mesh, 0.7f);
  const MeshVertex& after = m.mesh.vertices[2];
  EXPECT_EQ(after.nx, before.nx);
  EXPECT_EQ(after.ny, before.ny);
  EXPECT_EQ(after.nz, before.nz);
  EXPECT_EQ(after.lu, 0.25f);
  EXPECT_EQ(after.lv, 0.5f);
  EXPECT_NE(after.z, before.z);
}

TEST(MorphTarget, MeshWithoutTargetIsNotBlended) {
  MorphMesh m;
  const float x = m.mesh.vertices[1].x;
  EXPECT_EQ(BlendMorph(&m.mesh, 0.5f), 0);
  EXPECT_EQ(m.mesh.vertices[1].x, x);
}

TEST(MorphTarget, CountMismatchIsFatalWithStatusOne) {
  MorphMesh m;
  LwoWriter other = TwoTriangleObject();
  AddLwoPolygon(&other.layers[0], {1, 2, 3}, "Red");  // same points, one triangle more
  testing::internal::CaptureStderr();
  try {
    LoadMorphTarget(&m.mesh, ChunkOf(WriteLwo(other), "other.lwo"));
    testing::internal::GetCapturedStderr();
    FAIL() << "a mismatching target must end the load";
  } catch (const FatalError& e) {
    // The fatal message keeps its words; a line before it says which file and how it differs.
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "other.lwo: morph target of 4 points and 3 triangles for a mesh of 4 and 2"),
              std::string::npos);
    EXPECT_STREQ(e.what(), "MORPH: numvert/polys doesn't match!\n");
    EXPECT_EQ(e.status, 1);
    EXPECT_TRUE(e.caption.empty());
  }
}

TEST(MorphTarget, TargetThatIsNotLwo2EndsInTheMismatch) {
  MorphMesh m;
  std::vector<uint8_t> bytes = Moved(1, 0, 0);
  std::memcpy(&bytes[8], "LWOB", 4);
  testing::internal::CaptureStderr();
  EXPECT_THROW(LoadMorphTarget(&m.mesh, ChunkOf(bytes)), FatalError);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("Wrong File Format!"), std::string::npos);
}

TEST(MorphTarget, DamagedTargetIsRefusedWithoutEndingTheProgram) {
  MorphMesh m;
  std::vector<uint8_t> bytes = Moved(1, 0, 0);
  bytes.resize(bytes.size() - 5);
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadMorphTarget(&m.mesh, ChunkOf(bytes, "morph.lwo")), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("morph.lwo: FORM chunk"), std::string::npos);
  EXPECT_EQ(m.mesh.morph_count, 1);
  EXPECT_EQ(BlendMorph(&m.mesh, 1.0f), 0);
}

TEST(MorphTarget, MissingFileLeavesTheMeshUnmorphable) {
  MorphMesh m;
  MemChunk missing{};
  EXPECT_EQ(LoadMorphTarget(&m.mesh, missing), 0);
  EXPECT_EQ(m.mesh.morph_count, 1);
  EXPECT_NE(m.mesh.morph_targets, nullptr) << "the target arrays exist already";
  EXPECT_EQ(BlendMorph(&m.mesh, 1.0f), 0);
}

TEST(MorphTarget, NothingLoadedIsRefused) {
  Mesh empty{};
  testing::internal::CaptureStderr();
  EXPECT_EQ(LoadMorphTarget(&empty, ChunkOf(Moved(0, 0, 0))), 0);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("No object preloaded in Morph"), std::string::npos);
  EXPECT_EQ(empty.morph_targets, nullptr);
}

TEST(MorphTarget, SecondTargetReplacesTheFirst) {
  MorphMesh m;
  const float base_x = m.mesh.vertices[2].x;
  ASSERT_EQ(LoadMorphTarget(&m.mesh, ChunkOf(Moved(4, 0, 0))), 1);
  BlendMorph(&m.mesh, 0.5f);  // the drawn shape is now halfway
  ASSERT_EQ(LoadMorphTarget(&m.mesh, ChunkOf(Moved(10, 0, 0))), 1);
  BlendMorph(&m.mesh, 1.0f);
  EXPECT_EQ(m.mesh.vertices[2].x, base_x + 10.0f);
  BlendMorph(&m.mesh, 0.0f);
  EXPECT_EQ(m.mesh.vertices[2].x, base_x) << "the base shape is the one loaded, not a blend";
}

}  // namespace
