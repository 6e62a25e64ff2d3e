// The wizard's start sequence as the frame runs it: version tag, conditions, variables, actions.
#include "../contract/test_cabinets.h"
#include "app/page_flow.h"
#include "skin/skin_page.h"
#include "startup_fixture.h"

namespace tw {
namespace {

using WizardStart = StartupFixture;

TEST_F(WizardStart, TheVersionTagComesFromTheSystem) {
  fake.system.version = {4, 10, 2222, 1};
  PackProject("[APPINFO]\r\n");
  Start();
  EXPECT_EQ(app->Frame()->Host().OsTag, "98SE");
}

TEST_F(WizardStart, VariablesAreComputedAfterTheUpgradeAndSeenByConditions) {
  fake.registry.CreateKey(RegRoot::CurrentUser, "Software\\Acme");
  fake.registry.WriteString(RegRoot::CurrentUser, "Software\\Acme", "Edition", "Pro", false);
  PackProject(
      "[VARIABLES]\r\nTOTAL=1\r\nA0=<Edition>\r\nB0=Basic\r\nD0=Registry\r\nE0=HKEY_CURRENT_USER\r\n"
      "F0=Software\\Acme\r\nG0=Edition\r\n"
      "[CONDITIONS]\r\nTOTAL=1\r\nA0=IsPro\r\nB0=<Edition>\r\nC0===\r\nD0=Pro\r\nF0=1\r\n"
      "00=ShowMessage(Pro edition);\r\n");
  Start();
  CMainFrame& frame = *app->Frame();
  ASSERT_EQ(frame.Host().UserVariables.size(), 1u);
  EXPECT_EQ(frame.Host().UserVariables[0].value, "Pro");
  EXPECT_EQ(frame.ExpandPlaceholders("<Edition> <ProductName>"), "Pro ");
  EXPECT_TRUE(frame.ConditionAllows("IsPro"));
  ASSERT_EQ(fake.ui.dialogs.size(), 1u) << "a condition that holds runs its actions";
  EXPECT_EQ(fake.ui.dialogs[0].templateId, kDialogMessage);
  EXPECT_EQ(fake.ui.dialogs[0].text.value_or(""), "Pro edition");
  EXPECT_TRUE(frame.ConditionAllows("Unknown")) << "an unknown condition allows the item";
}

TEST_F(WizardStart, CancelActionEndsTheSetup) {
  // Pending merge modules keep the work folder after an installation, never after an abort.
  PackProject("[CONDITIONS]\r\nTOTAL=1\r\nA0=Stop\r\nB0=1\r\nC0=>\r\nD0=0\r\nE0=ready.lcd\r\nF0=1\r\n00=CancelInstall();\r\n"
              "[MERGEMODULES]\r\nTOTAL=1\r\n");
  Start();
  CMainFrame& frame = *app->Frame();
  frame.RunPageConditions("welcome.lcd");
  EXPECT_FALSE(frame.Host().Ended);
  EXPECT_TRUE(fake.files.Exists(frame.Host().WorkDir));
  frame.RunPageConditions("ready.lcd");
  EXPECT_TRUE(frame.Host().Ended);
  EXPECT_EQ(app->Flags().cancelled, kOn);
  EXPECT_FALSE(fake.files.Exists(frame.Host().WorkDir)) << "it holds the decrypted project";
}

TEST_F(WizardStart, AnAbortOnTheStartPageUnpacksNothingAndWaitsOnTheCompletionPage) {
  fake.files.RemoveTree(std::string(kDist) + "DiskImage1", LeftInUse::kStays);
  fake.files.WriteAll(std::string(kDist) + "file1.cab", test_cabinets::MsZipCabinet());
  PackProject("[CONDITIONS]\r\nTOTAL=1\r\nA0=c\r\nB0=1\r\nC0===\r\nD0=1\r\nE0=start.lcd\r\nF0=1\r\n"
              "00=CancelInstall();\r\n");
  Start();
  EXPECT_FALSE(fake.ui.quitCode.has_value()) << "the user reads the page and clicks Finish";
  EXPECT_EQ(app->Frame()->Flow()->CurrentPage()->LayoutFile(), "complete.lcd");
  EXPECT_FALSE(fake.files.Exists(app->Frame()->Host().WorkDir));
}

TEST_F(WizardStart, EveryWayOutBeforeTheFirstPageRemovesTheWorkFolder) {
  enum Way { kRequirement, kRights, kExtraction };
  for (Way way : {kRequirement, kRights, kExtraction}) {
    SCOPED_TRACE(way);
    SetUp();
    if (way == kRequirement) PackProject("[SYSTEM]\r\n2=1048576 MB\r\n");
    if (way == kRights) {
      PackProject("[APPINFO]\r\na7=Yes\r\n");
      fake.registry.DeleteValue(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    }
    if (way == kExtraction) {
      PackProject("[APPINFO]\r\n");
      // A cabinet build without its cabinet.
      fake.files.RemoveTree(std::string(kDist) + "DiskImage1", LeftInUse::kStays);
    }
    Start();
    EXPECT_TRUE(fake.ui.quitCode.has_value());
    EXPECT_FALSE(fake.files.Exists(app->Frame()->Host().WorkDir)) << "it holds the decrypted project";
    fake.files.RemoveTree(std::string(kDist) + "theme", LeftInUse::kStays);
    fake.ui.quitCode.reset();
  }
}

// A refused machine sees only the refusal: the splash and the background open once it is accepted.
TEST_F(WizardStart, TheSplashAndTheBackgroundComeOnlyAfterTheMachineIsAccepted) {
  const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
  const std::pair<std::string, DecorationKind> decorations[] = {
      {"[SPLASH]\r\na1=Yes\r\na5=Yes\r\n", DecorationKind::Splash},
      {"[BACKGROUND]\r\n0=1\r\n1=Demo\r\n", DecorationKind::Backdrop}};
  enum Machine { kNoWindowsAllowed, kNoRights, kAccepted };
  for (const auto& [section, kind] : decorations) {
    for (Machine machine : {kNoWindowsAllowed, kNoRights, kAccepted}) {
      SCOPED_TRACE(section + " machine " + std::to_string(machine));
      if (machine == kNoRights) fake.registry.DeleteValue(RegRoot::LocalMachine, kVersionKey, "ProgramFilesDir");
      PackProject(std::string(machine == kNoWindowsAllowed ? "[SYSTEM]\r\nos0=No\r\nos1=No\r\nos2=No\r\nos3=No\r\n"
                                                             "os4=No\r\nos5=No\r\nos6=No\r\n" : "") +
                  "[APPINFO]\r\na7=Yes\r\n" + section);
      fake.ui.decorations.clear();
      fake.ui.dialogs.clear();
      fake.ui.quitCode.reset();
      EXPECT_EQ(Start() == 0, machine == kAccepted);
      EXPECT_EQ(fake.ui.dialogs.size(), machine == kAccepted ? 0u : 1u) << "the refusal";
      ASSERT_EQ(fake.ui.decorations.size(), machine == kAccepted ? 1u : 0u) << "a refused machine sees only the error";
      if (machine == kAccepted) {
        EXPECT_EQ(fake.ui.decorations[0]->kind, kind);
      }
      fake.registry.WriteString(RegRoot::LocalMachine, kVersionKey, "ProgramFilesDir", "C:\\Program Files", false);
    }
  }
}

}  // namespace
}  // namespace tw
