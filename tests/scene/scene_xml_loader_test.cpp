// Scene scripts: elements, keys and their channels, the loader state, parse errors and every
// fatal error with its message and exit status.
#include <gtest/gtest.h>

#include <cstring>

#include "geometry/mesh.h"
#include "geometry/motion.h"
#include "geometry/motion_writer.h"
#include "scene/scene_test_support.h"

namespace {

const char* const SPHERES =
    "<demo><scene>\n"
    "<CreateSphere name=\"ball\" radius=\"1\" slices=\"4\"/>\n"
    "<CreateSphere name=\"sphere1\" radius=\"2.5\" slices=\"6\"/>\n";

using SceneXml = SceneScriptTest;

TEST_F(SceneXml, SpheresObjectsAndCamera) {
  ASSERT_EQ(Load(std::string(SPHERES) +
                 "<object name=\"first\" mesh=\"ball\">\n"
                 "  <key time=\"0\" pos_x=\"1\" pos_y=\"2\" pos_z=\"3\"/>\n"
                 "  <key time=\"1\" pos_x=\"4\" pos_y=\"5\" pos_z=\"6\"/>\n"
                 "</object>\n"
                 "<object name=\"second\" mesh=\"sphere1\"></object>\n"
                 "<camera><key time=\"0.5\" fov=\"50\"/></camera>\n"
                 "</scene></demo>\n"),
            1);
  ASSERT_EQ(scene_.mesh_count, 2);
  EXPECT_STREQ(MeshAt(0)->name, "ball");
  EXPECT_STREQ(MeshAt(1)->name, "sphere1");
  EXPECT_EQ(MeshAt(0)->vertex_count, 20);
  ASSERT_EQ(scene_.object_count, 2);
  SceneObject* first = ObjectAt(0);
  EXPECT_STREQ(first->name, "first");
  EXPECT_EQ(first->mesh, MeshAt(0));
  EXPECT_EQ(ObjectAt(1)->mesh, MeshAt(1));
  ASSERT_NE(first->motion, nullptr);
  ASSERT_EQ(first->motion->position.key_count, 2);
  const CurveKey* second_key = first->motion->position.keys->next;
  EXPECT_EQ(second_key->time, 30);
  EXPECT_EQ(second_key->value[2], 6.0f);
  EXPECT_EQ(first->motion->rotation.key_count, 0);
  ASSERT_NE(ObjectAt(1)->motion, nullptr);  // an empty motion, never none
  EXPECT_EQ(ObjectAt(1)->motion->position.key_count, 0);
  ASSERT_NE(scene_.camera->motion, nullptr);
  ASSERT_EQ(scene_.camera->motion->fov.key_count, 1);
  EXPECT_EQ(scene_.camera->motion->fov.keys->time, 15);
  EXPECT_EQ(scene_.camera->motion->fov.keys->value[0], 50.0f);
  EXPECT_EQ(first->start, 0.0f);
  EXPECT_EQ(first->end, 0.0f);
  EXPECT_TRUE(g_scene_xml.problems.empty());
}

TEST_F(SceneXml, CapitalObjectFindsMeshByLeadingPart) {
  Load(std::string(SPHERES) + "<OBJECT name=\"o\" mesh=\"sph\"></OBJECT></scene></demo>\n");
  ASSERT_EQ(scene_.object_count, 1);
  EXPECT_EQ(ObjectAt(0)->mesh, MeshAt(1));
}

TEST_F(SceneXml, ObjectWithoutMeshAttributeTakesTheFirstMesh) {
  Load(std::string(SPHERES) + "<obj name=\"o\"/></scene></demo>\n");
  EXPECT_EQ(ObjectAt(0)->mesh, MeshAt(0));
}

TEST_F(SceneXml, ShortNameActsAsEveryKeywordItBegins) {
  // <c> is both <CreateSphere> and <camera>: it makes a sphere and opens the camera.
  Load("<demo><scene>\n"
       "<c name=\"cam\" radius=\"1\" slices=\"3\"><k time=\"0\" fov=\"40\"/></c>\n"
       "</scene></demo>\n");
  ASSERT_EQ(scene_.mesh_count, 1);
  EXPECT_STREQ(MeshAt(0)->name, "cam");
  ASSERT_NE(scene_.camera->motion, nullptr);
  EXPECT_EQ(scene_.camera->motion->fov.key_count, 1);
  EXPECT_EQ(g_scene_xml.object, nullptr);  // </c> closed the camera
}

TEST_F(SceneXml, KeyChannelsAndDefaults) {
  Load(std::string(SPHERES) +
       "<object name=\"o\" mesh=\"ball\">\n"
       "<key time=\"0\" pos_y=\"5\"/>\n"
       "<key time=\"1\" rot_x=\"90\" alpha=\"0.5\" tension=\"0.25\" continuity=\"-0.5\" bias=\"0.75\"/>\n"
       "<key time=\"2\" tension=\"-1\" alpha=\"-1\" scale_z=\"3\"/>\n"
       "<key time=\"3\" fov=\"-1.5\" alpha=\"-0.5\"/>\n"
       "</object></scene></demo>\n");
  Motion* m = ObjectAt(0)->motion;
  ASSERT_EQ(m->position.key_count, 1);
  EXPECT_EQ(m->position.keys->value[0], 0.0f);
  EXPECT_EQ(m->position.keys->value[1], 5.0f);
  EXPECT_EQ(m->position.keys->value[2], 0.0f);
  ASSERT_EQ(m->rotation.key_count, 1);
  ASSERT_EQ(m->alpha.key_count, 2);
  const CurveKey* rot = m->rotation.keys;
  const CurveKey* alpha = m->alpha.keys;
  EXPECT_EQ(rot->time, 30);
  EXPECT_EQ(alpha->time, 30);
  EXPECT_EQ(rot->value[0], 90.0f);
  EXPECT_EQ(alpha->value[0], 0.5f);
  EXPECT_EQ(alpha->value[1], 0.0f);
  for (const CurveKey* key : {rot, alpha}) {
    EXPECT_EQ(key->tension, 0.25f);
    EXPECT_EQ(key->continuity, -0.5f);
    EXPECT_EQ(key->bias, 0.75f);
  }
  // tension -1 is stored as 0, alpha -1 adds no key; unnamed scale components read 0.
  ASSERT_EQ(m->scale.key_count, 1);
  EXPECT_EQ(m->scale.keys->tension, 0.0f);
  EXPECT_EQ(m->scale.keys->value[0], 0.0f);
  EXPECT_EQ(m->scale.keys->value[2], 3.0f);
  // -1.5 reads as the integer -1: not given. -0.5 reads as 0: given.
  EXPECT_EQ(m->fov.key_count, 0);
  EXPECT_EQ(alpha->next->value[0], -0.5f);
  EXPECT_EQ(alpha->next->time, 90);
}

TEST_F(SceneXml, KeyTimesAreTruncatedFrames) {
  Load(std::string(SPHERES) +
       "<object name=\"o\"><key time=\"1.05\" pos_x=\"1\"/><key time=\"-0.5\" pos_x=\"2\"/>"
       "<key time=\"0.99\" pos_x=\"3\"/></object></scene></demo>\n");
  const CurveKey* key = ObjectAt(0)->motion->position.keys;
  EXPECT_EQ(key->time, 31);
  EXPECT_EQ(key->next->time, -15);
  EXPECT_EQ(key->next->next->time, 29);
}

TEST_F(SceneXml, CurveTypeFallbacks) {
  Load(std::string(SPHERES) +
       "<object name=\"o\">\n"
       "<key time=\"0\" pos_x=\"1\" rot_x=\"1\"/>\n"
       "<key time=\"1\" curve=\"1\" pos_x=\"1\" rot_x=\"1\" alpha=\"1\"/>\n"
       "<key time=\"2\" curve=\"1\" pcurve=\"0\" pos_x=\"1\" rot_x=\"1\" acurve=\"7\" alpha=\"1\"/>\n"
       "<key time=\"3\" fcurve=\"1\" fov=\"20\" scurve=\"1\" scale=\"2\"/>\n"
       "</object></scene></demo>\n");
  Motion* m = ObjectAt(0)->motion;
  const CurveKey* pos = m->position.keys;
  const CurveKey* rot = m->rotation.keys;
  EXPECT_EQ(pos->interpolation, CURVE_LINEAR);  // neither attribute
  EXPECT_EQ(rot->interpolation, CURVE_LINEAR);
  EXPECT_EQ(pos->next->interpolation, CURVE_TCB);  // "curve"
  EXPECT_EQ(rot->next->interpolation, CURVE_TCB);
  EXPECT_EQ(pos->next->next->interpolation, CURVE_LINEAR);  // "pcurve" overrides "curve"
  EXPECT_EQ(rot->next->next->interpolation, CURVE_TCB);
  EXPECT_EQ(m->alpha.keys->next->interpolation, 7);
  EXPECT_EQ(m->fov.keys->interpolation, CURVE_TCB);
  ASSERT_EQ(m->scale.key_count, 1);  // "scale" fills scale_x, scale_y and scale_z
  EXPECT_EQ(m->scale.keys->value[1], 2.0f);
  EXPECT_EQ(m->scale.keys->interpolation, CURVE_TCB);
}

TEST_F(SceneXml, NewSceneTakesTheElementsThatFollow) {
  Load(std::string(SPHERES) +
       "<newscene fps=\"20\"/>\n"
       "<CreateSphere name=\"other\" radius=\"1\" slices=\"3\"/>\n"
       "<object name=\"o\"><key time=\"1.05\" pos_x=\"1\"/></object>\n"
       "</scene></demo>\n");
  EXPECT_EQ(scene_.mesh_count, 2);
  EXPECT_EQ(scene_.object_count, 0);
  ASSERT_EQ(g_scene_xml.new_scenes.size(), 1u);
  Scene* made = g_scene_xml.new_scenes[0];
  EXPECT_EQ(made->fps, 20.0f);
  EXPECT_EQ(made->mesh_count, 1);
  ASSERT_EQ(made->object_count, 1);
  EXPECT_EQ(made->objects->motion->position.keys->time, 21);
}

TEST_F(SceneXml, ImageRenamesTheCurrentObjectAndSetsItsWindow) {
  Load(std::string(SPHERES) +
       "<object name=\"o\">\n"
       "<image name=\"picture\" start=\"2.5\" end=\"-1\">\n"
       "<key time=\"1\" pos_x=\"1\"/>\n"
       "</image></object></scene></demo>\n");
  SceneObject* object = ObjectAt(0);
  EXPECT_STREQ(object->name, "picture");
  EXPECT_EQ(object->start, 2.5f);  // not converted to frames
  EXPECT_EQ(object->end, 0.0f);
  EXPECT_EQ(object->motion->position.key_count, 1);
}

TEST_F(SceneXml, ScriptNamesAreCutToTheirFields) {
  Load("<demo><scene>\n"
       "<CreateSphere name=\"a-mesh-name-longer-than-twenty-three\" radius=\"1\" slices=\"3\"/>\n"
       "<object name=\"an-object-name-longer-than-nineteen\" mesh=\"a-mesh\"/>\n"
       "</scene></demo>\n");
  EXPECT_STREQ(MeshAt(0)->name, "a-mesh-name-longer-than");
  EXPECT_STREQ(ObjectAt(0)->name, "an-object-name-long");
}

TEST_F(SceneXml, UnknownElementsAndLoadTextureHaveNoEffect) {
  Load(std::string(SPHERES) +
       "<whatever x=\"1\"/><loadtexture filename=\"texture.png\"/>\n"
       "</scene></demo>\n");
  EXPECT_EQ(scene_.mesh_count, 2);
  EXPECT_EQ(scene_.object_count, 0);
  EXPECT_EQ(scene_.texture_count, 0);
}

TEST_F(SceneXml, MotionFileGivesTheObjectItsKeys) {
  MotionWriter writer;
  MotionRecord record{};
  record.position[0] = 1;
  AddMotionRecord(&writer, record);
  record.time = 30;
  record.position[0] = 2;
  AddMotionRecord(&writer, record);
  ASSERT_EQ(SaveMotionFile(writer, "walk.mot"), 1);
  Load(std::string(SPHERES) +
       "<object name=\"o\" motion=\"walk.mot\"><key time=\"2\" alpha=\"0.5\"/></object>\n"
       "<camera motion=\"walk.mot\"/>\n"
       "</scene></demo>\n");
  Motion* m = ObjectAt(0)->motion;
  ASSERT_EQ(m->position.key_count, 2);
  EXPECT_EQ(m->position.keys->next->time, 30);  // motion file times are not scaled
  EXPECT_EQ(m->position.keys->interpolation, CURVE_TCB);
  EXPECT_EQ(m->alpha.key_count, 1);  // keys add to the file's motion
  EXPECT_EQ(scene_.camera->motion->rotation.key_count, 2);
}

TEST_F(SceneXml, UnreadableMotionFileLeavesAnEmptyMotionForTheKeys) {
  WriteFile("bad.mot", std::string("SMOX and more"));
  testing::internal::CaptureStderr();
  Load(std::string(SPHERES) +
       "<object name=\"o\" motion=\"missing.mot\"><key time=\"0\" pos_x=\"4\"/></object>\n"
       "<object name=\"p\" motion=\"bad.mot\"/>\n"
       "</scene></demo>\n");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("ERROR: script.xml:4: motion file missing.mot not found or empty: Error Reading Motion memchunk "
                     "(size 0)"),
            std::string::npos)
      << err;
  EXPECT_NE(err.find("ERROR: script.xml:5: motion file bad.mot: Error Reading Motion memchunk (size 13)"),
            std::string::npos)
      << err;
  ASSERT_NE(ObjectAt(0)->motion, nullptr);
  EXPECT_EQ(ObjectAt(0)->motion->position.key_count, 1);
  ASSERT_NE(ObjectAt(1)->motion, nullptr);
  ASSERT_EQ(g_scene_xml.problems.size(), 2u);
  EXPECT_EQ(g_scene_xml.problems[0].line, 4);
  EXPECT_NE(g_scene_xml.problems[0].text.find("missing.mot not found"), std::string::npos);
  EXPECT_EQ(g_scene_xml.problems[1].line, 5);
}

