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

// A list walks only the entries it holds: a hostile count would walk through empty entries for
// minutes, or hours when its one key sits near the top of the range.
TEST(ProjectSettings, ListsWalkOnlyTheEntriesThere) {
  ProjectSettings settings(
      "[R]\r\nTOTAL=2147483647\r\nA0=x\r\nB0=y\r\nA3=z\r\n[K]\r\nTOTAL=99999999999\r\n0=a\r\n1=b\r\n"
      "[S]\r\nTOTAL=2\r\nA0=x\r\nA1=y\r\nA2=extra\r\n[N]\r\nTOTAL=5\r\n"
      "[H]\r\nTOTAL=2147483647\r\nA2147483646=x\r\nA07=not-an-entry\r\nA99999999999=too-big\r\n");
  const struct {
    const char* section;
    std::vector<int> entries;
  } cases[] = {{"R", {0, 3}}, {"K", {0, 1}}, {"S", {0, 1}}, {"N", {}}, {"missing", {}}, {"H", {2147483646}}};
  for (const auto& c : cases) EXPECT_EQ(settings.EntryIndices(c.section), c.entries) << c.section;
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
