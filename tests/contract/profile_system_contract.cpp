// What every ProfileFiles and SystemInfo must answer, on the fake and on the real Win32 side.
#include "contract_env.h"

namespace tw {
namespace {

using ProfileFilesContract = ContractTest;

TEST_F(ProfileFilesContract, WrittenEntriesReadBack) {
  ProfileFiles& profiles = platform().profiles;
  const std::string file = At("app.ini");
  ASSERT_TRUE(profiles.WriteValue(file, "Main", "Path", "C:\\App"));
  ASSERT_TRUE(profiles.WriteValue(file, "Main", "Mode", "fast"));
  ASSERT_TRUE(profiles.WriteValue(file, "Other", "Path", "elsewhere"));
  ASSERT_TRUE(profiles.WriteValue(file, "main", "path", "D:\\App")) << "replaces, whatever the case";
  EXPECT_EQ(profiles.ReadValue(file, "MAIN", "PATH", "", 255), "D:\\App");
  EXPECT_EQ(profiles.ReadValue(file, "Main", "Mode", "", 255), "fast");
  EXPECT_EQ(profiles.ReadValue(file, "Other", "Path", "", 255), "elsewhere");
  EXPECT_EQ(profiles.ReadValue(file, "Main", "Missing", "fallback", 255), "fallback");
  EXPECT_EQ(profiles.ReadValue(At("none.ini"), "Main", "Path", "fb", 255), "fb");
  EXPECT_EQ(profiles.ReadValue(file, "Main", "Mode", "", 3), "fa") << "cut to the buffer less one";
}

using SystemInfoContract = ContractTest;

TEST_F(SystemInfoContract, FoldersExistAndEndAsDocumented) {
  const SystemInfo& system = platform().system;
  std::string windows = system.WindowsFolder(), sys = system.SystemFolder(), temp = system.TempFolder();
  ASSERT_GE(windows.size(), 3u);
  EXPECT_NE(windows.back(), '\\');
  EXPECT_TRUE(files().IsFolder(windows));
  EXPECT_NE(sys.back(), '\\');
  EXPECT_TRUE(files().IsFolder(sys));
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_TRUE(files().IsFolder(temp));
  std::string appData = system.SpecialFolder(26);
  EXPECT_FALSE(appData.empty());
  EXPECT_NE(appData.back(), '\\');
}

TEST_F(SystemInfoContract, UserClockAndEnvironment) {
  const SystemInfo& system = platform().system;
  EXPECT_FALSE(system.UserName().empty());
  LocalTime now = system.Now();
  EXPECT_GE(now.year, 2000);
  EXPECT_TRUE(now.hour >= 0 && now.hour < 24 && now.minute < 60 && now.second < 60);
  EXPECT_FALSE(system.Environment("TARNWICK_CONTRACT_SURELY_UNSET").has_value());
}

}  // namespace
}  // namespace tw