TEST_F(SceneXml, TagsMayContinueOnTheNextLine) {
  Load("<demo><scene>\n"
       "<CreateSphere name=\"a\"\n"
       "radius=\"1\"\n"
       "slices=\"5\"/>\n"
       "</scene></demo>\n");
  ASSERT_EQ(scene_.mesh_count, 1);
  EXPECT_EQ(MeshAt(0)->vertex_count, 2 * 6 * 2);
}

TEST_F(SceneXml, BareLfAndAMissingLastLineEnd) {
  Load("<demo><scene>\n<CreateSphere name=\"a\" radius=\"1\" slices=\"3\"/>\n</scene></demo>", true);
  EXPECT_EQ(scene_.mesh_count, 1);
  EXPECT_TRUE(g_scene_xml.problems.empty());
}

TEST_F(SceneXml, ParseErrorReportedOnceWithTheScriptLine) {
  testing::internal::CaptureStderr();
  int result = Load(std::string(SPHERES) +
                    "<object name=\"o\"></objekt>\n"
                    "<CreateSphere name=\"late\" radius=\"1\" slices=\"3\"/>\n"
                    "</scene></demo>\n");
  std::string out = testing::internal::GetCapturedStderr();
  EXPECT_EQ(result, 1);
  EXPECT_NE(out.find("script.xml: Parse error at line 4:\nmismatched tag\n"), std::string::npos) << out;
  EXPECT_EQ(out.find("Parse error", out.find("Parse error") + 1), std::string::npos) << out;
  EXPECT_EQ(scene_.mesh_count, 2);  // what came before the error stays, nothing after it
  EXPECT_EQ(scene_.object_count, 1);
  ASSERT_EQ(g_scene_xml.problems.size(), 1u);
  EXPECT_EQ(g_scene_xml.problems[0].line, 4);
}

