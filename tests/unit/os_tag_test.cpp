// The Windows version tag and the two OS-mask bit orders.
#include <gtest/gtest.h>

#include "project/os_tag.h"

namespace tw {
namespace {

constexpr uint32_t k9x = 1;

TEST(OsTagTest, TellsTheKnownVersionsApart) {
  EXPECT_EQ(OsTagFor({4, 10, 1998, k9x}), "98");
  EXPECT_EQ(OsTagFor({4, 10, 2182, k9x}), "98");
  EXPECT_EQ(OsTagFor({4, 10, 2183, k9x}), "98SE");
  EXPECT_EQ(OsTagFor({4, 90, 3000, k9x}), "ME");
  EXPECT_EQ(OsTagFor({4, 0, 1381, kPlatformNt}), "NT4");
  EXPECT_EQ(OsTagFor({5, 0, 2195, kPlatformNt}), "2000");
  EXPECT_EQ(OsTagFor({5, 1, 2600, kPlatformNt}), "XP");
  EXPECT_EQ(OsTagFor({5, 2, 3790, kPlatformNt}), "NET");
}

TEST(OsTagTest, Windows98BuildIsTakenFromTheLow16Bits) {
  // 9x systems put the version in the high word of the build number.
  EXPECT_EQ(OsTagFor({4, 10, (4u << 24) | (10u << 16) | 2222u, k9x}), "98SE");
  EXPECT_EQ(OsTagFor({4, 10, (4u << 24) | (10u << 16) | 1998u, k9x}), "98");
}

TEST(OsTagTest, AnyFourPointZeroIsNt4EvenWindows95) {
  EXPECT_EQ(OsTagFor({4, 0, 950, k9x}), "NT4");
}

TEST(OsTagTest, TellsTodaysSystemsApartByTheirVersionNumbers) {
  const std::pair<OsVersion, const char*> systems[] = {
      {{6, 0, 6002, kPlatformNt}, "VISTA"},  {{6, 1, 7601, kPlatformNt}, "WIN7"},
      {{6, 2, 9200, kPlatformNt}, "WIN8"},   {{6, 3, 9600, kPlatformNt}, "WIN81"},
      {{10, 0, 10240, kPlatformNt}, "WIN10"}, {{10, 0, 21999, kPlatformNt}, "WIN10"},
      {{10, 0, 22000, kPlatformNt}, "WIN11"}, {{10, 0, 26100, kPlatformNt}, "WIN11"},
  };
  for (const auto& [version, tag] : systems)
    EXPECT_EQ(OsTagFor(version), tag) << version.major << "." << version.minor << "." << version.build;
}

TEST(OsTagTest, OtherVersionsHaveNoTag) {
  EXPECT_EQ(OsTagFor({5, 1, 2600, k9x}), "") << "XP needs the NT platform";
  EXPECT_EQ(OsTagFor({6, 1, 7601, k9x}), "");
  EXPECT_EQ(OsTagFor({6, 4, 9841, kPlatformNt}), "");
  EXPECT_EQ(OsTagFor({10, 1, 30000, kPlatformNt}), "");
  EXPECT_EQ(OsTagFor({3, 51, 1057, kPlatformNt}), "");
}

TEST(OsMaskTest, ZeroAnd255AdmitEverySystem) {
  for (const char* tag : {"", "98", "NT4", "NET", "WIN7", "WIN11"}) {
    EXPECT_TRUE(OsMaskAllows(0, tag)) << tag;
    EXPECT_TRUE(OsMaskAllows(255, tag)) << tag;
  }
}

TEST(OsMaskTest, EachBitAdmitsItsOwnVersionOnly) {
  const std::pair<int, const char*> bits[] = {{2, "98"},      {4, "98SE"},    {8, "ME"},      {16, "NT4"},
                                              {32, "2000"},    {64, "XP"},     {128, "NET"},   {256, "VISTA"},
                                              {512, "WIN7"},   {1024, "WIN8"}, {2048, "WIN81"}, {4096, "WIN10"},
                                              {8192, "WIN11"}};
  for (const auto& [bit, tag] : bits) {
    EXPECT_TRUE(OsMaskAllows(bit, tag)) << bit;
    EXPECT_FALSE(OsMaskAllows(bit, "")) << bit;
    for (const auto& [otherBit, otherTag] : bits) {
      if (otherBit != bit) {
        EXPECT_FALSE(OsMaskAllows(bit, otherTag)) << bit << " " << otherTag;
      }
    }
  }
}

TEST(OsMaskTest, BitOneAdmitsAnySystemIncludingAnUntaggedOne) {
  EXPECT_TRUE(OsMaskAllows(1, ""));
  EXPECT_TRUE(OsMaskAllows(1 | 64, "98"));
  EXPECT_TRUE(OsMaskAllows(16, "NT4")) << "Windows 95 is tagged NT4 and installs NT4 items";
}

TEST(FileActionOsMaskTest, UsesTheReversedBitOrder) {
  EXPECT_TRUE(FileActionOsMaskAllows(1, "NET"));
  EXPECT_FALSE(FileActionOsMaskAllows(1, "98")) << "1 is not 'any' for file actions";
  EXPECT_TRUE(FileActionOsMaskAllows(2, "XP"));
  EXPECT_TRUE(FileActionOsMaskAllows(4, "2000"));
  EXPECT_TRUE(FileActionOsMaskAllows(8, "NT4"));
  EXPECT_TRUE(FileActionOsMaskAllows(16, "ME"));
  EXPECT_TRUE(FileActionOsMaskAllows(32, "98SE"));
  EXPECT_TRUE(FileActionOsMaskAllows(64, "98"));
  EXPECT_FALSE(FileActionOsMaskAllows(64, "XP"));
  EXPECT_FALSE(FileActionOsMaskAllows(127 & ~2, "XP"));
}

TEST(FileActionOsMaskTest, NewSystemsHaveBitsAboveTheOldSeven) {
  const std::pair<int, const char*> bits[] = {{256, "VISTA"}, {512, "WIN7"},   {1024, "WIN8"},
                                              {2048, "WIN81"}, {4096, "WIN10"}, {8192, "WIN11"}};
  for (const auto& [bit, tag] : bits) {
    EXPECT_TRUE(FileActionOsMaskAllows(bit, tag)) << tag;
    EXPECT_FALSE(FileActionOsMaskAllows(bit, "XP")) << tag;
    EXPECT_FALSE(FileActionOsMaskAllows((16383 & ~bit) | 1, tag)) << "its own bit clear refuses " << tag;
    // A mask written before these bits existed knows nothing of the new systems and refuses none.
    EXPECT_TRUE(FileActionOsMaskAllows(0, tag)) << tag;
    EXPECT_TRUE(FileActionOsMaskAllows(2, tag)) << tag;
    EXPECT_TRUE(FileActionOsMaskAllows(255, tag)) << "the designer's 'every system' " << tag;
  }
}

TEST(FileActionOsMaskTest, ZeroRefusesKnownVersionsButAnEmptyTagRefusesNothing) {
  for (const char* tag : {"98", "98SE", "ME", "NT4", "2000", "XP", "NET"})
    EXPECT_FALSE(FileActionOsMaskAllows(0, tag)) << tag;
  EXPECT_TRUE(FileActionOsMaskAllows(0, ""));
  EXPECT_TRUE(FileActionOsMaskAllows(64, ""));
}

}  // namespace
}  // namespace tw
