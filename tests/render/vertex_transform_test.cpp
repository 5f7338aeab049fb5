// The two-at-a-time vertex transform against the one-at-a-time form, bit for bit.
#include <cstring>
#include <random>
#include <vector>

#include "geometry/mesh.h"
#include "render/vertex_transform.h"
#include "render_test_support.h"

using namespace render_test;

namespace {

TEST_F(RenderTest, PackedVertexTransformMatchesTheScalarForm) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> coordinate(-300.0f, 300.0f), unit(-1.0f, 1.0f), angle(-360.0f, 360.0f);
  const VertexSetup setups[] = {{256, 256, 256, 256, true, false, true},
                                {256, 256, 256, 256, false, true, true},
                                {0, 0, 0, 0, false, false, false}};
  for (const VertexSetup& setup : setups) {
    std::vector<MeshVertex> vertices(301);
    for (MeshVertex& v : vertices) v = MeshVertex{coordinate(random), coordinate(random), coordinate(random),
                                                 unit(random), unit(random), unit(random), unit(random), unit(random)};
    vertices[3] = MeshVertex{0, 0, 0, 0, 0, 0, 0, 0};  // zero normal at the eye, with no translation below
    vertices[8].z = 20.0f;                             // camera z of exactly 0 after the translation
    for (int pass = 0; pass < 3; ++pass) {  // identity, turned and moved, moved only
      LoadIdentity();
      if (pass == 1) Rotate(angle(random), angle(random), angle(random));
      if (pass > 0) Translate(0, 0, 20);
      std::vector<RenderVertex> packed(vertices.size()), scalar(vertices.size());
      TransformMeshVertices(g_render.current, setup, vertices.data(), (int32_t)vertices.size(), packed.data());
      TransformMeshVerticesScalar(g_render.current, setup, vertices.data(), (int32_t)vertices.size(), scalar.data());
      for (size_t i = 0; i < vertices.size(); ++i) {
        ASSERT_EQ(std::memcmp(&packed[i], &scalar[i], sizeof(RenderVertex)), 0) << "vertex " << i << " pass " << pass;
      }
      EXPECT_EQ(scalar[3].nx, 0.0f);
      EXPECT_TRUE(pass != 2 || scalar[8].z == 0.0);
    }
  }
}

}  // namespace
