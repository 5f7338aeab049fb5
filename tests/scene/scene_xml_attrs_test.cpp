// Attribute reading of scene scripts: leading-part matching, -1 as absent, safe truncation,
// and the fatal XmlError.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/fatal.h"
#include "scene/scene_xml.h"

namespace {

TEST(ScriptNames, LeadingPartIgnoringCase) {
  EXPECT_TRUE(NameMatches("obj", "object"));
  EXPECT_TRUE(NameMatches("OBJECT", "object"));
  EXPECT_TRUE(NameMatches("c", "CreateSphere"));
  EXPECT_TRUE(NameMatches("c", "camera"));
  EXPECT_TRUE(NameMatches("createsphere", "CreateSphere"));
  EXPECT_FALSE(NameMatches("objects", "object"));
  EXPECT_FALSE(NameMatches("bject", "object"));
  EXPECT_FALSE(NameMatches("", "object"));
}

TEST(ScriptAttrs, PosFillsAllThree) {
  const char* atts[] = {"pos", "4.5", nullptr};
  EXPECT_EQ(GetFloatAttr("pos_x", atts), 4.5f);
  EXPECT_EQ(GetFloatAttr("pos_y", atts), 4.5f);
  EXPECT_EQ(GetFloatAttr("pos_z", atts), 4.5f);
  EXPECT_EQ(GetFloatAttr("rot_x", atts), -1.0f);
}

TEST(ScriptAttrs, LastMatchWins) {
  const char* atts[] = {"pos", "1", "POS_Y", "2", "pos_x", "3", nullptr};
  EXPECT_EQ(GetFloatAttr("pos_x", atts), 3.0f);
  EXPECT_EQ(GetFloatAttr("pos_y", atts), 2.0f);
  EXPECT_EQ(GetFloatAttr("pos_z", atts), 1.0f);
}

TEST(ScriptAttrs, AbsentOrEmptyReadsMinusOne) {
  const char* atts[] = {"name", "", nullptr};
  EXPECT_EQ(GetFloatAttr("name", atts), -1.0f);
  EXPECT_EQ(GetIntAttr("name", atts), -1);
  EXPECT_EQ(GetIntAttr("slices", atts), -1);
  char text[8] = "junk";
  GetAttr(text, sizeof(text), "filename", atts);
  EXPECT_STREQ(text, "");
  const char* none[] = {nullptr};
  EXPECT_EQ(GetIntAttr("slices", none), -1);
}

TEST(ScriptAttrs, AtofAndAtoiReadings) {
  const char* atts[] = {"a", "2.5xyz", "b", "abc", "c", "-1.5", "d", " 7", "e", "1e3", nullptr};
  EXPECT_EQ(GetFloatAttr("a", atts), 2.5f);
  EXPECT_EQ(GetIntAttr("a", atts), 2);
  EXPECT_EQ(GetFloatAttr("b", atts), 0.0f);
  EXPECT_EQ(GetIntAttr("b", atts), 0);
  EXPECT_EQ(GetFloatAttr("c", atts), -1.5f);
  EXPECT_EQ(GetIntAttr("d", atts), 7);
  EXPECT_EQ(GetFloatAttr("e", atts), 1000.0f);
  EXPECT_EQ(GetIntAttr("e", atts), 1);
}

TEST(ScriptAttrs, GivenMeansIntegerReadingIsNotMinusOne) {
  const char* atts[] = {"alpha", "-1", "fov", "-1.5", "lightmap", "yes", "bias", "-0.5", nullptr};
  EXPECT_FALSE(AttrGiven("alpha", atts));
  EXPECT_FALSE(AttrGiven("fov", atts));
  EXPECT_TRUE(AttrGiven("lightmap", atts));  // the text reads as 0
  EXPECT_TRUE(AttrGiven("bias", atts));
  EXPECT_FALSE(AttrGiven("tension", atts));
}

TEST(ScriptAttrs, HugeIntegersAreClampedNotUndefined) {
  const char* atts[] = {"slices", "99999999999999999999", "time", "-99999999999999", nullptr};
  EXPECT_EQ(GetIntAttr("slices", atts), INT32_MAX);
  EXPECT_EQ(GetIntAttr("time", atts), INT32_MIN);
}

TEST(ScriptAttrs, LongValuesAreCut) {
  std::string longest(3000, 'x');
  const char* atts[] = {"name", longest.c_str(), "radius", "1.25000000000000000000009", nullptr};
  char name[20];
  std::memset(name, 0x55, sizeof(name));
  GetAttr(name, sizeof(name), "name", atts);
  EXPECT_EQ(std::strlen(name), 19u);
  // Numbers are read from their first 19 characters.
  EXPECT_EQ(GetFloatAttr("radius", atts), 1.25f);
}

TEST(XmlErrors, MessageCaptionAndStatus) {
  try {
    XmlError("", "<object> without a scene ????");
    FAIL() << "XmlError returned";
  } catch (const FatalError& error) {
    EXPECT_STREQ(error.what(), "Error in XML:  <object> without a scene ????");
    EXPECT_EQ(error.caption, "Error in XML");
    EXPECT_EQ(error.status, -1);
  }
}

TEST(XmlErrors, CutTo99Characters) {
  std::string subject(200, 's');
  try {
    XmlError(subject.c_str(), "has incorrect radius");
    FAIL();
  } catch (const FatalError& error) {
    std::string text = error.what();
    EXPECT_EQ(text.size(), 99u);
    EXPECT_EQ(text.rfind("Error in XML: sss", 0), 0u);
  }
}

}  // namespace
