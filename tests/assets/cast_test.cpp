// The cast as the scene parts draw it: each character's painted skin is its mesh's lightmap,
// read from the corners of texture.png that the sphere map never reads, so the eyes land on
// the eye domes and the colours stay the character's whichever texture a part hands its mesh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <string>

#include "assets_test_support.h"
#include "meshes/shapes.h"
#include "meshes/skins.h"
#include "pack/content.h"
#include "preview/scene.h"

using namespace assets;

namespace {

constexpr float PI = std::numbers::pi_v<float>;

// Every texel a skin coordinate names is painted for a surface point that names the same
// texel (the painting and the meshes agree), from either flank, and no skin texel lies where
// the sphere map reads.
TEST(Skins, CoordinatesReadBackTheSurfacePointTheyWereMadeFor) {
  for (const SkinStrip& strip : {ZIBO_SKIN, MAMMA_SKIN, HEART_SKIN}) {
    for (float s = 0.02f; s < 1.0f; s += 0.05f) {
      for (float angle = 0.0f; angle < 2.0f * PI; angle += 0.3f) {
        SurfaceUv uv = SkinCoordinates(strip, s, angle);
        float x = std::floor(uv.u * 255.0f) + 0.5f, y = std::floor(uv.v * 255.0f) + 0.5f;
        float back_s, back_angle;
        ASSERT_TRUE(SkinParameters(strip, x, y, &back_s, &back_angle)) << s << " " << angle;
        EXPECT_FALSE(InSphereMapDisc(x, y)) << s << " " << angle;
        // A texel spans a few hundredths of s where the strip is thinnest.
        EXPECT_NEAR(back_s, s, 0.03f) << angle;
        SurfaceUv back = SkinCoordinates(strip, back_s, back_angle);
        EXPECT_NEAR(back.u * 255.0f, x, 1.0f) << s << " " << angle;
        EXPECT_NEAR(back.v * 255.0f, y, 1.0f) << s << " " << angle;
      }
    }
  }
}

struct CastMember {
  const char* mesh;
  FishLook look;
  float depth;
  bool warm;  // Zibo is orange, Mamma teal
};

const CastMember CAST[] = {{"zibo.lwo", ZIBO, 70.0f, true}, {"mamma.lwo", MAMMA, 190.0f, false}};

constexpr uint32_t BACKDROP = 0x808080;

class CastTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    for (const char* name : {"zibo.lwo", "mamma.lwo", "texture.png", "texture2.png"}) {
      for (const ContentMaker& maker : ContentMakers()) {
        if (std::string(maker.file_name) != name) continue;
        ContentBytes bytes = maker.make();
        std::ofstream(name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      }
    }
  }

  // The member alone, facing right in the middle of the frame, lit and skinned as the parts
  // do it: its mesh first, with texture.png or texture2.png as its sphere map.
  Canvas Draw(const CastMember& member, bool texture2) {
    std::ofstream("cast.xml", std::ios::binary)
        << "<scene>\r\n<loadlwo name=\"m\" filename=\"" << member.mesh << "\" lightmap=\"texture.png\"/>\r\n"
        << "<object name=\"o\" mesh=\"m\">\r\n<key time=\"0\" pos_z=\"-" << member.depth << "\"/>\r\n</object>\r\n</scene>\r\n";
    Canvas frame = MakeCanvas(512, 384, Hex(BACKDROP));
    std::string error;
    EXPECT_TRUE(DrawScenePose(&frame, {"cast.xml", 1, {0, 0, 0}, 0.0f, texture2, {-1, -1, -1}, 0}, &error)) << error;
    return frame;
  }
};

float Luma(Color c) { return 0.3f * c.r + 0.59f * c.g + 0.11f * c.b; }

TEST_F(CastTest, EyesShowWhiteAndPupilWhereTheShapeHasItsEye) {
  for (const CastMember& member : CAST) {
    Canvas frame = Draw(member, false);
    // The near flank's eye: mesh y is the file's negated, and the camera looks along -z.
    Vec3 eye = FishEyeCentre(member.look);
    float z = member.depth - eye.z;
    int ex = int(256.0f * eye.x / z + 256.0f), ey = int(-256.0f * eye.y / z + 192.0f);
    int reach = int(256.0f * 0.3f * member.look.radius / z) + 1;
    float darkest = 1.0f, brightest = 0.0f;
    for (int y = ey - reach; y <= ey + reach; ++y) {
      for (int x = ex - reach; x <= ex + reach; ++x) {
        darkest = std::min(darkest, Luma(PixelAt(frame, x, y)));
        brightest = std::max(brightest, Luma(PixelAt(frame, x, y)));
      }
    }
    EXPECT_LT(darkest, 0.2f) << member.mesh << " near (" << ex << ", " << ey << ")";
    EXPECT_GT(brightest, 0.75f) << member.mesh << " near (" << ex << ", " << ey << ")";
  }
}

TEST_F(CastTest, EachKeepsItsOwnColoursWhicheverTextureLightsIt) {
  for (const CastMember& member : CAST) {
    Canvas first = Draw(member, false), second = Draw(member, true);
    double red = 0, blue = 0;
    int drawn = 0, differing = 0;
    for (int y = 0; y < first.height; ++y) {
      for (int x = 0; x < first.width; ++x) {
        Color a = PixelAt(first, x, y), b = PixelAt(second, x, y);
        differing += std::abs(a.r - b.r) + std::abs(a.g - b.g) + std::abs(a.b - b.b) > 0.01f;
        if (std::abs(a.r - 0.5f) + std::abs(a.g - 0.5f) + std::abs(a.b - 0.5f) < 0.01f) continue;
        red += a.r;
        blue += a.b;
        ++drawn;
      }
    }
    ASSERT_GT(drawn, 1000) << member.mesh;
    EXPECT_EQ(differing, 0) << member.mesh;
    double warmth = (red - blue) / drawn;
    EXPECT_GT(member.warm ? warmth : -warmth, 0.25) << member.mesh << ": " << warmth;
  }
}

}  // namespace
