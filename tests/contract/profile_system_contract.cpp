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

// Windows-1252, as the fake machine and the English locale the Wine suite runs in both have it:
// what fits goes to its byte and back; what does not fit is refused, never mapped to a look-alike.
TEST_F(SystemInfoContract, TheAnsiCodePageKeepsOnlyWhatFits) {
  const SystemInfo& system = platform().system;
  if (system.AnsiToUtf8("\xE9") != "é") GTEST_SKIP() << "the machine's code page is not Windows-1252";
  const std::pair<std::string, std::string> fitting[] = {
      {"", ""}, {"abc", "abc"}, {"é", "\xE9"}, {"€‰Ÿ", "\x80\x89\x9F"}, {"ÿ", "\xFF"}};
  for (const auto& [text, bytes] : fitting) {
    EXPECT_EQ(system.Utf8ToAnsi(text).value_or("?"), bytes) << text;
    EXPECT_EQ(system.AnsiToUtf8(bytes), text) << text;
  }
  for (const char* text : {"日本語", "＼", "a\xEF\xBC\xBC" "b", "∕", "Ł"})
    EXPECT_FALSE(system.Utf8ToAnsi(text).has_value()) << text;
  ProfileFiles& profiles = platform().profiles;
  ASSERT_TRUE(profiles.WriteValue(At("cp.ini"), "Main", "Name", "café"));
  EXPECT_EQ(profiles.ReadValue(At("cp.ini"), "Main", "Name", "", 255), "café");
  EXPECT_EQ(files().ReadAll(At("cp.ini")).value_or(""), "[Main]\r\nName=caf\xE9\r\n") << "kept in the code page";
}

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
  std::string program = system.ProgramName();
  EXPECT_FALSE(program.empty());
  EXPECT_EQ(program.find_first_of("\\/."), std::string::npos) << program;
  // The single-file build reads its own bytes through this path: it must name the very file.
  const std::string path = system.ProgramPath();
  if (!path.empty()) {
    EXPECT_TRUE(platform().files.Exists(path)) << path;
    EXPECT_EQ(path.rfind(program), path.find_last_of("\\") + 1) << path;
  }
}

TEST_F(SystemInfoContract, MachineMeasurements) {
  const SystemInfo& system = platform().system;
  OsVersion version = system.Version();
  EXPECT_GE(version.major, 4u);
  EXPECT_GT(system.TotalPhysicalMemory(), 16ull << 20);
  EXPECT_GT(system.ScreenWidth(), 0);
  EXPECT_GT(system.ScreenHeight(), 0);
  int bits = system.BitsPerPixel();
  EXPECT_TRUE(bits == 8 || bits == 16 || bits == 24 || bits == 32) << bits;
  auto leaf0 = system.CpuId(0);
  ASSERT_TRUE(leaf0.has_value());
  EXPECT_GE(leaf0->eax, 1u) << "leaf 1 exists on every processor that has the instruction";
  for (uint32_t word : {leaf0->ebx, leaf0->edx, leaf0->ecx})
    for (int shift = 0; shift < 32; shift += 8) {
      char c = static_cast<char>((word >> shift) & 0xFF);
      EXPECT_TRUE(c >= ' ' && c <= '~') << "the vendor text is printable";
    }
}

}  // namespace
}  // namespace tw
