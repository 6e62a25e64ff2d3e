// Administrator rights and earlier installations, checked through a whole start-up.
#include "startup_fixture.h"

namespace tw {
namespace {

const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{P}";

class EarlierInstallation : public StartupFixture {
 protected:
  void Register(const std::string& name, const std::string& value) {
    fake.registry.CreateKey(RegRoot::LocalMachine, kUninstall);
    fake.registry.WriteString(RegRoot::LocalMachine, kUninstall, name, value, false);
  }
};

TEST_F(EarlierInstallation, MissingRightsEndTheSetupWithTheMessage) {
  PackProject("[APPINFO]\r\na7=Yes\r\n");
  fake.registry.Deny(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", RegAccess::Write);
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(fake.ui.dialogs.size(), 1u);
  EXPECT_EQ(fake.ui.dialogs[0].text.value_or(""), "Sorry, you need administrator rights to install this software.");
  EXPECT_EQ(fake.ui.dialogs[0].templateId, kDialogConfirm);
}

TEST_F(EarlierInstallation, RequirementsComeBeforeRights) {
  PackProject("[APPINFO]\r\na1=Demo\r\na7=Yes\r\n[SYSTEM]\r\n2=Any\r\n");
  fake.registry.Deny(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", RegAccess::Write);
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(fake.ui.dialogs.size(), 1u) << "the first refusal ends the start";
  EXPECT_EQ(fake.ui.dialogs[0].text.value_or(""), "The operating system is not adequate for running Demo.");
}

TEST_F(EarlierInstallation, RightsAreOnlyCheckedWhenAsked) {
  PackProject("[APPINFO]\r\na7=yes\r\n");
  fake.registry.Deny(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", RegAccess::Write);
  EXPECT_EQ(Start(), 0);
  EXPECT_TRUE(fake.ui.dialogs.empty());
}

TEST_F(EarlierInstallation, AutoDetectTakesTheLastPathThenTheInstallLocation) {
  Register("InstallLocation", "D:\\Old\\App");
  PackProject("[APPINFO]\r\na3={P}\r\na4=C:\\New\r\na26=Upgrade\r\na27=Auto-Detect\r\n");
  Start();
  EXPECT_EQ(app->Frame()->Host().InstallDir, "D:\\Old\\App\\");
  EXPECT_EQ(app->Frame()->Host().DefaultInstallDir, "C:\\New\\") << "the default folder stays the project's";

  EXPECT_EQ(ExpandInstallPlaceholders("C:\\New\\bin", app->Frame()->PlaceholderCopy()), "D:\\Old\\App\\\\bin")
      << "the install engine's copy moves the default folder to the earlier one";

  Register("LastInstallationPath", "E:\\Last\\");
  fake.system.now.second = 8;
  Start();
  EXPECT_EQ(app->Frame()->Host().InstallDir, "E:\\Last\\");
}

TEST_F(EarlierInstallation, AutoDetectNeedsFullAccessToTheRegistration) {
  Register("InstallLocation", "D:\\Old");
  fake.registry.Deny(RegRoot::LocalMachine, kUninstall, RegAccess::Write);
  PackProject("[APPINFO]\r\na3={P}\r\na4=C:\\New\r\na26=Upgrade\r\na27=Auto-Detect\r\n");
  Start();
  EXPECT_EQ(app->Frame()->Host().InstallDir, "C:\\New\\");
}

TEST_F(EarlierInstallation, NamedValueSplitsRootKeyAndName) {
  fake.registry.CreateKey(RegRoot::CurrentUser, "Software\\Acme\\App");
  fake.registry.WriteString(RegRoot::CurrentUser, "Software\\Acme\\App", "Path", "F:\\Acme", false);
  fake.registry.CreateKey(RegRoot::Users, "Software\\Acme\\App");
  fake.registry.WriteString(RegRoot::Users, "Software\\Acme\\App", "Path", "G:\\Wrong", false);
  const std::string project = "[APPINFO]\r\na4=C:\\New\r\na26=Upgrade\r\na27=Manual\r\na28=";
  PackProject(project + "HKEY_CURRENT_USER\\Software\\Acme\\App\\Path\r\n");
  Start();
  EXPECT_EQ(app->Frame()->Host().InstallDir, "F:\\Acme\\");

  for (const char* other : {"HKEY_USERS\\Software\\Acme\\App\\Path", "NoBackslashAtAll"}) {
    PackProject(project + other + "\r\n");
    fake.system.now.second += 1;
    Start();
    EXPECT_EQ(app->Frame()->Host().InstallDir, "C:\\New\\") << other;
  }
}

TEST_F(EarlierInstallation, NewInstallationRunsTheEarlierUninstallerWhenRegistered) {
  fake.files.WriteAll("C:\\windows\\dovuvi.exe", "MZ");
  PackProject("[APPINFO]\r\na3={P}\r\na26=New Installation\r\na29=Yes\r\n");
  Start();
  EXPECT_TRUE(fake.shell.runs.empty()) << "nothing registered, nothing run";

  Register("DisplayName", "Old App");
  fake.system.now.second = 8;
  Start();
  ASSERT_EQ(fake.shell.runs.size(), 1u);
  EXPECT_EQ(fake.shell.runs[0].program, "C:\\windows\\dovuvi.exe");
  EXPECT_EQ(fake.shell.runs[0].commandLine, " \"/S\" {P}");

  PackProject("[APPINFO]\r\na3={P}\r\na26=New Installation\r\na29=Yes\r\nPREVIEW=255\r\n");
  fake.system.now.second = 9;
  Start();
  EXPECT_EQ(fake.shell.runs.size(), 1u) << "a preview removes nothing";
  EXPECT_NE(TraceText().find("upgrade remove-earlier registered=\"Old App\""), std::string::npos);
}

TEST_F(EarlierInstallation, PendingMergeModulesKeepTheWorkFolder) {
  PackProject("[MERGEMODULES]\r\nTOTAL=1\r\n");
  Start();
  EXPECT_EQ(app->Flags().keepWorkDir, kOn);
}

}  // namespace
}  // namespace tw
