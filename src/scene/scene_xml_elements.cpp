#include "scene/scene_xml_elements.h"

#include <strings.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "geometry/lwo_mesh.h"
#include "geometry/mesh.h"
#include "geometry/morph_target.h"
#include "geometry/motion.h"
#include "geometry/motion_file.h"
#include "platform/fatal.h"
#include "platform/load_problems.h"
#include "platform/message_box.h"
#include "resource/data_archive.h"
#include "scene/scene.h"
#include "scene/scene_xml_state.h"
#include "scene/sphere.h"
#include "platform/printable_text.h"

namespace {

// Names are copied into buffers as large as the record fields they end up in, so whatever
// the script holds is cut, never written past. File names keep their whole length (a line
// holds at most this many characters) for the lookup; only what records store is cut.
constexpr int32_t FILE_PATH_SIZE = SCRIPT_LINE_SIZE;

void RecordProblem(const std::string& text) {
  g_scene_xml.problems.push_back({g_scene_xml.line, text});
  NoteLoadProblem(ScriptPlace(), text);
}

Scene* NeedScene(const char* element) {
  if (!g_scene_xml.scene) XmlError("", (std::string("<") + element + "> without a scene ????").c_str());
  return g_scene_xml.scene;
}

SceneObject* NeedObject(const char* element) {
  if (!g_scene_xml.object) {
    XmlError("", (std::string("<") + element + "> without an object or camera ????").c_str());
  }
  return g_scene_xml.object;
}

// A float attribute whose absence (or the value -1 itself) reads as a default.
float FloatOr(const char* name, const XML_Char** atts, float fallback) {
  float value = GetFloatAttr(name, atts);
  return value == -1.0f ? fallback : value;
}

// Script times in seconds to whole frames of the current scene, truncated toward zero.
// Times beyond int32 are clamped instead of overflowing the conversion.
int32_t FramesOf(float seconds, float fps) {
  float frames = seconds * fps;
  if (!(frames > -2147483648.0f)) return INT32_MIN;
  if (!(frames < 2147483648.0f)) return INT32_MAX;
  return (int32_t)frames;
}

// Gives the object the motion of the named file, or an empty motion when no file is named.
// A file that cannot be read is reported and leaves the object with the motion it had, or
// with an empty one when it had none, so keys that follow always have a motion to go to.
void SetObjectMotion(SceneObject* object, const XML_Char** atts) {
  char file[FILE_PATH_SIZE];
  GetAttr(file, sizeof(file), "motion", atts);
  if (file[0] == '\0') {
    FreeMotion(object->motion);
    object->motion = NewMotion();
    return;
  }
  MemChunk chunk = LoadFile(file);
  Motion* motion = nullptr;
  std::string error;
  if (ReadMotionChunk(&chunk, &motion, &error)) {
    FreeMotion(object->motion);
    object->motion = motion;
    return;
  }
  bool found = chunk.size > 0;
  FreeChunk(&chunk);
  // The motion file is the one at fault; the script only names it.
  if (found) NoteLoadProblem(file, error);
  // A chunk of size 0 is what a missing file and an empty one both give.
  const std::string problem =
      "motion file " + PrintableText(file) + (found ? ": " : " not found or empty: ") + PrintableText(error);
  RecordProblem(problem);
  if (!g_scene_xml.quiet) ShowMessageBox((ScriptPlace() + ": " + problem).c_str(), "ERROR");
  if (!object->motion) object->motion = NewMotion();
}

void NewSceneElement(const XML_Char** atts) {
  Scene* scene = new Scene();
  scene->fps = FloatOr("fps", atts, DEFAULT_SCENE_FPS);
  g_scene_xml.new_scenes.push_back(scene);
  g_scene_xml.scene = scene;
}

void ZfileElement(const XML_Char** atts) {
  char file[FILE_PATH_SIZE];
  GetAttr(file, sizeof(file), "filename", atts);
  if (OpenArchive(&g_data_archive, file)) return;
  char message[FILE_PATH_SIZE + 80];
  std::snprintf(message, sizeof(message),
                "ERROR:                    XML: Zfile  (%s)  -  could not be opened!\n", PrintableText(file).c_str());
  RaiseFatal(message, "", 1);
}

// Surface images find their texture among those the scene holds now, by whole name,
// letter case ignored.
void BindSurfaceTextures(Scene* scene, Mesh* mesh) {
  for (int32_t i = 0; i < mesh->surface_count && i < MESH_MAX_SURFACES; i++) {
    for (int32_t j = 0; j < scene->texture_count && j < SCENE_MAX_TEXTURES; j++) {
      if (strcasecmp(scene->textures[j].name, mesh->surface_texture_names[i]) == 0) {
        mesh->surface_textures[i] = &scene->textures[j];
        break;
      }
    }
  }
}

void LoadLwoElement(const XML_Char** atts) {
  Scene* scene = NeedScene("loadlwo");
  char name[MESH_NAME_SIZE], file[FILE_PATH_SIZE], morph[FILE_PATH_SIZE];
  GetAttr(file, sizeof(file), "filename", atts);
  GetAttr(name, sizeof(name), "name", atts);
  if (name[0] == '\0') CopyNameField(name, sizeof(name), file);
  GetAttr(morph, sizeof(morph), "morphfile", atts);

  Mesh* mesh = AddMesh(scene);
  if (!LoadLwoMesh(mesh, LoadFile(file))) XmlError(file, "Could not open");
  // Named after the morph file: that is the one that would not open.
  if (morph[0] != '\0' && !LoadMorphTarget(mesh, LoadFile(morph))) XmlError(morph, "Could not open morph filename");
  BindSurfaceTextures(scene, mesh);
  CopyNameField(mesh->name, sizeof(mesh->name), name);
  // The renderer binds texture id 0 as every mesh's lightmap; the attribute's text is not used.
  if (AttrGiven("lightmap", atts)) mesh->lightmap = new TextureRef{};
}

void CreateSphereElement(const XML_Char** atts) {
  Scene* scene = NeedScene("loadlwo");  // scripts know this error by the <loadlwo> text
  char name[MESH_NAME_SIZE];
  GetAttr(name, sizeof(name), "name", atts);
  float radius = GetFloatAttr("radius", atts);
  int32_t slices = GetIntAttr("slices", atts);
  // atof also reads "nan" and "inf", which would put every vertex at no place at all.
  if (!(radius > 0) || std::isinf(radius)) XmlError(name, "has incorrect radius");
  if (slices < 3) XmlError(name, "has incorrect number of slices");
  // Corners are int16, so a sphere may not have more vertices than a mesh can index.
  if (slices > SPHERE_MAX_SLICES) XmlError(name, "has too many slices");
  Mesh* mesh = AddMesh(scene);
  if (!g_scene_xml.quiet) std::fprintf(stderr, "XML: '%s' : CreateSphere(%f, %i)\n", PrintableText(name).c_str(), radius, slices);
  CreateSphere(mesh, radius, slices);  // cannot fail: its one refusal, too many slices, is checked above
  CopyNameField(mesh->name, sizeof(mesh->name), name);
}

void ObjectElement(const XML_Char** atts) {
  Scene* scene = NeedScene("object");
  if (!scene->meshes) {
    RecordProblem("No meshes defined!");
    if (!g_scene_xml.quiet) ShowMessageBox((ScriptPlace() + ": No meshes defined!").c_str(), "");
  }
  char name[OBJECT_NAME_SIZE], mesh_name[MESH_NAME_SIZE];
  GetAttr(name, sizeof(name), "name", atts);
  GetAttr(mesh_name, sizeof(mesh_name), "mesh", atts);
  Mesh* mesh = FindMeshByPrefix(scene, mesh_name);
  if (!mesh) {
    char text[XML_ERROR_TEXT_SIZE];
    std::snprintf(text, sizeof(text), "No mesh with the name %s found! (object %s)", mesh_name, name);
    XmlError("", text);
  }
  SceneObject* object = AddObject(scene, mesh);
  g_scene_xml.object = object;
  SetObjectName(object, name);
  SetObjectMotion(object, atts);
  // start and end are read as scene times but not applied: every object is animated
  // throughout and drawn once scene time passes 0, which is what the demo parts expect.
  object->start = 0;
  object->end = 0;
}

void CameraElement(const XML_Char** atts) {
  Scene* scene = NeedScene("camera");
  g_scene_xml.object = scene->camera;
  SetObjectMotion(scene->camera, atts);
}

void ImageElement(const XML_Char** atts) {
  NeedScene("image");
  SceneObject* object = NeedObject("image");
  char name[OBJECT_NAME_SIZE];
  GetAttr(name, sizeof(name), "name", atts);
  SetObjectName(object, name);
  SetObjectMotion(object, atts);
  object->start = FloatOr("start", atts, 0.0f);
  object->end = FloatOr("end", atts, 0.0f);
}

struct KeyChannel {
  int32_t channel;
  const char* attrs[3];  // the value attributes; null where the channel has fewer
  const char* curve_attr;
  float absent;          // what a value reading -1 becomes
};

constexpr KeyChannel KEY_CHANNELS[] = {
    {MOTION_POSITION, {"pos_x", "pos_y", "pos_z"}, "pcurve", 0.0f},
    {MOTION_ROTATION, {"rot_x", "rot_y", "rot_z"}, "rcurve", 0.0f},
    {MOTION_SCALE, {"scale_x", "scale_y", "scale_z"}, "scurve", 0.0f},
    {MOTION_ALPHA, {"alpha", nullptr, nullptr}, "acurve", DEFAULT_ALPHA},
    {MOTION_FOV, {"fov", nullptr, nullptr}, "fcurve", DEFAULT_FOV},
};

void KeyElement(const XML_Char** atts) {
  Scene* scene = NeedScene("key");
  SceneObject* object = NeedObject("key");
  float seconds = GetFloatAttr("time", atts);
  if (seconds == -1.0f) XmlError(object->name, "has key with no time param");
  int32_t time = FramesOf(seconds, scene->fps);
  if (!object->motion) object->motion = NewMotion();
  float tension = FloatOr("tension", atts, 0.0f);
  float continuity = FloatOr("continuity", atts, 0.0f);
  float bias = FloatOr("bias", atts, 0.0f);
  int32_t curve = GetIntAttr("curve", atts);
  if (curve == -1) curve = CURVE_LINEAR;

  for (const KeyChannel& channel : KEY_CHANNELS) {
    bool given = false;
    for (const char* attr : channel.attrs) given = given || (attr && AttrGiven(attr, atts));
    if (!given) continue;
    CurveKey* key = AddKey(object->motion, channel.channel);
    key->time = time;
    for (int c = 0; c < 3; c++) {
      if (channel.attrs[c]) key->value[c] = FloatOr(channel.attrs[c], atts, channel.absent);
    }
    key->tension = tension;
    key->continuity = continuity;
    key->bias = bias;
    key->interpolation = AttrGiven(channel.curve_attr, atts) ? GetIntAttr(channel.curve_attr, atts) : curve;
  }
}

void LoadTextureElement(const XML_Char** atts) {
  char file[FILE_PATH_SIZE];
  GetAttr(file, sizeof(file), "filename", atts);  // read, and nothing more is done with it
}

struct ScriptElement {
  const char* keyword;
  void (*start)(const XML_Char** atts);
};

// In this order: a name that matches several keywords (<c> matches both "CreateSphere" and
// "camera") acts as each of them in turn.
constexpr ScriptElement SCRIPT_ELEMENTS[] = {
    {"newscene", NewSceneElement},
    {"zfile", ZfileElement},
    {"loadlwo", LoadLwoElement},
    {"CreateSphere", CreateSphereElement},
    {"object", ObjectElement},
    {"camera", CameraElement},
    {"key", KeyElement},
    {"loadtexture", LoadTextureElement},
    {"image", ImageElement},
};

}  // namespace

CurveKey* AddKey(Motion* motion, int32_t channel) { return AddMotionKey(motion, channel); }

void StartScriptElement(const XML_Char* name, const XML_Char** atts) {
  for (const ScriptElement& element : SCRIPT_ELEMENTS) {
    if (NameMatches(name, element.keyword)) element.start(atts);
  }
}

void EndScriptElement(const XML_Char* name) {
  if (NameMatches(name, "object") || NameMatches(name, "image") || NameMatches(name, "camera")) {
    g_scene_xml.object = nullptr;
  }
  if (NameMatches(name, "scene")) g_scene_xml.scene = nullptr;
}
