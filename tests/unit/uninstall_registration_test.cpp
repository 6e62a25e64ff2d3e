// The uninstall registration: log entries for the uninstaller, the installed-programs values,
// live update, and the files copied beside the log.
#include <gtest/gtest.h>

#include "project/host_flags.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "install/install_session.h"
#include "install/uninstall_registration.h"
#include "platform/fake/fake_platform.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

const char kKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{P}";

class SilentProgress : public InstallProgress {
 public:
  void SetStatusText(const std::string&) override {}
  void SetProgressRange(int) override {}
  void SetProgressPos(int) override {}
  void ShowDownloadProgress(bool, int) override {}
  void SetDownloadStatus(int, const std::string&, const std::string&) override {}
};

class UninstallRegistration : public ::testing::Test {
 protected:
  InstallSession& Session(const std::string& setupInf) {
    settings = ProjectSettings("[APPINFO]\r\na3={P}\r\n" + setupInf);
    session = std::make_unique<InstallSession>(fake.platform, flags, trace, dialogs, settings, progress);
    session->placeholders.values.installDir = "C:\\App\\";
    session->placeholders.values.tempDir = "C:\\Temp\\";
    session->placeholders.values.windowsDir = "C:\\windows";
    session->placeholders.defaultInstallDir = "C:\\App\\";
    session->host.SetupDir = "C:\\dist\\";
    session->host.WorkName = "tw010203";
    session->PayloadDir = "C:\\Temp\\tw010203\\";
    session->Places = PlacesFor("C:\\windows", "C:\\users\\tester\\AppData\\Local", "{P}", false);
    session->LogDir = "C:\\windows\\Installer\\{P}\\";
    session->LogPath = session->LogDir + "uninstall.log";
    for (const char* folder : {"C:\\App", "C:\\dist", "C:\\Temp\\tw010203", "C:\\windows\\Installer\\{P}"})
      fake.files.MakeFolders(folder);
    return *session;
  }
  std::string Log() { return fake.files.ReadAll(session->LogPath).value_or(""); }
  std::optional<std::string> Value(const char* name) {
    return fake.registry.ReadString(RegRoot::LocalMachine, kKey, name);
  }

  FakePlatform fake;
  HostFlags flags;
  Trace trace;
  std::string languageFile;
  FixedDialogs dialogs{fake.ui, fake.files, trace, languageFile, [](const std::string& t) { return t; }};
  ProjectSettings settings;
  SilentProgress progress;
  std::unique_ptr<InstallSession> session;
};

TEST_F(UninstallRegistration, TheRunAtUninstallProgramGoesBesideTheLog) {
  InstallSession& s = Session("a11=C:\\Author\\cleanup.exe\r\na12=/quiet <InstallDir>\r\na13=No\r\n");
  fake.files.WriteAll("C:\\Temp\\tw010203\\cleanup.exe", "MZ");
  RegisterUninstallProgram(s);
  EXPECT_TRUE(fake.files.Exists("C:\\windows\\Installer\\{P}\\cleanup.exe"));
  EXPECT_EQ(Log(), "RUN3RD=cleanup.exe\r\nRUN3RDCMD=/quiet C:\\App\\\r\nREMOVEALL=Yes\r\n");
}

TEST_F(UninstallRegistration, TheInstalledProgramsEntryLeavesEmptyValuesOut) {
  InstallSession& s = Session("a1=Demo\r\na2=1.2\r\na19=\r\na20=Notes\r\na15=Yes\r\n");
  fake.files.SetCurrentFolder("C:\\dist");
  RegisterUninstall(s);
  EXPECT_EQ(Value("DisplayName").value_or(""), "Demo");
  EXPECT_EQ(Value("DisplayVersion").value_or(""), "1.2");
  EXPECT_FALSE(Value("Publisher").has_value()) << "an empty publisher is no value, not an empty one";
  EXPECT_EQ(Value("Comments").value_or(""), "Notes");
  EXPECT_EQ(Value("LastInstallationPath").value_or(""), "C:\\App\\");
  EXPECT_EQ(Value("UninstallString").value_or(""), "\"C:\\windows\\dovuvi.exe\" /R {P}");
  EXPECT_EQ(Value("ModifyPath").value_or(""), "\"C:\\windows\\dovuvi.exe\" /M {P}");
  EXPECT_EQ(Value("QuietUninstallString").value_or(""), "\"C:\\windows\\dovuvi.exe\" /S {P}");
  EXPECT_EQ(Value("InstallLocation").value_or(""), "C:\\App\\");
  EXPECT_EQ(Value("InstallDate").value_or(""), "20261208");
  EXPECT_EQ(fake.registry.ReadDword(RegRoot::LocalMachine, kKey, "EstimatedSize").value_or(0), 0u) << "nothing logged";
  EXPECT_EQ(Value("InstallSource").value_or(""), "C:\\dist");
  EXPECT_EQ(fake.registry.ReadDword(RegRoot::LocalMachine, kKey, "NoModify").value_or(0), 1u);
  EXPECT_FALSE(fake.registry.ReadDword(RegRoot::LocalMachine, kKey, "NoRemove").has_value());
}