TEST_F(SceneXml, UnclosedDocumentIsAParseErrorAtTheEnd) {
  testing::internal::CaptureStderr();
  Load(std::string(SPHERES));
  std::string out = testing::internal::GetCapturedStderr();
  EXPECT_NE(out.find("Parse error at line"), std::string::npos) << out;
  EXPECT_EQ(scene_.mesh_count, 2);
}

TEST_F(SceneXml, EndSceneClearsTheCurrentScene) {
  FatalError error = LoadFailing(std::string(SPHERES) + "</scene><object name=\"o\"/></demo>\n");
  EXPECT_STREQ(error.what(), "Error in XML:  <object> without a scene ????");
  EXPECT_EQ(error.caption, "Error in XML");
  EXPECT_EQ(error.status, -1);
}

TEST_F(SceneXml, EveryElementThatNeedsAScene) {
  const std::pair<const char*, const char*> cases[] = {
      {"<loadlwo filename=\"a.lwo\"/>", "Error in XML:  <loadlwo> without a scene ????"},
      {"<CreateSphere name=\"s\" radius=\"1\" slices=\"3\"/>", "Error in XML:  <loadlwo> without a scene ????"},
      {"<camera/>", "Error in XML:  <camera> without a scene ????"},
      {"<key time=\"0\"/>", "Error in XML:  <key> without a scene ????"},
      {"<image name=\"i\"/>", "Error in XML:  <image> without a scene ????"},
  };
  for (const auto& [element, message] : cases) {
    FatalError error = LoadFailing(std::string("<demo><scene></scene>\n") + element + "\n</demo>\n");
    EXPECT_STREQ(error.what(), message) << element;
    EXPECT_EQ(error.status, -1);
    FreeScene(&scene_);
  }
}

