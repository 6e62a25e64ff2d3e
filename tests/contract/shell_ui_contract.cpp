// What every Shell and the window lookup of every Ui must answer, on the fake and under Wine.
#include "contract_env.h"

namespace tw {
namespace {

using ShellContract = ContractTest;

TEST_F(ShellContract, AMissingProgramDoesNotStart) {
  EXPECT_FALSE(platform().shell.RunAndWait(At("missing.exe"), " \"/S\" {X}"));
  ASSERT_TRUE(files().MakeFolder(At("folder.exe")));
  EXPECT_FALSE(platform().shell.RunAndWait(At("folder.exe"), ""));
  EXPECT_FALSE(platform().shell.Start(At("missing.exe"), "missing.exe /s \"x.dll\""));
  EXPECT_FALSE(platform().shell.Start(At("folder.exe"), ""));
}

TEST_F(ShellContract, NoSuchWindowIsFound) {
  EXPECT_FALSE(platform().ui.TopLevelWindowExists("TarnwickNoSuchClass", "No Such Window Title"));
}

}  // namespace
}  // namespace tw
