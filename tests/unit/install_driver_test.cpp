// A whole installation run over the fakes: the phases in order, the log, preview mode and the
// ways a run ends early.
#include "install/install_driver.h"

#include "../contract/test_cabinets.h"
#include "install/file_data.h"
#include "install_phase_fixture.h"

namespace tw {
namespace {

class InstallDriver : public InstallPhaseTest {
 protected:
  InstallDriver() {
    session.TempDir = system.tempFolder;
    session.WorkName = "tw1";
    session.ProductCode = session.placeholders.values.productCode = "{P}";
    session.placeholders.values.tempDir = system.tempFolder;
    session.placeholders.defaultInstallDir = "C:\\Program Files\\Acme\\";
    UseSettings("[APPINFO]\r\na1=Acme\r\na3={P}\r\n[REGISTRYKEYS]\r\nTOTAL=1\r\n0=HKEY_CURRENT_USER\\Software\\Acme\r\n"
                "[REGISTRY]\r\nTOTAL=1\r\nA0=HKEY_CURRENT_USER\\Software\\Acme\r\nB0=Path\r\nC0=<InstallDir>\r\nD0=String\r\n"
                "[NTSERVICE]\r\nTOTAL=1\r\nA0=AcmeSvc\r\nB0=Acme\r\nF0=<InstallDir>a.txt\r\n");
    files.WriteAll(session.DataInfPath,
                   "C:\\src\\a.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n"
                   "C:\\src\\b.txt\r\nDestination Computer\\<InstallDir>bin*0*0*0|\r\n");
    files.WriteAll(session.WorkDir + "F0_a.txt", "alpha");
    files.WriteAll(session.WorkDir + "F1_b.txt", "beta");
  }
  void Run() { StartInstall(session, fileList); }
  std::vector<FileEntry> fileList;
};

TEST_F(InstallDriver, AWholeRunInstallsLogsAndRegisters) {
  files.MakeFolders("C:\\windows\\Installer\\{P}");
  files.WriteAll("C:\\windows\\Installer\\{P}\\uninstall.log", "OLD=entry\r\n");
  Run();
  EXPECT_EQ(files.ReadAll("C:\\Program Files\\Acme\\a.txt").value_or(""), "alpha");
  EXPECT_EQ(files.ReadAll("C:\\Program Files\\Acme\\bin\\b.txt").value_or(""), "beta");
  EXPECT_EQ(registry.ReadString(RegRoot::CurrentUser, "Software\\Acme", "Path").value_or(""), "C:\\Program Files\\Acme\\");
  EXPECT_TRUE(registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{P}"));
  EXPECT_EQ(Log(),
            "TOTALFILE=2\r\nDIR=C:\\Program Files\\Acme\\\r\nDIR=C:\\Program Files\r\nDIR=C:\\Program Files\\Acme\\\r\n"
            "DIR=C:\\Program Files\\Acme\\bin\r\nFILE=C:\\Program Files\\Acme\\a.txt\r\n"
            "FILE=C:\\Program Files\\Acme\\bin\\b.txt\r\nREGKEY=HKEY_CURRENT_USER\\Software\\Acme\r\n"
            "REGVAL=HKEY_CURRENT_USER\\Software\\Acme\\Path\r\nNTSERVICE=AcmeSvc\r\n")
      << "a fresh log, in the order the changes were made";
  EXPECT_EQ(progress.statuses,
            (std::vector<std::string>{"Loading data information...", "Creating directories...",
                                      "Please Wait, Copying Files...", "Please Wait, Creating Shortcuts...",
                                      "Please Wait, Setting system...", "Installing Service...",
                                      "Finishing settings...", "Removing temporary files..."}));
  EXPECT_EQ(progress.range, 2);
  EXPECT_EQ(progress.positions.back(), 2) << "the bar ends full";
  EXPECT_EQ(workFolderRemovals, 1);
  EXPECT_EQ(flags.cancelled, -1);
}

TEST_F(InstallDriver, PreviewWalksThePhasesWithoutChangingTheMachine) {
  files.MakeFolders("C:\\windows\\Installer\\{P}");
  files.WriteAll("C:\\windows\\Installer\\{P}\\uninstall.log", "FILE=C:\\Program Files\\Acme\\a.txt\r\n");
  flags.previewMode = kOn;
  Run();
  EXPECT_FALSE(files.Exists("C:\\Program Files\\Acme\\a.txt"));
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "Software\\Acme"));
  EXPECT_TRUE(services.attempts.empty()) << "no service: nothing would remove it again";
  EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{P}"));
  EXPECT_EQ(Log(), "FILE=C:\\Program Files\\Acme\\a.txt\r\n") << "the installed product's log stays as it is";
  EXPECT_TRUE(files.Exists("C:\\Program Files\\Acme\\bin")) << "the data file is still read and its folders made";
  EXPECT_EQ(progress.statuses.back(), "Finishing settings...");
  EXPECT_EQ(workFolderRemovals, 0);
}

TEST_F(InstallDriver, AMissingDataFileEndsTheRunWithTheEngineError) {
  files.Remove(session.DataInfPath);
  Run();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "Error Number: 1\r\nMessage: LoadFileData() - Error");
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "Software\\Acme"));
  EXPECT_EQ(progress.positions.back(), 0) << "still left at the total, which is 0";
  EXPECT_EQ(flags.cancelled, kOn) << "the wizard shows the run as aborted";
  EXPECT_EQ(flags.runFailed, kOn) << "and the process ends as failed";
}