TEST_F(SceneXml, KeyAndImageNeedAnObject) {
  FatalError key = LoadFailing(std::string(SPHERES) + "<key time=\"0\" pos_x=\"1\"/></scene></demo>\n");
  EXPECT_STREQ(key.what(), "Error in XML:  <key> without an object or camera ????");
  EXPECT_EQ(key.status, -1);
  FreeScene(&scene_);
  FatalError image = LoadFailing(std::string(SPHERES) + "<object name=\"o\"/><image name=\"i\"/></scene></demo>\n");
  EXPECT_STREQ(image.what(), "Error in XML:  <image> without an object or camera ????");
}

TEST_F(SceneXml, AnObjectLeftOpenDoesNotCarryIntoTheNextScript) {
  testing::internal::CaptureStderr();
  Load(std::string(SPHERES) + "<object name=\"o\">\n");  // never closed: a parse error at the end
  testing::internal::GetCapturedStderr();
  Scene other;
  WriteFile("next.xml", CrLf("<demo><scene><key time=\"0\" pos_x=\"1\"/></scene></demo>\n"));
  try {
    LoadSceneXml(&other, LoadFile("next.xml"));
    ADD_FAILURE() << "the key found an object of the earlier script";
  } catch (const FatalError& error) {
    EXPECT_STREQ(error.what(), "Error in XML:  <key> without an object or camera ????");
  }
  FreeScene(&other);
}

