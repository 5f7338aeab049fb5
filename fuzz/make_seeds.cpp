// fuzz_seeds DIR: writes the seed corpora, one folder per target, from the project's own
// writers: small files that reach every chunk and element the loaders know.
#include <lame/lame.h>
#include <minizip/zip.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "geometry/lwo_writer.h"
#include "geometry/motion_writer.h"
#include "resource/png_encode.h"

namespace {

std::filesystem::path g_root;

void Save(const char* target, const char* name, const std::vector<uint8_t>& bytes) {
  std::filesystem::create_directories(g_root / target);
  std::string path = (g_root / target / name).string();
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
}

std::vector<uint8_t> Text(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

void PngSeeds() {
  std::vector<uint8_t> pixels(4 * 5 * 4);
  for (size_t i = 0; i < pixels.size(); i++) pixels[i] = (uint8_t)(i * 37);
  Save("png", "rgb_5x4.png", EncodePngRows(pixels.data(), 5, 4, 3, 15, 6));
  Save("png", "rgba_4x4.png", EncodePngRows(pixels.data(), 4, 4, 4, 16, 9));
  Save("png", "rgb_1x1.png", EncodePngRows(pixels.data(), 1, 1, 3, 3, 0));
}

std::vector<uint8_t> CubeObject(bool corner_uvs) {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "cube");
  for (int i = 0; i < 8; i++) AddLwoPoint(layer, float(i & 1), float(i >> 1 & 1), float(i >> 2));
  const int faces[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
  for (int f = 0; f < 6; f++) {
    AddLwoPolygon(layer, {faces[f][0], faces[f][1], faces[f][2], faces[f][3]}, f < 3 ? "red" : "wood");
  }
  LwoWriterMap* uv = AddLwoUvMap(layer, "Texture");
  for (int i = 0; i < 8; i++) AddLwoUv(uv, i, float(i & 1), float(i >> 1 & 1));
  LwoWriterMap* light = AddLwoUvMap(layer, "Lightmap");
  for (int i = 0; i < 8; i++) AddLwoUv(light, i, 0.25f, float(i) / 8);
  if (corner_uvs) {
    LwoWriterMap* corners = AddLwoCornerUvMap(layer, "Texture");
    AddLwoCornerUv(corners, 0, 0, 0.5f, 0.5f);
  }
  AddLwoSurface(&writer, "red", 1.0f, 0.0f, 0.0f, "", 0);
  AddLwoSurface(&writer, "wood", 0.5f, 0.4f, 0.2f, "Texture", 1);
  AddLwoClip(&writer, 1, "Images/wood.png");
  return WriteLwo(writer);
}

std::vector<uint8_t> ConcaveObject() {
  LwoWriter writer;
  LwoWriterLayer* layer = AddLwoLayer(&writer, "star");
  std::vector<int32_t> ring;
  for (int i = 0; i < 10; i++) {
    float r = (i & 1) ? 0.4f : 1.0f;
    ring.push_back(AddLwoPoint(layer, r * std::cos(0.628f * i), r * std::sin(0.628f * i), 0.0f));
  }
  AddLwoPolygon(layer, ring, "gold");
  AddLwoPolygon(layer, {0, 1}, "gold");
  AddLwoSurface(&writer, "gold", 1.0f, 0.8f, 0.0f, "", 0);
  return WriteLwo(writer);
}

void LwoSeeds() {
  Save("lwo", "cube.lwo", CubeObject(false));
  Save("lwo", "cube_vmad.lwo", CubeObject(true));
  Save("lwo", "star.lwo", ConcaveObject());
}

std::vector<uint8_t> Motion(int keys) {
  MotionWriter writer;
  for (int i = 0; i < keys; i++) {
    MotionRecord key{};
    key.time = 15 * i;
    for (int k = 0; k < 3; k++) {
      key.position[k] = float(i * (k + 1));
      key.rotation[k] = 30.0f * i;
      key.scale[k] = 1.0f;
      key.tension[k] = 0.25f * k;
      key.bias[k] = -0.5f;
    }
    AddMotionRecord(&writer, key);
  }
  return MotionFileBytes(writer);
}

void MotionSeeds() {
  Save("motion", "keys0.mot", Motion(0));
  Save("motion", "keys1.mot", Motion(1));
  Save("motion", "keys4.mot", Motion(4));
}

void ScriptSeeds() {
  Save("script", "scene.xml",
       Text("<scene>\r\n <loadlwo name=\"cube\" filename=\"cube.lwo\" morphfile=\"morph.lwo\" lightmap=\"1\"/>\r\n"
            " <CreateSphere name=\"ball\" radius=\"2.5\" slices=\"12\"/>\r\n"
            " <object name=\"one\" mesh=\"cu\" start=\"0\" end=\"4\">\r\n"
            "  <key time=\"0\" pos_x=\"1\" rot_y=\"90\" scale_x=\"1\" alpha=\"0.5\" curve=\"1\"/>\r\n"
            "  <key time=\"1.5\" pos_y=\"2\" tension=\"0.5\" continuity=\"-0.5\" bias=\"1\" pcurve=\"0\"/>\r\n"
            " </object>\r\n"
            " <object name=\"two\" mesh=\"ball\" motion=\"walk.mot\"/>\r\n"
            " <camera motion=\"walk.mot\"><key time=\"2\" fov=\"40\" fcurve=\"1\"/></camera>\r\n"
            " <loadtexture filename=\"skin.png\"/>\r\n"
            "</scene>\r\n"));
  Save("script", "newscene.xml",
       Text("<demo><newscene fps=\"25\"/>\n<loadlwo filename=\"quad.lwo\"/><obj mesh=\"q\"/>\n"
            "<image name=\"card\" filename=\"x.png\" start=\"1\" end=\"2\"/></demo>\n"));
  Save("script", "zfile.xml", Text("<scene><zfile filename=\"missing.zip\"/></scene>\r\n"));
}

// Scenes for fuzz_render: what the demo draws (textured, morphing, lightmapped objects moving
// past the camera), a sphere round the eye that every clip plane cuts, more triangles than
// the pool holds, and objects at no sensible place at all.
void RenderSeeds() {
  Save("render", "moving.xml",
       Text("<scene>\r\n <loadlwo name=\"cube\" filename=\"cube.lwo\" morphfile=\"morph.lwo\" lightmap=\"1\"/>\r\n"
            " <loadlwo name=\"quad\" filename=\"quad.lwo\"/>\r\n"
            " <CreateSphere name=\"ball\" radius=\"3\" slices=\"16\"/>\r\n"
            " <object name=\"one\" mesh=\"cube\">\r\n"
            "  <key time=\"0\" pos_x=\"-12\" pos_z=\"-5\" rot_y=\"0\" curve=\"1\"/>\r\n"
            "  <key time=\"3\" pos_x=\"12\" pos_z=\"-5\" rot_y=\"270\" tension=\"0.5\"/>\r\n"
            " </object>\r\n"
            " <object name=\"two\" mesh=\"ball\" motion=\"walk.mot\"/>\r\n"
            " <object name=\"three\" mesh=\"quad\"><key time=\"0\" pos_y=\"4\" rot_z=\"45\"/></object>\r\n"
            " <camera><key time=\"0\" pos_z=\"20\"/><key time=\"5\" pos_z=\"8\" rot_x=\"20\"/></camera>\r\n"
            "</scene>\r\n"));
  Save("render", "inside_a_sphere.xml",
       Text("<scene>\r\n <CreateSphere name=\"room\" radius=\"30\" slices=\"24\"/>\r\n"
            " <CreateSphere name=\"near\" radius=\"1\" slices=\"8\"/>\r\n"
            " <object name=\"room\" mesh=\"room\"><key time=\"0\" rot_y=\"0\"/><key time=\"9\" rot_y=\"360\"/></object>\r\n"
            " <object name=\"eye\" mesh=\"near\"><key time=\"0\" pos_z=\"19\"/><key time=\"2\" pos_z=\"21\"/></object>\r\n"
            "</scene>\r\n"));
  Save("render", "full_pool.xml",
       Text("<scene>\r\n <CreateSphere name=\"big\" radius=\"6\" slices=\"120\"/>\r\n"
            " <object name=\"a\" mesh=\"big\"/>\r\n <object name=\"b\" mesh=\"big\"><key time=\"0\" pos_x=\"3\"/></object>\r\n"
            "</scene>\r\n"));
  Save("render", "nowhere.xml",
       Text("<scene>\r\n <loadlwo filename=\"tri.lwo\"/>\r\n"
            " <object name=\"far\" mesh=\"tri\"><key time=\"0\" pos_x=\"1e30\" pos_z=\"-1e30\"/></object>\r\n"
            " <object name=\"nan\" mesh=\"tri\"><key time=\"0\" pos_y=\"nan\" rot_x=\"inf\"/></object>\r\n"
            " <object name=\"on_the_eye\" mesh=\"tri\"><key time=\"0\" pos_z=\"20\" scale_x=\"1e-30\"/></object>\r\n"
            " <camera><key time=\"0\" fov=\"0\" rot_y=\"1e9\"/></camera>\r\n"
            "</scene>\r\n"));
}

void ArchiveSeeds() {
  const std::string path = (g_root / "members.zip").string();
  zipFile zip = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
  if (!zip) return;
  const char* names[] = {"a.txt", "data/b.bin", "c.xml"};
  for (int i = 0; i < 3; i++) {
    zip_fileinfo info = {};
    zipOpenNewFileInZip(zip, names[i], &info, nullptr, 0, nullptr, 0, nullptr, i == 1 ? 0 : Z_DEFLATED, 6);
    std::string body(40 + 30 * i, char('a' + i));
    zipWriteInFileInZip(zip, body.data(), (unsigned)body.size());
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
  std::filesystem::create_directories(g_root / "archive");
  std::filesystem::rename(path, g_root / "archive" / "members.zip");
}

std::vector<uint8_t> Mp3(int kbps, bool free_format) {
  const int rate = 22050, frames = rate / 8;
  std::vector<short> stereo(2 * frames);
  for (int i = 0; i < frames; i++) stereo[2 * i] = stereo[2 * i + 1] = short(8000 * std::sin(0.06 * i));
  lame_global_flags* lame = lame_init();
  lame_set_in_samplerate(lame, rate);
  lame_set_out_samplerate(lame, rate);
  lame_set_brate(lame, kbps);
  lame_set_free_format(lame, free_format ? 1 : 0);
  lame_set_bWriteVbrTag(lame, 0);
  lame_set_write_id3tag_automatic(lame, 0);
  lame_init_params(lame);
  std::vector<uint8_t> out(frames * 2 + 8192);
  int n = lame_encode_buffer_interleaved(lame, stereo.data(), frames, out.data(), (int)out.size());
  n += lame_encode_flush(lame, out.data() + n, (int)out.size() - n);
  lame_close(lame);
  out.resize(n > 0 ? n : 0);
  return out;
}

void MusicSeeds() {
  Save("music", "tone_32k.mp3", Mp3(32, false));
  Save("music", "tone_free_44k.mp3", Mp3(44, true));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: fuzz_seeds DIR\n", stderr);
    return 1;
  }
  g_root = argv[1];
  PngSeeds();
  LwoSeeds();
  MotionSeeds();
  ScriptSeeds();
  RenderSeeds();
  ArchiveSeeds();
  MusicSeeds();
  return 0;
}
