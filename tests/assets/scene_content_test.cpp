// The 3D content as the demo's scene parts load and play it, checked for what the parts rely on
// and for where everything lands on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "assets_test_support.h"
#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "geometry/motion.h"
#include "geometry/motion_file.h"
#include "meshes/skins.h"
#include "pack/content.h"
#include "preview/frames.h"
#include "render/render_context.h"
#include "resource/data_archive.h"
#include "scene/object_motion.h"
#include "scene/scene.h"
#include "scene/scene_xml.h"
#include "scenes/script.h"

using namespace assets;

namespace {

template <class T>
T* Nth(T* item, int n) {
  while (item && n-- > 0) item = item->next;
  return item;
}

// Plays a script the way the demo's 3D parts do, frame by frame, without drawing: each part's
// restarts of its first objects' clocks, its hiding and showing, the x >= 50 floor of "swam"
// and its morphs.
enum class ScenePart { MAMMA, SWIM, SWAM };

struct PartPlay {
  Scene* scene;
  ScenePart part;
  float t = 0.0f;  // part seconds

  PartPlay(Scene* s, ScenePart p) : scene(s), part(p) {
    for (int i = 0; i < 2; ++i) Nth(scene->objects, i)->local_time = 0.0f;
    scene->time = 0.0f;
    scene->fps = 20.0f;
    if (part == ScenePart::SWAM) Nth(scene->objects, 2)->hidden = 1;
  }
  void Step(float delta) {
    SceneObject* first = scene->objects;
    SceneObject* second = first->next;
    Mesh* mesh = scene->meshes;
    if (part != ScenePart::MAMMA && first->local_time > 150.0f && t < 20.0f) {
      first->local_time = 0.0f;
      if (part == ScenePart::SWIM) second->local_time = 0.0f;
    }
    if (part == ScenePart::SWIM) second->hidden = t < 10.5f ? 1 : 0;
    scene->delta_seconds = delta;
    t += delta;
    UpdateSceneMotion(scene);
    if (part == ScenePart::SWIM && t > 35.0f) BlendMorph(mesh, std::min(t - 35.0f, 1.0f));
    if (part != ScenePart::SWAM) return;
    second->hidden = t < 15.0f ? 1 : 0;
    if (t >= 15.0f && first->position[0] < 50.0f) first->position[0] = 50.0f;
    if (t < 23.0f) BlendMorph(mesh, 1.0f);
    else if (t < 24.0f) BlendMorph(mesh, 1.0f - (t - 23.0f));
    if (t > 28.0f) {
      second->next->hidden = 0;
      first->hidden = second->hidden = 1;
      BlendMorph(Nth(mesh, 2), std::sin(2.0f * t) + 1.0f);
    }
  }
};

// Camera space (x right, y down, z into the screen), projected with focal length 256 about
// (256, 192); the object's matrix is built with the renderer's own operations in the scene
// pass's order.
struct ScreenPoint {
  double x, y;
};

ScreenPoint ToScreen(double x, double y, double z) {
  if (z == 0.0) z = -1.0;
  return {256.0 * x / z + 256.0, 256.0 * y / z + 192.0};
}

// The back-face rule: corners that run counter-clockwise on screen (y down) are dropped.
bool FacesCamera(ScreenPoint a, ScreenPoint b, ScreenPoint c) {
  return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) >= 0.0;
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
      std::string ext = std::filesystem::path(maker.file_name).extension();
      if (ext != ".lwo" && ext != ".mot" && ext != ".xml") continue;
      std::vector<uint8_t> bytes = maker.make();
      std::ofstream(maker.file_name, std::ios::binary).write((const char*)bytes.data(), bytes.size());
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
      Mesh* mesh = Nth(scene.meshes, n);
      ASSERT_EQ(mesh->morph_count, 2) << s.file << " mesh " << n;
      float moved = 0.0f;
      for (int i = 0; i < mesh->vertex_count; ++i) {
        moved = std::max(moved, std::fabs(mesh->morph_targets[1][i].y - mesh->morph_targets[0][i].y));
      }
      EXPECT_GT(moved, 2.0f) << s.file << ": the target of mesh " << n << " hardly differs from it";
    }
    // No key lies past the end of the part: nothing of it could ever be seen.
    for (const SceneObject* o = scene.camera; o; o = o == scene.camera ? scene.objects : o->next) {
      for (const CurveKey* key = o->motion->position.keys; key; key = key->next) {
        EXPECT_LE(key->time, int(s.length * 20.0f)) << s.file << " " << (o == scene.camera ? "camera" : o->name);
      }
    }
    for (Mesh* mesh = scene.meshes; mesh; mesh = mesh->next) {
      EXPECT_TRUE(mesh->triangle_count >= 300 && mesh->triangle_count <= 3000) << mesh->name;
      // The skin is the lightmap, read outside the disc that the sphere map reads.
      EXPECT_NE(mesh->lightmap, nullptr) << s.file << " " << mesh->name;
      int in_disc = 0;
      for (int i = 0; i < mesh->vertex_count; ++i) {
        float x = 255.0f * mesh->vertices[i].lu, y = 255.0f * mesh->vertices[i].lv;
        in_disc += x < 0.0f || y < 0.0f || x >= 256.0f || y >= 256.0f || InSphereMapDisc(x, y);
      }
      EXPECT_EQ(in_disc, 0) << s.file << " " << mesh->name;
    }
  }
}

