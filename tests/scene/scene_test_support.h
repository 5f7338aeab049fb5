// Helpers of the scene tests: a scratch directory to write scripts and data files into, and
// a scene loaded from a script text.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "geometry/mesh.h"
#include "platform/fatal.h"
#include "resource/data_archive.h"
#include "scene/scene.h"
#include "scene/scene_xml.h"

inline void WriteFile(const std::string& path, const std::string& bytes) {
  FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr) << path;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  WriteFile(path, std::string(bytes.begin(), bytes.end()));
}

// Script lines end in CR LF, as the demo's scripts do.
inline std::string CrLf(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

class SceneScriptTest : public ::testing::Test {
 protected:
  void SetUp() override {
    old_dir_ = std::filesystem::current_path();
    char pattern[] = "/tmp/kra_scene_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
    std::filesystem::current_path(dir_);
    CloseArchive(&g_data_archive);
    ResetSceneXmlState();
    g_scene_xml.quiet = 0;
  }
  void TearDown() override {
    FreeScene(&scene_);
    ResetSceneXmlState();
    CloseArchive(&g_data_archive);
    std::filesystem::current_path(old_dir_);
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  // Writes the script (CR LF line ends unless raw) and loads it into scene_.
  int Load(const std::string& text, bool raw = false, const std::string& name = "script.xml") {
    WriteFile(name, raw ? text : CrLf(text));
    return LoadSceneXml(&scene_, LoadFile(name.c_str()));
  }

  // Loads a script that must fail, and returns its fatal error.
  FatalError LoadFailing(const std::string& text) {
    try {
      Load(text);
    } catch (const FatalError& error) {
      return error;
    }
    ADD_FAILURE() << "the script loaded without a fatal error";
    return FatalError("", "", 0);
  }

  Mesh* MeshAt(int index) {
    Mesh* mesh = scene_.meshes;
    while (mesh && index-- > 0) mesh = mesh->next;
    return mesh;
  }
  SceneObject* ObjectAt(int index) {
    SceneObject* object = scene_.objects;
    while (object && index-- > 0) object = object->next;
    return object;
  }

  Scene scene_;
  std::filesystem::path old_dir_;
  std::filesystem::path dir_;
};
