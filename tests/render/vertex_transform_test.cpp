// The packed vertex transforms against the one-at-a-time form, bit for bit: two at a time in
// SSE2, and the whole TransformMeshVertices (four at a time in AVX where the processor has it).
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "geometry/mesh.h"
#include "render/vertex_transform.h"
#include "render_test_support.h"

using namespace render_test;

namespace {

TEST_F(RenderTest, PackedVertexTransformsMatchTheScalarForm) {
  std::mt19937 random(5);
  std::uniform_real_distribution<float> coordinate(-300.0f, 300.0f), unit(-1.0f, 1.0f), angle(-360.0f, 360.0f);
  const float inf = std::numeric_limits<float>::infinity(), nan = std::nanf("");
  // Sphere mapping to the base layer, to the second layer, none; with a lightmap, without.
  const bool layers[][3] = {{true, false, true}, {false, true, true}, {false, false, false}};
  for (const auto& layer : layers) {
    for (bool rectangle : {true, false}) {  // flags from the surely-inside rectangle, or from the planes
      VertexSetup setup{};
      setup.texture_width = setup.texture_height = setup.lightmap_width = setup.lightmap_height = layer[2] ? 256 : 0;
      setup.envmap_base = layer[0], setup.envmap_layer2 = layer[1], setup.lightmap = layer[2];
      setup.planes = ClipPlanesAsLanes(g_render.clip_planes);
      if (rectangle) {
        setup.inside = SurelyInsideRectangle(g_render.clip_planes, FOCAL_LENGTH, 256, 192, 1.0f, 1.0f);
      }
      setup.right = 511.0f, setup.bottom = 383.0f;
      std::vector<MeshVertex> vertices(303);
      for (MeshVertex& v : vertices) v = MeshVertex{coordinate(random), coordinate(random), coordinate(random),
                                                   unit(random), unit(random), unit(random), unit(random), unit(random)};
      vertices[3] = MeshVertex{0, 0, 0, 0, 0, 0, 0, 0};  // zero normal at the eye, with no translation below
      vertices[8].z = 20.0f;                             // camera z of exactly 0 after the translation
      vertices[13] = MeshVertex{nan, 1, 2, nan, 0, 1, nan, 0};
      vertices[18] = MeshVertex{inf, -inf, 5, 0, inf, 0, 1, 1};
      for (int pass = 0; pass < 3; ++pass) {  // identity, turned and moved, moved only
        LoadIdentity();
        if (pass == 1) Rotate(angle(random), angle(random), angle(random));
        if (pass > 0) Translate(0, 0, 20);
        const int32_t n = (int32_t)vertices.size();
        std::vector<ScreenVertex> scalar(n);
        std::vector<CameraVertex> scalar_camera(n);
        TransformMeshVerticesScalar(g_render.current, setup, vertices.data(), n, scalar.data(), scalar_camera.data());
        for (int form = 0; form < 2; ++form) {
          std::vector<ScreenVertex> packed(n);
          std::vector<CameraVertex> packed_camera(n);
          (form == 0 ? TransformMeshVerticesPairs : TransformMeshVertices)(g_render.current, setup, vertices.data(), n,
                                                                          packed.data(), packed_camera.data());
          for (int32_t i = 0; i < n; ++i) {
            const CameraVertex &a = packed_camera[i], &b = scalar_camera[i];
            ASSERT_EQ(std::memcmp(&packed[i], &scalar[i], sizeof(ScreenVertex)), 0)
                << "vertex " << i << " pass " << pass << " form " << form;
            ASSERT_TRUE(std::memcmp(&a, &b, offsetof(CameraVertex, flags)) == 0 && a.flags == b.flags)
                << "vertex " << i << " pass " << pass << " form " << form;
          }
        }
        EXPECT_EQ(scalar_camera[3].u, setup.envmap_base ? 128.0f : 0.0f);  // the zero normal maps to the centre
        EXPECT_TRUE(pass != 2 || scalar_camera[8].z == 0.0);
      }
    }
  }
}

}  // namespace
