// Merge modules: which items run by system mask, feature and condition, how a program path is
// read, and the package run once for every allowed item.
#include "install/merge_modules.h"

#include "project/features.h"
#include "install_phase_fixture.h"

namespace tw {
namespace {

class MergeModulesTest : public InstallPhaseTest {
 protected:
  MergeModulesTest() {
    placeholders.systemDir = "C:\\windows\\system32\\";
    files.MakeFolders("C:\\dist\\SupportFiles");
    files.WriteAll("C:\\dist\\SupportFiles\\tool.exe", "MZ");
    files.MakeFolders("C:\\windows\\system32");
    files.WriteAll(kMsiexec, "MZ");
  }
  bool Run(const std::string& section) {
    UseSettings("[MERGEMODULES]\r\n" + section);
    return RunMergeModules({settings, platform, trace, "C:\\dist\\", osTag, features,
                     [this](const std::string& name) { return name != "Never"; }, placeholders, {}});
  }
  std::vector<std::string> Runs() {
    std::vector<std::string> runs;
    for (const FakeShell::Run& run : shell.runs) runs.push_back(run.program + "|" + run.commandLine);
    return runs;
  }

  const std::string kMsiexec = "C:\\windows\\system32\\msiexec.exe";
  std::string osTag = "XP";
  FeatureTable features;
  PlaceholderValues placeholders;
};

TEST_F(MergeModulesTest, ProgramsRunFromTheSupportFolderAndOnlyWhenTheyAreProgramsAndAllowed) {
  features.Add("Extras", kFeatureSkip);
  Run("TOTAL=5\r\n"
      "C0=<ResourceDir>\\Tool.EXE\r\nD0=/quiet\r\nE0=2\r\n"       // 2 is "XP"
      "C1=<ResourceDir>\\tool.exe\r\nE1=1\r\n"                     // 1 is "NET" only
      "C2=<ResourceDir>\\tool.exe\r\nE2=127\r\nF2=Extras\r\n"
      "C3=<ResourceDir>\\tool.exe\r\nE3=127\r\nG3=Never\r\n"
      "C4=<ResourceDir>\\readme.txt\r\nE4=127\r\n");
  EXPECT_EQ(Runs(), std::vector<std::string>{"C:\\dist\\SupportFiles\\tool.exe|/quiet"});
  EXPECT_EQ(CountMergeModules(settings), 5);
}

TEST_F(MergeModulesTest, ThePackageRunsOncePerAllowedItemAndAddressesAreOpened) {
  files.WriteAll("C:\\dist\\SupportFiles\\mergemod.msi", "msi");
  Run("TOTAL=3\r\n"
      "C0=http://example.com/get.exe\r\nE0=127\r\n"
      "C1=nothing to run\r\nE1=127\r\n"
      "C2=nothing\r\nE2=127\r\nG2=Never\r\n");
  const std::string package =
      "C:\\windows\\system32\\msiexec.exe|C:\\windows\\system32\\msiexec.exe /i "
      "\"C:\\dist\\SupportFiles\\mergemod.msi\" /q";
  EXPECT_EQ(Runs(), (std::vector<std::string>{package, package}));
  EXPECT_EQ(shell.opened, std::vector<std::string>{"http://example.com/get.exe"});
}

// A program that cannot start or a package that did not install fails the merge modules (the
// installation is then undone) and nothing after it runs; a program's own exit code, or a package
// in place with a restart to come or in another version, does not.
TEST_F(MergeModulesTest, AProgramThatCannotStartOrAPackageThatFailedStopsThem) {
  const struct {
    const char* what;
    const char* firstProgram;
    uint32_t programCode, packageCode;
    bool done;
    size_t runs;
  } cases[] = {
      {"all well", "tool.exe", 0, 0, true, 4},
      {"a program's own failure code", "tool.exe", 1603, 0, true, 4},
      {"a package needing a restart", "tool.exe", 0, 3010, true, 4},
      {"another version of the package in place", "tool.exe", 0, 1638, true, 4},
      {"a missing program", "gone.exe", 0, 0, false, 1},
      {"a failed package", "tool.exe", 0, 1603, false, 2},
  };
  files.WriteAll("C:\\dist\\SupportFiles\\mergemod.msi", "msi");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    shell.runs.clear();
    shell.exitCodes = {{"c:\\dist\\supportfiles\\tool.exe", c.programCode}, {kMsiexec, c.packageCode}};
    EXPECT_EQ(Run(std::string("TOTAL=2\r\nC0=<ResourceDir>\\") + c.firstProgram +
                  "\r\nE0=127\r\nC1=<ResourceDir>\\tool.exe\r\nE1=127\r\n"),
              c.done);
    EXPECT_EQ(shell.runs.size(), c.runs);
  }
}

}  // namespace
}  // namespace tw