TEST_F(SceneContentTest, MotionFilesReadBackTheirKeysInTimeOrder) {
  int motions = 0;
  for (const std::string& file : files_) {
    if (file.substr(file.size() - 4) != ".mot") continue;
    ++motions;
    SceneObject object{};
    ASSERT_EQ(LoadMotionChunk(&object, LoadFile(file.c_str())), 1) << file;
    const Curve& position = object.motion->position;
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
    double depth[2] = {0, 0};  // dropped, kept
    int count[2] = {0, 0};
    for (int i = 0; i < mesh->triangle_count; ++i) {
      const MeshTriangle& t = mesh->triangles[i];
      const MeshVertex* v[3] = {&mesh->vertices[t.index0], &mesh->vertices[t.index1], &mesh->vertices[t.index2]};
      ScreenPoint s[3];
      for (int k = 0; k < 3; ++k) {
        const MeshVertex *a = v[k], *b = v[(k + 1) % 3];
        edges[{a->x, a->y, a->z, b->x, b->y, b->z}] += 1;
        edges[{b->x, b->y, b->z, a->x, a->y, a->z}] -= 1;
        s[k] = ToScreen(a->x, a->y, a->z + 200.0);
      }
      bool front = FacesCamera(s[0], s[1], s[2]);
      depth[front] += v[0]->z + v[1]->z + v[2]->z;
      ++count[front];
    }
    int open_edges = 0;
    for (const auto& [edge, balance] : edges) open_edges += balance != 0;
    EXPECT_EQ(open_edges, 0) << mesh->name;
    ASSERT_TRUE(count[0] > 0 && count[1] > 0) << mesh->name;
    EXPECT_LT(depth[1] / count[1], depth[0] / count[0]) << mesh->name;
  }
}