TEST_F(UninstallRegistration, WithoutTheEntryTheKeyAndTheOtherValuesStillCome) {
  InstallSession& s = Session("a1=Demo\r\na14=No\r\na10=Yes\r\na13=No\r\n[LIVEUPDATE]\r\n1=Yes\r\n2=auto\r\n");
  fake.files.WriteAll("C:\\Temp\\tw010203\\liveupdate.exe", "MZ");
  RegisterUninstall(s);
  EXPECT_TRUE(fake.registry.KeyExists(RegRoot::LocalMachine, kKey));
  EXPECT_FALSE(Value("DisplayName").has_value());
  EXPECT_EQ(Value("LVmode").value_or(""), "auto");
  EXPECT_EQ(Value("UninstallRemoveAll").value_or(""), "No");
  EXPECT_TRUE(fake.files.Exists("C:\\App\\liveupdate.exe")) << "an empty live-update folder means the install folder";
  EXPECT_EQ(Log(), "FILE=C:\\App\\liveupdate.exe\r\n") << "a live-update file that never came is not logged";
}

TEST_F(UninstallRegistration, UninstallerLanguageThemeAndIconAreCopied) {
  InstallSession& s = Session("a10=Yes\r\na18=app.ico\r\n");
  fake.files.WriteAll("C:\\Temp\\tw010203\\dovuvi.exe", "MZ");
  fake.files.WriteAll("C:\\Temp\\tw010203\\app.ico", "ICON");
  fake.files.WriteAll("C:\\dist\\language.lan", "[x]");
  fake.files.MakeFolders("C:\\dist\\theme\\sub");
  fake.files.WriteAll("C:\\dist\\theme\\sub\\back.bmp", "BM");
  RegisterUninstall(s);
  EXPECT_TRUE(fake.files.Exists("C:\\windows\\dovuvi.exe"));
  EXPECT_TRUE(fake.files.Exists("C:\\windows\\Installer\\{P}\\language.lan"));
  EXPECT_TRUE(fake.files.Exists("C:\\windows\\Installer\\{P}\\theme\\sub\\back.bmp"));
  EXPECT_EQ(Value("DisplayIcon").value_or(""), "C:\\App\\app.ico");
  EXPECT_EQ(Log(), "FILE=C:\\App\\app.ico\r\n");
}

// The uninstaller in the Windows folder serves every product: only a newer one replaces it.
TEST_F(UninstallRegistration, TheSharedUninstallerIsReplacedOnlyByANewerOne) {
  const struct {
    const char *ours, *there, *result;
  } cases[] = {{"1.1.0.0", "1.0.0.0", "ours"}, {"1.0.0.0", "1.1.0.0", "theirs"}, {"1.1.0.0", "1.1.0.0", "theirs"},
               {"1.0.0.0", "", "ours"}};
  for (const auto& c : cases) {
    InstallSession& s = Session("");
    fake.files.WriteAll("C:\\Temp\\tw010203\\dovuvi.exe", "ours");
    fake.files.SetFileVersion("C:\\Temp\\tw010203\\dovuvi.exe", c.ours);
    fake.files.WriteAll("C:\\windows\\dovuvi.exe", "theirs");
    fake.files.SetFileVersion("C:\\windows\\dovuvi.exe", c.there);
    RegisterUninstall(s);
    EXPECT_EQ(fake.files.ReadAll("C:\\windows\\dovuvi.exe").value_or(""), c.result) << c.ours << " over " << c.there;
  }
}

TEST_F(UninstallRegistration, AMissingIconGivesNoDisplayIcon) {
  InstallSession& s = Session("a18=missing.ico\r\n");
  RegisterUninstall(s);
  EXPECT_FALSE(Value("DisplayIcon").has_value());
  EXPECT_EQ(Log(), "");
}

TEST_F(UninstallRegistration, ShippedFilesAreFoundWhereTheBuildKeepsThem) {
  // A disk image keeps them in DiskImage1; a split build has unpacked them into the install folder.
  for (bool split : {false, true}) {
    SCOPED_TRACE(split ? "split" : "disk image");
    InstallSession& s = Session("a10=Yes\r\na11=cleanup.exe\r\na18=app.ico\r\n");
    flags.splitFiles = split ? kOn : 0;
    s.PayloadDir = split ? "C:\\dist\\" : "C:\\dist\\DiskImage1\\";
    const std::string shipped = split ? "C:\\App\\" : "C:\\dist\\DiskImage1\\";
    fake.files.MakeFolders(shipped);
    for (const char* name : {"dovuvi.exe", "cleanup.exe", "app.ico"}) fake.files.WriteAll(shipped + name, name);
    RegisterUninstallProgram(s);
    RegisterUninstall(s);
    EXPECT_EQ(fake.files.ReadAll("C:\\windows\\dovuvi.exe").value_or(""), "dovuvi.exe");
    EXPECT_EQ(fake.files.ReadAll("C:\\windows\\Installer\\{P}\\cleanup.exe").value_or(""), "cleanup.exe");
    EXPECT_EQ(fake.files.ReadAll("C:\\App\\app.ico").value_or(""), "app.ico");
    EXPECT_EQ(Value("UninstallExecute").value_or(""), "C:\\App\\cleanup.exe");
    EXPECT_EQ(Value("DisplayIcon").value_or(""), "C:\\App\\app.ico");
    EXPECT_EQ(Log(), "RUN3RD=cleanup.exe\r\nRUN3RDCMD=\r\nFILE=C:\\App\\app.ico\r\n");
    s.CloseLog();  // the log is held open, and no held file can be deleted
    fake.files.Remove(s.LogPath);
    fake.files.Remove("C:\\windows\\dovuvi.exe");
  }
}

}  // namespace
}  // namespace tw
