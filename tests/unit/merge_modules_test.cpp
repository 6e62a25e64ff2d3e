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
  }
  void Run(const std::string& section) {
    UseSettings("[MERGEMODULES]\r\n" + section);
    RunMergeModules({settings, platform, trace, "C:\\dist\\", osTag, features,
                     [this](const std::string& name) { return name != "Never"; }, placeholders, {}});
  }
  std::vector<std::string> Runs() {
    std::vector<std::string> runs;
    for (const FakeShell::Run& run : shell.runs) runs.push_back(run.program + "|" + run.commandLine);
    return runs;
  }

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

}  // namespace
}  // namespace tw
