// Damage the reader steps over: each case was refused as a whole file before, and is read
// now with a warning that says what was skipped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geometry/lwo_object.h"
#include "geometry_test_support.h"

namespace {

using geometry_test::Load;
using geometry_test::LoadedMesh;
using geometry_test::TwoTriangleObject;

TEST(LwoLeniency, DamageIsSkippedWithAWarning) {
  const std::string colr = std::string("COLR\0\x0e", 6) + std::string(12, '\0') + std::string("\0\0", 2);
  const std::string stil = std::string("STIL\0\x0a", 6) + std::string("x/a.png\0\0\0", 10);
  const struct {
    const char* name;
    bool leading;          // before everything else in the FORM, or after it
    const char* chunk;
    std::string data;
    const char* warning;   // what the warning must say
  } cases[] = {
      {"points and 5 bytes", true, "PNTS", std::string(36 + 5, '\0'), "not a multiple of 12"},
      {"tags before polygons", true, "PTAG", std::string("SURF\0\0\0\0", 8), "before any polygons"},
      {"tag index past the strings", false, "PTAG", std::string("SURF\0\0\0\x63", 8), "tag index 99 out of range"},
      {"stray bytes after a surface", false, "SURF", std::string("Extra\0\0\0", 8) + colr + "abc", "3 stray bytes"},
      {"stray bytes after a clip", false, "CLIP", std::string("\0\0\0\x02", 4) + stil + "ab", "2 stray bytes"},
  };
  for (const auto& d : cases) {
    LwoWriter writer = TwoTriangleObject();
    AddLwoRawChunk(d.leading ? &writer.leading_chunks : &writer.trailing_chunks, d.chunk, std::vector<uint8_t>(d.data.begin(), d.data.end()));
    const std::vector<uint8_t> bytes = WriteLwo(writer);
    LwoObject object{};
    EXPECT_EQ(ReadLwoFile(&object, bytes.data(), int32_t(bytes.size()), "damaged.lwo"), 1) << d.name << object.error;
    ASSERT_EQ(object.warnings.size(), 1u) << d.name;
    EXPECT_NE(object.warnings[0].find(d.warning), std::string::npos) << d.name << ": " << object.warnings[0];
    EXPECT_EQ(object.warnings[0].rfind("damaged.lwo: ", 0), 0u) << object.warnings[0];
    FreeLwoObject(&object);
    LoadedMesh m;
    Load(&m, bytes);
    EXPECT_EQ(m.result, 1) << d.name << m.console;
    EXPECT_EQ(m.mesh.surface_triangle_counts[0], 1) << d.name << ": the object's own tags still count";
  }
}

}  // namespace