TEST_F(SceneXml, SphereChecks) {
  const std::pair<const char*, const char*> cases[] = {
      {"<CreateSphere name=\"ball\" radius=\"1\" slices=\"2\"/>", "Error in XML: ball has incorrect number of slices"},
      {"<CreateSphere name=\"ball\" radius=\"1\"/>", "Error in XML: ball has incorrect number of slices"},
      {"<CreateSphere name=\"ball\" slices=\"8\"/>", "Error in XML: ball has incorrect radius"},
      {"<CreateSphere name=\"ball\" radius=\"0\" slices=\"8\"/>", "Error in XML: ball has incorrect radius"},
      {"<CreateSphere name=\"ball\" radius=\"nan\" slices=\"8\"/>", "Error in XML: ball has incorrect radius"},
      {"<CreateSphere name=\"ball\" radius=\"inf\" slices=\"8\"/>", "Error in XML: ball has incorrect radius"},
      {"<CreateSphere name=\"ball\" radius=\"1\" slices=\"100000\"/>", "Error in XML: ball has too many slices"},
  };
  for (const auto& [element, message] : cases) {
    FatalError error = LoadFailing(std::string("<demo><scene>\n") + element + "\n</scene></demo>\n");
    EXPECT_STREQ(error.what(), message) << element;
    EXPECT_EQ(error.status, -1);
    FreeScene(&scene_);
  }
}

