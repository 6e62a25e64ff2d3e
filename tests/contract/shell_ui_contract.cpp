// What every Shell and the window lookup of every Ui must answer, on the fake and under Wine.
#include <thread>

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

// A machine lock is one holder's at a time, this process's other takers included, until let go.
TEST_F(ShellContract, AMachineLockHasOneHolderUntilItIsLetGo) {
  Shell& shell = platform().shell;
  std::unique_ptr<MachineLock> first = shell.TakeMachineLock("Tarnwick-Contract", 0);
  ASSERT_TRUE(first);
  EXPECT_FALSE(shell.TakeMachineLock("Tarnwick-Contract", 50)) << "taken, even waiting a little";
  EXPECT_TRUE(shell.TakeMachineLock("Tarnwick-Contract-Other", 0)) << "another name is another lock";
  first.reset();
  EXPECT_TRUE(shell.TakeMachineLock("Tarnwick-Contract", 0));
}

TEST_F(ShellContract, NoSuchWindowIsFound) {
  EXPECT_FALSE(platform().ui.TopLevelWindowExists("TarnwickNoSuchClass", "No Such Window Title"));
}

using UiContract = ContractTest;

TEST_F(UiContract, AWorkerRunsApartAndItsUiWorkComesBackToTheUiThread) {
  const std::thread::id ui = std::this_thread::get_id();
  std::thread::id worker, back;
  int order = 0, backAt = 0, afterAt = 0;
  platform().ui.RunAndPump([&] {
    worker = std::this_thread::get_id();
    platform().ui.CallOnUiThread([&] {
      back = std::this_thread::get_id();
      backAt = ++order;
    });
    afterAt = ++order;
  });
  EXPECT_NE(worker, ui);
  EXPECT_EQ(back, ui) << "pages are only touched by the thread that owns them";
  EXPECT_EQ(backAt, 1);
  EXPECT_EQ(afterAt, 2) << "the worker waits until its UI work is done";
  bool ran = false;
  platform().ui.CallOnUiThread([&] { ran = std::this_thread::get_id() == ui; });
  EXPECT_TRUE(ran) << "on the UI thread itself the work simply runs";
}

TEST_F(ShellContract, ShortcutsAreSavedOnlyIntoAFolderThatExists) {
  ASSERT_TRUE(platform().shell.PrepareThread());
  ASSERT_TRUE(files().WriteAll(At("app.exe"), "MZ"));
  ShellLink link;
  link.path = At("app.exe");
  link.description = "The app";
  link.workingFolder = Dir();
  EXPECT_TRUE(platform().shell.CreateShellLink(link, At("App.lnk")));
  EXPECT_TRUE(files().Exists(At("App.lnk")));
  EXPECT_FALSE(platform().shell.CreateShellLink(link, At("missing\\App.lnk")));
  EXPECT_FALSE(files().Exists(At("missing")));

  EXPECT_TRUE(platform().shell.CreateInternetShortcut("http://example.com/", At("Site.url")));
  EXPECT_NE(files().ReadAll(At("Site.url")).value_or("").find("URL=http://example.com/"), std::string::npos);
  EXPECT_FALSE(platform().shell.CreateInternetShortcut("http://example.com/", At("missing\\Site.url")));
  EXPECT_FALSE(files().Exists(At("missing")));
}

TEST_F(ShellContract, AMissingLibraryExportsNothing) {
  EXPECT_FALSE(platform().shell.CallExport(At("missing.dll"), "Anything", "C:\\App\\").has_value());
}

}  // namespace
}  // namespace tw
