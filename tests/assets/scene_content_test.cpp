// The 3D content as the demo's scene parts use it: the scripts load through the real loader
// with the meshes, objects and morph targets each part relies on; meshes are closed and face
// the camera the way the renderer culls; motion files read back; Zibo's laps loop where the
// parts restart his clock; and, played frame by frame as the parts play them, everything
// stays in the frame, in front of the camera, under the bubbles that speak for it and
// within the triangle budget, and the heart of the ending keeps to the end card's free middle.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "assets_test_support.h"
#include "content.h"
#include "geometry/motion_file.h"
#include "part_play.h"
#include "preview.h"
#include "resource/data_archive.h"
#include "scene/object_motion.h"
#include "scene/scene_xml.h"
#include "scene_projection.h"
#include "scene_script.h"

using namespace assets;

namespace {

bool Is3dContent(const std::string& name) {
  std::string ext = name.substr(name.find_last_of('.') + 1);
  return ext == "lwo" || ext == "mot" || ext == "xml";
}

struct PartScript {
  const char* file;
  ScenePart part;
  int meshes, objects;
  std::vector<int> morphed;  // mesh numbers from 0 that the part morphs
  float length;              // seconds the part is drawn
};

const PartScript SCRIPTS[] = {
    {"mamma1.xml", ScenePart::MAMMA, 2, 2, {}, 9.0f},
    {"swim.xml", ScenePart::SWIM, 2, 2, {0}, 51.0f},
    {"swam.xml", ScenePart::SWAM, 3, 3, {0, 2}, 36.0f},
};

class SceneContentTest : public ScratchDirTest {
 protected:
  void SetUp() override {
    ScratchDirTest::SetUp();
    for (const ContentMaker& maker : ContentMakers()) {
      if (!Is3dContent(maker.file_name)) continue;
      std::vector<uint8_t> bytes = maker.make();
      FILE* f = std::fopen(maker.file_name, "wb");
      ASSERT_NE(f, nullptr);
      std::fwrite(bytes.data(), 1, bytes.size(), f);
      std::fclose(f);
      files_.push_back(maker.file_name);
    }
    ResetSceneXmlState();
    g_scene_xml.quiet = 1;
  }
  void TearDown() override {
    ResetSceneXmlState();
    g_scene_xml.quiet = 0;
    ScratchDirTest::TearDown();
  }
  void Load(Scene* scene, const char* file) {
    ASSERT_EQ(LoadSceneXml(scene, LoadFile(file)), 1) << file;
    ASSERT_TRUE(g_scene_xml.problems.empty()) << file << ": " << g_scene_xml.problems[0].text;
  }
  std::vector<std::string> files_;
};

TEST_F(SceneContentTest, ScriptsGiveThePartsTheirMeshesObjectsAndMorphs) {
  for (const PartScript& s : SCRIPTS) {
    Scene scene;
    Load(&scene, s.file);
    EXPECT_GE(scene.mesh_count, s.meshes) << s.file;
    EXPECT_GE(scene.object_count, s.objects) << s.file;
    for (int n : s.morphed) {
      Mesh* mesh = NthMesh(&scene, n);
      ASSERT_EQ(mesh->morph_count, 2) << s.file << " mesh " << n;
      float moved = 0.0f;
      for (int i = 0; i < mesh->vertex_count; ++i) {
        moved = std::max(moved, std::fabs(mesh->morph_targets[1][i].y - mesh->morph_targets[0][i].y));
      }
      EXPECT_GT(moved, 2.0f) << s.file << ": the target of mesh " << n << " hardly differs from it";
    }
    // No key lies past the end of the part: nothing of it could ever be seen.
    std::vector<const SceneObject*> animated = {scene.camera};
    for (const SceneObject* o = scene.objects; o; o = o->next) animated.push_back(o);
    for (const SceneObject* o : animated) {
      for (const CurveKey* key = o->motion->position.keys; key; key = key->next) {
        EXPECT_LE(key->time, int(s.length * 20.0f)) << s.file << " " << (o == scene.camera ? "camera" : o->name);
      }
    }
    for (Mesh* mesh = scene.meshes; mesh; mesh = mesh->next) {
      EXPECT_GE(mesh->triangle_count, 300) << mesh->name;
      EXPECT_LE(mesh->triangle_count, 3000) << mesh->name;
    }
  }
}

TEST_F(SceneContentTest, MotionFilesReadBackTheirKeysInTimeOrder) {
  int motions = 0;
  for (const std::string& file : files_) {
    if (file.substr(file.size() - 4) != ".mot") continue;
    ++motions;
    SceneObject object{};
    MemChunk chunk = LoadFile(file.c_str());
    int32_t size = chunk.size;
    ASSERT_EQ(LoadMotionChunk(&object, chunk), 1) << file;
    const Curve& position = object.motion->position;
    EXPECT_EQ(size, 16 + 92 * position.key_count) << file;
    EXPECT_EQ(object.motion->rotation.key_count, position.key_count) << file;
    for (const CurveKey* key = position.keys; key && key->next; key = key->next) {
      EXPECT_LT(key->time, key->next->time) << file;
    }
    FreeMotion(object.motion);
  }
  EXPECT_EQ(motions, 3);
}

// The loader takes a script time times 30 in float, truncated, and takes a number that reads
// as the integer -1 for an absent attribute (exactly -1.0 for the default): the script writer
// must give the exact frame and never such a number.
TEST(SceneScriptText, TimesLoadAsTheirFramesAndNumbersAreNeverTakenForAbsent) {
  for (int frames = 0; frames <= 20 * 60; ++frames) {
    ASSERT_EQ(int(float(std::atof(ScriptTime(frames).c_str())) * 30.0f), frames) << ScriptTime(frames);
  }
  for (float value : {-1.0f, -1.2f, -1.5f, -1.99f, -0.5f, -2.0f, 0.0f, 3.25f, -123.45f}) {
    std::string text = ScriptNumber(value);
    EXPECT_NE(std::atoi(text.c_str()), -1) << value;
    EXPECT_NEAR(std::atof(text.c_str()), value, 0.51) << value;
  }
}

// Seen from in front at a distance, a closed mesh shows its near side: the triangles the
// renderer keeps are nearer on average than those it drops, and every edge is shared by
// exactly two triangles running it in opposite directions.
TEST_F(SceneContentTest, MeshesAreClosedAndShowTheirOutside) {
  Scene scene;
  Load(&scene, "swam.xml");
  for (Mesh* mesh = scene.meshes; mesh; mesh = mesh->next) {
    std::map<std::tuple<float, float, float, float, float, float>, int> edges;
    double kept = 0, dropped = 0;
    int kept_count = 0, dropped_count = 0;
    for (int i = 0; i < mesh->triangle_count; ++i) {
      const MeshTriangle& t = mesh->triangles[i];
      const MeshVertex* v[3] = {&mesh->vertices[t.index0], &mesh->vertices[t.index1], &mesh->vertices[t.index2]};
      for (int k = 0; k < 3; ++k) {
        const MeshVertex *a = v[k], *b = v[(k + 1) % 3];
        edges[{a->x, a->y, a->z, b->x, b->y, b->z}] += 1;
        edges[{b->x, b->y, b->z, a->x, a->y, a->z}] -= 1;
      }
      ScreenPoint s[3];
      double depth = 0;
      for (int k = 0; k < 3; ++k) {
        s[k] = ToScreen({v[k]->x, v[k]->y, v[k]->z + 200.0});
        depth += v[k]->z;
      }
      bool front = FacesCamera(s[0], s[1], s[2]);
      (front ? kept : dropped) += depth;
      ++(front ? kept_count : dropped_count);
    }
    int open_edges = 0;
    for (const auto& [edge, balance] : edges) open_edges += balance != 0;
    EXPECT_EQ(open_edges, 0) << mesh->name;
    ASSERT_GT(kept_count, 0) << mesh->name;
    ASSERT_GT(dropped_count, 0) << mesh->name;
    EXPECT_LT(kept / kept_count, dropped / dropped_count) << mesh->name;
  }
}

// The parts restart the first object's clock (and in "swim" the second's) whenever it passes
// 150 frames in the first 20 s: a lap must end in the pose it starts with.
TEST_F(SceneContentTest, LapsThatThePartsRestartEndWhereTheyBegin) {
  const std::pair<const char*, int> LOOPED[] = {{"swim.xml", 0}, {"swim.xml", 1}, {"swam.xml", 0}};
  for (const auto& [file, number] : LOOPED) {
    Scene scene;
    Load(&scene, file);
    SceneObject* object = NthObject(&scene, number);
    float at[2][6];
    const float times[2] = {0.001f, 150.001f};
    for (int i = 0; i < 2; ++i) {
      object->local_time = times[i];
      EvaluateMotion(object, 0.0f);
      std::copy(object->position, object->position + 3, at[i]);
      std::copy(object->rotation, object->rotation + 3, at[i] + 3);
    }
    for (int c = 0; c < 6; ++c) EXPECT_NEAR(at[0][c], at[1][c], 0.05f) << file << " object " << number << " channel " << c;
  }
}

struct ScreenBox {
  double x0 = 1e9, y0 = 1e9, x1 = -1e9, y1 = -1e9, nearest = 1e9;
};

// Every drawn vertex of the object, in both shapes of a morphing mesh.
ScreenBox ObjectBox(const Scene& scene, const SceneObject& object) {
  ScreenBox box;
  Matrix4 view = ObjectView(object, *scene.camera);
  const Mesh* mesh = object.mesh;
  for (int shape = 0; shape < (mesh->morph_count == 2 ? 2 : 1); ++shape) {
    const MeshVertex* v = mesh->morph_count == 2 ? mesh->morph_targets[shape] : mesh->vertices;
    for (int i = 0; i < mesh->vertex_count; ++i) {
      CameraPoint c = ToCamera(view, v[i].x, v[i].y, v[i].z);
      ScreenPoint s = ToScreen(c);
      box = {std::min(box.x0, s.x), std::min(box.y0, s.y), std::max(box.x1, s.x), std::max(box.y1, s.y),
             std::min(box.nearest, c.z)};
    }
  }
  return box;
}

// The wave strips cover the frame from this row down; what lies wholly below it is under water.
constexpr double WATER_ROW = 300.0;

TEST_F(SceneContentTest, PlayedAsThePartsPlayThemEverythingStaysInFrameAndInBudget) {
  for (const PartScript& s : SCRIPTS) {
    Scene scene;
    Load(&scene, s.file);
    PartPlay play = StartPart(&scene, s.part);
    int frames = int(s.length * 30.0f);
    for (int f = 0; f < frames; ++f) {
      StepPart(&play, 1.0f / 30.0f);
      int triangles = 0;
      for (SceneObject* o = scene.objects; o; o = o->next) {
        if (o->hidden || !ObjectDrawnAt(o, scene.time)) continue;
        triangles += o->mesh->triangle_count;
        ScreenBox box = ObjectBox(scene, *o);
        std::string where = std::string(s.file) + " " + o->name + " at " + std::to_string(play.t) + " s";
        EXPECT_GT(box.nearest, 40.0) << where;
        if (s.part == ScenePart::SWAM && play.t > 28.0f) {
          // "The End" and its thanks fill the card down to row 130, the credit starts at 350.
          EXPECT_TRUE(box.y0 >= 130 && box.y1 <= 350) << where << ": " << box.y0 << " to " << box.y1;
        }
        if (box.y0 > WATER_ROW) continue;
        EXPECT_TRUE(box.x0 >= 1 && box.x1 <= 510 && box.y0 >= 1 && box.y1 <= 382)
            << where << ": (" << box.x0 << ", " << box.y0 << ") to (" << box.x1 << ", " << box.y1 << ")";
      }
      EXPECT_LT(triangles, 6000) << s.file << " at " << play.t << " s";
    }
  }
}

// The lowest opaque pixel of a bubble image, which is the tip of its tail.
ScreenPoint TailTip(const char* file) {
  for (const ContentMaker& maker : ContentMakers()) {
    if (std::string(maker.file_name) != file) continue;
    DecodedPng png = DecodeForTest(maker.make());
    for (int y = png.height - 1; y >= 0; --y) {
      for (int x = 0; x < png.width; ++x) {
        if (png.Alpha(x, y) > 200) return {double(x), double(y)};
      }
    }
  }
  return {-1e9, -1e9};
}

struct Speech {
  int script;  // in SCRIPTS
  float second;
  const char* bubble;
  int x, y;     // where the part draws it
  int speaker;  // object number
};

// A moment of every bubble the parts show, with the character it speaks for.
const Speech SPEECHES[] = {
    {0, 1.0f, "boble_zib.png", 250, 110, 0},  {0, 3.0f, "boble_zib1.png", 330, 150, 0},
    {0, 4.7f, "boble_zib.png", 250, 110, 0},  {1, 30.5f, "boble_zib.png", 350, 120, 0},
    {1, 31.5f, "boble_obj.png", 70, 150, 1},  {1, 34.0f, "boble_obj.png", 70, 150, 1},
    {1, 36.5f, "boble_obj.png", 350, 120, 1}, {1, 38.0f, "boble_zib.png", 70, 150, 0},
    {2, 17.0f, "boble_zib.png", 250, 110, 0}, {2, 19.0f, "boble_obj.png", 330, 120, 1},
    {2, 21.0f, "boble_zib.png", 250, 110, 0}, {2, 26.0f, "boble_zib.png", 330, 120, 0},
};

// The tail points at the speaker: the tip is above the speaker's outline, at most a little
// to either side of it and not far above.
TEST_F(SceneContentTest, BubbleTailsPointAtTheirSpeakers) {
  for (const Speech& speech : SPEECHES) {
    const PartScript& s = SCRIPTS[speech.script];
    Scene scene;
    Load(&scene, s.file);
    PartPlay play = StartPart(&scene, s.part);
    while (play.t < speech.second) StepPart(&play, 1.0f / 30.0f);
    ScreenPoint tip = TailTip(speech.bubble);
    tip = {tip.x + speech.x, tip.y + speech.y};
    ScreenBox box = ObjectBox(scene, *NthObject(&scene, speech.speaker));
    std::string where = std::string(s.file) + " at " + std::to_string(speech.second) + " s, " + speech.bubble;
    EXPECT_GE(tip.x, box.x0 - 25) << where;
    EXPECT_LE(tip.x, box.x1 + 25) << where;
    EXPECT_LT(tip.y, box.y0 + 10) << where;
    EXPECT_GT(tip.y, box.y0 - 70) << where;
  }
}

// The preview of the ending is the end card with the heart drawn over its middle by the
// demo's renderer, and it leaves the working directory as it found it.
TEST_F(SceneContentTest, PreviewDrawsTheHeartOverTheEndCard) {
  std::filesystem::path here = std::filesystem::current_path();
  std::string error;
  ASSERT_TRUE(WritePreviews("previews", &error)) << error;
  EXPECT_EQ(std::filesystem::current_path(), here);
  DecodedPng preview = DecodeForTest(ReadBytes("previews/preview_end.png"));
  DecodedPng card = DecodeForTest(MakeEndCard());
  ASSERT_TRUE(preview.ok && card.ok);
  // The frame goes through 8-bit pixels for the renderer, so the card may move by a step.
  auto difference = [&](int x, int y) {
    size_t at = (size_t(y) * size_t(card.width) + size_t(x)) * 4;
    int most = 0;
    for (int c = 0; c < 3; ++c) most = std::max(most, std::abs(int(preview.rgba[at + c]) - int(card.rgba[at + c])));
    return most;
  };
  EXPECT_GT(difference(256, 236), 40);
  EXPECT_LE(difference(20, 20), 1);
}

}  // namespace