TEST_F(InstallDriver, AThreadThatCannotUseTheShellEndsAtOnce) {
  shell.threadsPrepare = false;
  Run();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text.rfind("Error Number: 0\r\nMessage: Iniciar() - Tarnwick Can't CO-INITIALIZE", 0), 0u);
  EXPECT_EQ(Log(), "");
  EXPECT_EQ(flags.cancelled, kOn);
  EXPECT_EQ(flags.runFailed, kOn);
}

TEST_F(InstallDriver, ACancelledCopyLeavesTheLaterPhasesOut) {
  ui.dialogResults = {FixedDialogs::kCancel};
  files.FailWhen(FsOp::Copy, "a.txt");
  Run();
  EXPECT_EQ(flags.cancelled, kOn);
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "Software\\Acme"));
  EXPECT_TRUE(services.attempts.empty());
  EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{P}"));
  EXPECT_EQ(progress.statuses.back(), "Please Wait, Copying Files...");
}

TEST_F(InstallDriver, TheDiskImageAndSplitBuildsReadFromTheSetupFolder) {
  session.SetupDir = "C:\\dist\\";
  flags.useDiskImages = kOn;
  flags.previewMode = kOn;
  Run();
  EXPECT_EQ(session.PayloadDir, "C:\\dist\\DiskImage1\\");
  flags.splitFiles = kOn;
  flags.previewMode = 0;
  Run();
  EXPECT_EQ(session.PayloadDir, "C:\\dist\\");
  EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{P}"))
      << "a split build without its cabinet ends after the copy phase";
  EXPECT_EQ(flags.cancelled, kOn) << "and the wizard shows it as aborted";
  EXPECT_EQ(workFolderRemovals, 1);
}

// A split build unpacks its cabinets straight into the install folder; a preview of it must not.
TEST_F(InstallDriver, APreviewOfASplitBuildUnpacksNothingIntoTheInstallFolder) {
  files.MakeFolders("C:\\dist");
  files.WriteAll("C:\\dist\\file1.cab", test_cabinets::MsZipCabinet());
  session.SetupDir = "C:\\dist\\";
  flags.useDiskImages = flags.splitFiles = kOn;
  for (int preview : {kOn, 0}) {
    SCOPED_TRACE(preview);
    flags.previewMode = preview;
    Run();
    EXPECT_EQ(files.Exists("C:\\Program Files\\Acme\\F0_readme.txt"), preview != kOn);
    EXPECT_EQ(files.Exists("C:\\Program Files\\Acme\\logo.bmp"), preview != kOn);
    EXPECT_EQ(flags.cancelled, -1);
    EXPECT_EQ(progress.statuses.back(), preview == kOn ? "Finishing settings..." : "Removing temporary files...");
  }
}

TEST_F(InstallDriver, WithoutAProductCodeOfItsOwnThereIsNoLogAndNoRegistration) {
  const char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  files.MakeFolders("C:\\windows\\Installer");
  for (const char* code : {"", "..", "..\\..\\Acme", "a/b"}) {
    SCOPED_TRACE(code);
    files.WriteAll("C:\\windows\\Installer\\uninstall.log", "OTHER=product\r\n");
    UseSettings(std::string("[APPINFO]\r\na1=Acme\r\na3=") + code + "\r\na10=Yes\r\n");
    session.ProductCode = session.placeholders.values.productCode = code;
    Run();
    EXPECT_TRUE(files.Exists("C:\\Program Files\\Acme\\a.txt")) << "the product itself installs";
    EXPECT_EQ(files.ReadAll("C:\\windows\\Installer\\uninstall.log").value_or(""), "OTHER=product\r\n");
    EXPECT_FALSE(files.Exists("C:\\windows\\uninstall.log"));
    EXPECT_FALSE(files.Exists("C:\\Acme"));
    EXPECT_FALSE(registry.ReadString(RegRoot::LocalMachine, kUninstall, "DisplayName").has_value());
    EXPECT_FALSE(registry.ReadString(RegRoot::LocalMachine, std::string(kUninstall) + "\\..", "DisplayName").has_value());
  }
}

}  // namespace
}  // namespace tw
