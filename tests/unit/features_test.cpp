// The feature table: loading, duplicate names, and the rule install items follow.
#include <gtest/gtest.h>

#include "project/features.h"
#include "project/project_settings.h"

namespace tw {
namespace {

TEST(Features, DuplicateNamesAreSetAtTheLastAndReadAtTheFirst) {
  FeatureTable table;
  table.LoadFeatures(ProjectSettings(
      "[SETUPTYPE]\r\nTOTAL=3\r\nFeatureName0=Docs\r\nFeatureName1=Tools\r\nFeatureName2=Docs\r\n"));
  ASSERT_EQ(table.Count(), 3);
  EXPECT_EQ(table.GetFeatureState("Docs"), kFeatureInstall);
  table.SetFeatureState("Docs", kFeatureSkip);
  EXPECT_EQ(table.GetFeatureState("Docs"), kFeatureInstall) << "the last entry changed, the first is read";
  table.SetFeatureState("Tools", kFeatureSkip);
  EXPECT_FALSE(table.FeatureAllows("Tools"));
  EXPECT_FALSE(table.FeatureAllows("|Tools|")) << "bars in an item's feature field are ignored";
  table.SetFeatureState("Nobody", kFeatureSkip);
  EXPECT_EQ(table.GetFeatureState("Nobody"), -1);
  EXPECT_TRUE(table.FeatureAllows("Nobody")) << "an unknown feature installs";
  EXPECT_TRUE(table.FeatureAllows("")) << "an item without a feature installs";
}

TEST(Features, AHostileCountStaysBounded) {
  FeatureTable table;
  table.LoadFeatures(ProjectSettings("[SETUPTYPE]\r\nTOTAL=2147483647\r\n"));
  EXPECT_LE(table.Count(), 10000);
  table.LoadFeatures(ProjectSettings(""));
  EXPECT_EQ(table.Count(), 0);
}

}  // namespace
}  // namespace tw