// The parts restart the first object's clock (and in "swim" the second's) whenever it passes
// 150 frames in the first 20 s: a lap must end in the pose it starts with.
TEST_F(SceneContentTest, LapsThatThePartsRestartEndWhereTheyBegin) {
  const std::pair<const char*, int> LOOPED[] = {{"swim.xml", 0}, {"swim.xml", 1}, {"swam.xml", 0}};
  for (const auto& [file, number] : LOOPED) {
    Scene scene;
    Load(&scene, file);
    SceneObject* object = Nth(scene.objects, number);
    float at[2][6];
    for (int i = 0; i < 2; ++i) {
      object->local_time = i ? 150.001f : 0.001f;
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
  const SceneObject& camera = *scene.camera;
  LoadIdentity();
  Rotate(object.rotation[0], object.rotation[1], object.rotation[2]);
  Translate(object.position[0], object.position[1], object.position[2]);
  Translate(-camera.position[0], -camera.position[1], -camera.position[2]);
  Rotate(-camera.rotation[0], -camera.rotation[1], -camera.rotation[2]);
  Matrix4 view = g_render.current;
  ScreenBox box;
  const Mesh* mesh = object.mesh;
  for (int shape = 0; shape < (mesh->morph_count == 2 ? 2 : 1); ++shape) {
    const MeshVertex* v = mesh->morph_count == 2 ? mesh->morph_targets[shape] : mesh->vertices;
    for (int i = 0; i < mesh->vertex_count; ++i) {
      double c[3];
      TransformPoint(view, v[i].x, v[i].y, v[i].z, c);
      ScreenPoint s = ToScreen(c[0], c[1], c[2]);
      box = {std::min(box.x0, s.x), std::min(box.y0, s.y), std::max(box.x1, s.x), std::max(box.y1, s.y),
             std::min(box.nearest, c[2])};
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
    PartPlay play(&scene, s.part);
    for (int f = 0; f < int(s.length * 30.0f); ++f) {
      play.Step(1.0f / 30.0f);
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
    for (int i = png.width * png.height - 1; i >= 0; --i) {
      int y = i / png.width, x = png.width - 1 - i % png.width;  // lowest row first, left to right
      if (png.Alpha(x, y) > 200) return {double(x), double(y)};
    }
  }
  return {-1e9, -1e9};
}

// A moment of every bubble the parts show, where the part draws it and the object number of
// the character it speaks for. The tail points at the speaker: the tip is above the speaker's
// outline, at most a little to either side of it and not far above.
TEST_F(SceneContentTest, BubbleTailsPointAtTheirSpeakers) {
  const struct {
    int script;  // in SCRIPTS
    float second;
    const char* bubble;
    int x, y, speaker;
  } SPEECHES[] = {
      {0, 1.0f, "boble_zib.png", 250, 110, 0},  {0, 3.0f, "boble_zib1.png", 330, 150, 0},
      {0, 4.7f, "boble_zib.png", 250, 110, 0},  {1, 30.5f, "boble_zib.png", 350, 120, 0},
      {1, 31.5f, "boble_obj.png", 70, 150, 1},  {1, 34.0f, "boble_obj.png", 70, 150, 1},
      {1, 36.5f, "boble_obj.png", 350, 120, 1}, {1, 38.0f, "boble_zib.png", 70, 150, 0},
      {2, 17.0f, "boble_zib.png", 250, 110, 0}, {2, 19.0f, "boble_obj.png", 330, 120, 1},
      {2, 21.0f, "boble_zib.png", 250, 110, 0}, {2, 26.0f, "boble_zib.png", 330, 120, 0},
  };
  for (const auto& speech : SPEECHES) {
    const PartScript& s = SCRIPTS[speech.script];
    Scene scene;
    Load(&scene, s.file);
    PartPlay play(&scene, s.part);
    while (play.t < speech.second) play.Step(1.0f / 30.0f);
    ScreenPoint tip = TailTip(speech.bubble);
    tip = {tip.x + speech.x, tip.y + speech.y};
    ScreenBox box = ObjectBox(scene, *Nth(scene.objects, speech.speaker));
    std::string where = std::string(s.file) + " at " + std::to_string(speech.second) + " s, " + speech.bubble;
    EXPECT_TRUE(tip.x >= box.x0 - 25 && tip.x <= box.x1 + 25) << where << ": " << tip.x;
    EXPECT_TRUE(tip.y < box.y0 + 10 && tip.y > box.y0 - 70) << where << ": " << tip.y;
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
  auto difference = [&](int x, int y, int most = 0) {
    for (size_t c = 0, at = (size_t(y) * size_t(card.width) + size_t(x)) * 4; c < 3; ++c) {
      most = std::max(most, std::abs(int(preview.rgba[at + c]) - int(card.rgba[at + c])));
    }
    return most;
  };
  EXPECT_GT(difference(256, 236), 40);
  EXPECT_LE(difference(20, 20), 1);
}

}  // namespace
