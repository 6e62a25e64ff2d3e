// Reading the project settings: buffer sizes, counts, and the two flag rules.
#include <gtest/gtest.h>

#include "project/project_settings.h"

namespace tw {
namespace {

TEST(ProjectSettings, ValuesAreCutToTheBufferLessOne) {
  ProjectSettings settings("[APPINFO]\r\nlong=" + std::string(300, 'v') + "\r\n[REGISTRY]\r\nTOTAL=123456789012345678901234\r\n");
  EXPECT_EQ(settings.ReadSetting("APPINFO", "long").size(), 254u);
  EXPECT_EQ(settings.ReadSetting("APPINFO", "long", kCountBuffer).size(), 99u);
  EXPECT_EQ(settings.ReadSetting("REGISTRY", "TOTAL", kRegistryCountBuffer), "1234567890123456789");
  EXPECT_EQ(settings.ReadSetting("appinfo", "LONG").size(), 254u) << "names match without regard to case";
  EXPECT_EQ(settings.ReadSetting("APPINFO", "missing"), "");
  EXPECT_EQ(settings.ReadSetting("NOSECTION", "long"), "");
}

TEST(ProjectSettings, CountsAreLeadingDigits) {
  ProjectSettings settings("[A]\r\nTOTAL=12abc\r\n[B]\r\nTOTAL=x3\r\n[C]\r\nTOTAL=  7\r\n[D]\r\nTOTAL=99999999999\r\n");
  EXPECT_EQ(settings.ReadCount("A"), 12);
  EXPECT_EQ(settings.ReadCount("B"), 0);
  EXPECT_EQ(settings.ReadCount("C"), 7);
  EXPECT_EQ(settings.ReadCount("E"), 0);
  EXPECT_GT(settings.ReadCount("D"), 0) << "a huge count saturates instead of overflowing";
}

TEST(ProjectSettings, FlagRules) {
  EXPECT_TRUE(IsYes("Yes"));
  for (const char* value : {"yes", "YES", " Yes", "Yes ", "", "Y"}) EXPECT_FALSE(IsYes(value)) << value;
  EXPECT_FALSE(IsNotNo("No"));
  for (const char* value : {"no", "NO", "", "No ", "Yes"}) EXPECT_TRUE(IsNotNo(value)) << value;
  EXPECT_EQ(ToNumber("255abc"), 255);
  EXPECT_EQ(ToNumber("-5"), 0);
  EXPECT_EQ(ToNumber(""), 0);
}

}  // namespace
}  // namespace tw