TEST_F(SceneXml, MeshNotFound) {
  FatalError error = LoadFailing(std::string(SPHERES) + "<object name=\"o1\" mesh=\"fish\"/></scene></demo>\n");
  EXPECT_STREQ(error.what(), "Error in XML:  No mesh with the name fish found! (object o1)");
  EXPECT_EQ(error.status, -1);
  EXPECT_EQ(g_scene_xml.line, 4);
}

TEST_F(SceneXml, NoMeshesDefined) {
  testing::internal::CaptureStderr();
  FatalError error = LoadFailing("<demo><scene><object name=\"o1\"/></scene></demo>\n");
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("No meshes defined!"), std::string::npos) << err;
  EXPECT_STREQ(error.what(), "Error in XML:  No mesh with the name  found! (object o1)");
  ASSERT_EQ(g_scene_xml.problems.size(), 1u);
  EXPECT_EQ(g_scene_xml.problems[0].text, "No meshes defined!");
}

TEST_F(SceneXml, KeyWithoutTime) {
  FatalError error = LoadFailing(std::string(SPHERES) +
                                 "<object name=\"o1\"><key pos_x=\"1\"/></object></scene></demo>\n");
  EXPECT_STREQ(error.what(), "Error in XML: o1 has key with no time param");
  EXPECT_EQ(error.status, -1);
}

TEST_F(SceneXml, LwoFileNotLoadable) {
  FatalError error = LoadFailing("<demo><scene><loadlwo filename=\"missing.lwo\"/></scene></demo>\n");
  EXPECT_STREQ(error.what(), "Error in XML: missing.lwo Could not open");
  EXPECT_EQ(error.status, -1);
}

TEST_F(SceneXml, ZfileNotOpened) {
  FatalError error = LoadFailing("<demo><zfile filename=\"nothere.zip\"/></demo>\n");
  EXPECT_STREQ(error.what(), "ERROR:                    XML: Zfile  (nothere.zip)  -  could not be opened!\n");
  EXPECT_EQ(error.caption, "");
  EXPECT_EQ(error.status, 1);
}

TEST_F(SceneXml, LineLongerThanTheBufferIsFatal) {
  std::string line = "<demo><scene>" + std::string(1100, ' ') + "</scene></demo>\n";
  try {
    Load(line);
    ADD_FAILURE() << "a line of 1130 characters was read";
  } catch (const FatalError& error) {
    EXPECT_NE(std::string(error.what()).find("ReadMemLine error!"), std::string::npos) << error.what();
  }
}

TEST_F(SceneXml, MissingScriptIsFatal) {
  EXPECT_THROW(LoadSceneXml(&scene_, LoadFile("nothere.xml")), FatalError);
}

}  // namespace

namespace {

// A fuzzer's script: a NUL byte ended the line's text there without a word.
TEST_F(SceneXml, LineWithANulByteIsReported) {
  testing::internal::CaptureStderr();
  Load(std::string(SPHERES) + std::string("<CreateSphere name=\"cut\"\0 radius=\"1\" slices=\"3\"/>\n", 50) +
       "</scene></demo>\n");
  std::string out = testing::internal::GetCapturedStderr();
  EXPECT_NE(out.find("script.xml: line 4 holds a NUL byte: the rest of the line is ignored\n"), std::string::npos)
      << out;
  ASSERT_FALSE(g_scene_xml.problems.empty());
  EXPECT_EQ(g_scene_xml.problems[0].line, 4);
}

}  // namespace
