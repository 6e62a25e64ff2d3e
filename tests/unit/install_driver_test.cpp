// A whole installation run over the fakes: the phases in order, the log, preview mode and the
// ways a run ends early.
#include "install/install_driver.h"

#include <algorithm>
#include <filesystem>

#include "../contract/test_cabinets.h"
#include "install/file_data.h"
#include "install_phase_fixture.h"
#include "uninstall/product_removal.h"

namespace tw {
namespace {

const std::string kSettings =
    "[APPINFO]\r\na1=Acme\r\na3={P}\r\n[REGISTRYKEYS]\r\nTOTAL=1\r\n0=HKEY_CURRENT_USER\\Software\\Acme\r\n"
    "[REGISTRY]\r\nTOTAL=1\r\nA0=HKEY_CURRENT_USER\\Software\\Acme\r\nB0=Path\r\nC0=<InstallDir>\r\nD0=String\r\n"
    "[NTSERVICE]\r\nTOTAL=1\r\nA0=AcmeSvc\r\nB0=Acme\r\nF0=<InstallDir>a.txt\r\n";

class InstallDriver : public InstallPhaseTest {
 protected:
  InstallDriver() {
    session.host.TempDir = system.tempFolder;
    session.host.WorkName = "tw1";
    session.host.ProductCode = session.placeholders.values.productCode = "{P}";
    session.placeholders.values.tempDir = system.tempFolder;
    session.placeholders.defaultInstallDir = "C:\\Program Files\\Acme\\";
    UseSettings(kSettings);
    files.WriteAll(session.host.DataInfPath,
                   "C:\\src\\a.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n"
                   "C:\\src\\b.txt\r\nDestination Computer\\<InstallDir>bin*0*0*0|\r\n");
    files.WriteAll(session.host.WorkDir + "F0_a.txt", "alpha");
    files.WriteAll(session.host.WorkDir + "F1_b.txt", "beta");
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

// For the user alone: registered with the user, the log and the uninstaller in the user's local
// application data, where the uninstaller finds it again and removes it.
TEST_F(InstallDriver, APerUserRunRegistersWithTheUserAndIsRemovedFromThere) {
  session.host.PerUser = true;
  files.WriteAll(session.host.WorkDir + "dovuvi.exe", "MZ");
  Run();
  const std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{P}";
  const std::string mine = "C:\\users\\tester\\AppData\\Local\\Tarnwick\\";
  EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, key));
  EXPECT_EQ(registry.ReadString(RegRoot::CurrentUser, key, "QuietUninstallString").value_or(""),
            "\"" + mine + "dovuvi.exe\" /S {P}");
  EXPECT_EQ(files.ReadAll(mine + "dovuvi.exe").value_or(""), "MZ");
  EXPECT_EQ(registry.ReadDword(RegRoot::CurrentUser, key, "EstimatedSize").value_or(0), 1u) << "9 bytes: one KB";
  EXPECT_NE(files.ReadAll(mine + "Installer\\{P}\\uninstall.log").value_or("").find("FILE="), std::string::npos);

  std::optional<InstalledProduct> product = FindInstalledProduct(platform, trace, "{P}");
  ASSERT_TRUE(product);
  EXPECT_EQ(product->root, RegRoot::CurrentUser);
  EXPECT_EQ(RemoveProduct(platform, trace, *product, nullptr).failed, 0);
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, key));
  EXPECT_FALSE(files.Exists("C:\\Program Files\\Acme\\a.txt"));
  EXPECT_FALSE(files.Exists(mine + "Installer\\{P}"));
}

// Another product's installation holds the machine: this one waits, saying so, and gives up after
// ten minutes with nothing changed.
TEST_F(InstallDriver, AnotherInstallationRunningHoldsThisOneBack) {
  shell.heldElsewhere.insert("Tarnwick-Installing");
  Run();
  EXPECT_EQ(flags.anotherRun.load(), kOn);
  EXPECT_FALSE(files.Exists("C:\\Program Files\\Acme\\a.txt"));
  EXPECT_EQ(shell.lockWaits.size(), 601u) << "once at once, then a second at a time for ten minutes";
  EXPECT_EQ(progress.statuses.front(), "Waiting for another installation to finish...");
  shell.heldElsewhere.clear();
  flags.anotherRun = 0;
  flags.cancelled = -1;
  flags.runFailed = 0;
  Run();
  EXPECT_TRUE(files.Exists("C:\\Program Files\\Acme\\a.txt")) << "once it is free";
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
  EXPECT_FALSE(files.Exists("C:\\Program Files\\Acme")) << "the data file is read, but no folder is made";
  EXPECT_FALSE(files.Exists("C:\\windows\\Installer\\{P}\\uninstall.prior"));
  EXPECT_EQ(progress.statuses.back(), "Finishing settings...");
  EXPECT_EQ(workFolderRemovals, 0);
}

TEST_F(InstallDriver, AMissingDataFileEndsTheRunWithTheEngineError) {
  files.Remove(session.host.DataInfPath);
  Run();
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text,
            "Error Number: 1\r\nMessage: LoadFileData() - Error\r\nThe system cannot find the file specified");
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
  faults.FailWhen(FsOp::Copy, "a.txt");
  Run();
  EXPECT_EQ(flags.cancelled, kOn);
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "Software\\Acme"));
  EXPECT_TRUE(services.attempts.empty());
  EXPECT_FALSE(registry.KeyExists(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{P}"));
  EXPECT_EQ(progress.statuses.end()[-2], "Please Wait, Copying Files...") << "then the changes are undone";
}

// The whole fake machine: every file with its content, every key and value, every service.
std::string Machine(FakeFileSystem& files, const FakeRegistry& registry, const FakeServices& services) {
  std::string state = registry.Dump();
  const std::filesystem::path root = files.HostPath("C:\\");
  std::vector<std::string> entries;
  for (auto it = std::filesystem::recursive_directory_iterator(root); it != std::filesystem::end(it); ++it) {
    std::string entry = std::filesystem::relative(it->path(), root).string();
    if (it->is_regular_file()) {
      const bool readOnly = files.Attributes("C:\\" + entry).value_or(0) & kAttrReadOnly;
      entry += (readOnly ? " (read-only)=" : "=") + files.ReadAll("C:\\" + entry).value_or("?");
    }
    entries.push_back(entry);
  }
  std::sort(entries.begin(), entries.end());
  for (const std::string& entry : entries) state += entry + "\n";
  for (const auto& [name, spec] : services.created)
    state += "service " + name + " " + spec.displayName + " " + std::to_string(spec.startType) + " " + spec.path + "\n";
  return state;
}

// A run that fails or is cancelled puts the machine back as it found it: a fresh install leaves
// nothing, a reinstall leaves the earlier installation (its log included) exactly as it was.
TEST_F(InstallDriver, AFailedOrCancelledRunPutsTheMachineBack) {
  enum Cause { kCopy, kService, kCancel };
  const struct {
    const char* name;
    bool reinstall;
    Cause cause;
    const char* at;  // the member whose copy fails, or the status the user cancels at
    bool planted = false;  // the user's a.txt, Path value, PATH and INI file are where the run writes
    bool denied = false;   // and Path cannot be written over
    int registryWrite = 0;  // the nth registry write fails (none when 0)
  } cases[] = {
      {"the first file", false, kCopy, "F0_a.txt"},
      {"a middle file", false, kCopy, "F1_b.txt"},
      {"the last file, which writes a.txt a second time", false, kCopy, "F3_a.txt"},
      {"the service, after the registry", false, kService, nullptr},
      {"the last file of a reinstall", true, kCopy, "F3_a.txt"},
      {"the service of a reinstall", true, kService, nullptr},
      {"the service, over the user's a.txt (written twice), value, PATH and INI file", false, kService, nullptr, true},
      {"the service, after a value it could not write", false, kService, nullptr, true, true},
      {"the service, after the first registry write failed", false, kService, nullptr, false, false, 1},
      {"the service, after the second registry write failed, over the user's", false, kService, nullptr, true, false, 2},
      {"a cancel while the files are copied", false, kCancel, "Please Wait, Copying Files..."},
      {"a cancel at the shortcuts", false, kCancel, "Please Wait, Creating Shortcuts..."},
      {"a cancel at the system settings", false, kCancel, "Please Wait, Setting system..."},
      {"a cancel at the services, over the user's", false, kCancel, "Installing Service...", true},
      {"a cancel at the services of a reinstall", true, kCancel, "Installing Service..."},
  };
  // Keys every Windows has.
  registry.CreateKey(RegRoot::CurrentUser, "Software");
  registry.CreateKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  files.WriteAll(session.host.DataInfPath, *files.ReadAll(session.host.DataInfPath) +
                                          "C:\\src\\c.txt\r\nDestination Computer\\<InstallDir>bin*0*0*0|\r\n"
                                          "C:\\src\\a.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n");
  files.WriteAll(session.host.WorkDir + "F2_c.txt", "gamma");
  files.WriteAll(session.host.WorkDir + "F3_a.txt", "alpha again");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    UseSettings(kSettings);
    session.IniFiles.clear();  // a real run has a session of its own
    flags.cancelled = -1;
    flags.cancelRequested = 0;
    if (c.reinstall) {
      Run();
      ASSERT_EQ(flags.cancelled, -1);
      // The user made the service start by itself since: a reinstall's update must give that back.
      services.created["acmesvc"].startType = 2;
    }
    if (c.planted) {
      files.MakeFolders("C:\\Program Files\\Acme");
      files.WriteAll("C:\\windows\\acme.ini", "[Mine]\r\nKeep=1\r\n");
      UseSettings(kSettings + "[INIINFO]\r\nTOTAL=1\r\nA0=INI Files\\acme.ini\r\nC0=C:\\windows\r\n"
                              "[INIDATA]\r\nTOTAL=1\r\nA0=INI Files\\acme.ini\\Acme\\Path\r\nC0=<InstallDir>\r\n"
                              "[ENVIRTW]\r\nTOTAL=1\r\nA0=PATH\r\nC0=<InstallDir>\r\nE0=Append\r\nG0=User\r\n");
      registry.CreateKey(RegRoot::CurrentUser, "Environment");
      registry.WriteString(RegRoot::CurrentUser, "Environment", "PATH", "C:\\Tools", true);
      files.WriteAll("C:\\Program Files\\Acme\\a.txt", "the user's");
      files.SetAttributes("C:\\Program Files\\Acme\\a.txt", kAttrReadOnly);
      registry.CreateKey(RegRoot::CurrentUser, "Software\\Acme");
      registry.WriteRawValue(RegRoot::CurrentUser, "Software\\Acme", "Path", {2, std::string("%HOME%\0", 7)});
    }
    if (c.denied) registry.Deny(RegRoot::CurrentUser, "Software\\Acme", RegAccess::Write);
    faults.ClearFailures();
    const std::string before = Machine(files, registry, services);
    ui.dialogResults = {FixedDialogs::kCancel};
    if (c.cause == kCopy) faults.FailWhen(FsOp::Copy, c.at);
    if (c.cause == kService) services.refusals = 1;
    if (c.registryWrite) registryFaults.FailWhen(RegOp::Write, "", c.registryWrite, kErrorAccessDenied);
    progress.onStatus = [&](const std::string& status) {
      // As the progress page's confirmed Cancel does.
      if (c.cause == kCancel && status == c.at) flags.cancelRequested = 1, flags.cancelled = kOn;
    };
    Run();
    EXPECT_EQ(flags.cancelled, kOn);
    EXPECT_EQ(Machine(files, registry, services), before);
    EXPECT_EQ(progress.statuses.back(), "Undoing the changes...");
    EXPECT_EQ(registryFaults.Fired(), c.registryWrite ? 1 : 0);
    if (c.cause == kCancel) {
      EXPECT_EQ(progress.statuses.end()[-2], c.at) << "no later phase ran";
    }
    // Start the next case from an empty machine again.
    progress.onStatus = nullptr;
    faults.ClearFailures();
    registryFaults.ClearFailures();
    services.refusals = 0;
    registry = BinaryRecordingRegistry();
    registry.CreateKey(RegRoot::CurrentUser, "Software");
    registry.CreateKey(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    files.RemoveTree("C:\\Program Files", LeftInUse::kStays);
    files.RemoveTree("C:\\windows\\Installer", LeftInUse::kStays);
    files.Remove("C:\\windows\\acme.ini");
    services.created.clear();
  }
}

// A file the run replaced goes back even when the run's own copy is held by a program: then as
// the machine next starts.
TEST_F(InstallDriver, AReplacedFileHeldOpenGoesBackAtTheNextStart) {
  files.MakeFolders("C:\\Program Files\\Acme");
  files.WriteAll("C:\\Program Files\\Acme\\a.txt", "the user's");
  services.refusals = 1;
  ui.dialogResults = {FixedDialogs::kCancel};
  progress.onStatus = [&](const std::string& status) {
    if (status == "Installing Service...") files.Hold("C:\\Program Files\\Acme\\a.txt", true);
  };
  Run();
  ASSERT_EQ(files.replaceAtRestart.size(), 1u);
  EXPECT_EQ(files.replaceAtRestart[0].second, "C:\\Program Files\\Acme\\a.txt");
  EXPECT_EQ(files.ReadAll(files.replaceAtRestart[0].first).value_or(""), "the user's");
}

TEST_F(InstallDriver, TheDiskImageAndSplitBuildsReadFromTheSetupFolder) {
  session.host.SetupDir = "C:\\dist\\";
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
  session.host.SetupDir = "C:\\dist\\";
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
    session.host.ProductCode = session.placeholders.values.productCode = code;
    Run();
    EXPECT_TRUE(files.Exists("C:\\Program Files\\Acme\\a.txt")) << "the product itself installs";
    EXPECT_EQ(files.ReadAll("C:\\windows\\Installer\\uninstall.log").value_or(""), "OTHER=product\r\n");
    EXPECT_FALSE(files.Exists("C:\\windows\\uninstall.log"));
    EXPECT_FALSE(files.Exists("C:\\Acme"));
    EXPECT_FALSE(registry.ReadString(RegRoot::LocalMachine, kUninstall, "DisplayName").has_value());
    EXPECT_FALSE(registry.ReadString(RegRoot::LocalMachine, std::string(kUninstall) + "\\..", "DisplayName").has_value());
  }
}

// A project installed into a folder the user already had, over a machine that holds the user's
// own files, values and association, then installed again (a retry, a repair), then removed: the
// machine ends exactly as it was, and nothing of the product stays.
class OwnershipRoundTrip : public InstallDriver {
 protected:
  OwnershipRoundTrip() {
    session.placeholders.values.installDir = "C:\\Games\\";
    UseSettings(
        "[APPINFO]\r\na1=Acme\r\na3={P}\r\na13=No\r\n"
        "[REGISTRYKEYS]\r\nTOTAL=2\r\n0=HKEY_CURRENT_USER\\Software\r\n1=HKEY_CURRENT_USER\\Software\\Acme\\Deep\r\n"
        "[REGISTRY]\r\nTOTAL=3\r\nA0=HKEY_CURRENT_USER\\Software\\Planted\r\nB0=Colour\r\nC0=red\r\nD0=String\r\n"
        "A1=HKEY_CURRENT_USER\\Software\\Acme\r\nB1=Path\r\nC1=<InstallDir>\r\nD1=String\r\n"
        "A2=HKEY_CURRENT_USER\\Software\\Planted\r\nB2=a\\b\r\nC2=ours\r\nD2=String\r\n"
        "[EXTTW]\r\nTOTAL=1\r\nB0=<InstallDir>a.txt\r\nC0=.txt\r\nD0=txtfile\r\nE0=Acme text\r\n"
        "[NTSERVICE]\r\nTOTAL=1\r\nA0=AcmeSvc\r\nB0=Acme\r\nF0=<InstallDir>a.txt\r\n");
    files.WriteAll(session.host.DataInfPath,
                   "C:\\src\\a.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n"
                   "C:\\src\\cfg.ini\r\nDestination Computer\\<InstallDir>*32*0*0|\r\n");
    files.WriteAll(session.host.WorkDir + "F1_cfg.ini", "packed");
    // The user's machine before the installation.
    files.MakeFolders("C:\\Games\\OtherGame");
    files.WriteAll("C:\\Games\\OtherGame\\save.dat", "level 9");
    files.WriteAll("C:\\Games\\cfg.ini", "user's");
    registry.CreateKey(RegRoot::CurrentUser, "Software\\Planted");
    registry.WriteRawValue(RegRoot::CurrentUser, "Software\\Planted", "Colour", {2, std::string("%BLUE%\0", 7)});
    // What the log's text of a value named "a\b" would also read as: the value "b" of a subkey "a".
    registry.CreateKey(RegRoot::CurrentUser, "Software\\Planted\\a");
    registry.WriteString(RegRoot::CurrentUser, "Software\\Planted\\a", "b", "theirs", false);
    registry.CreateKey(RegRoot::ClassesRoot, ".txt");
    registry.WriteString(RegRoot::ClassesRoot, ".txt", "", "txtfile", false);
    registry.CreateKey(RegRoot::ClassesRoot, "txtfile\\shell\\open\\command");
    registry.WriteString(RegRoot::ClassesRoot, "txtfile", "", "Text Document", false);
    registry.WriteString(RegRoot::ClassesRoot, "txtfile\\shell\\open\\command", "", "%SystemRoot%\\notepad.exe %1", true);
  }
  // Another run with a session of its own, as a second setup.exe would have.
  std::string InstallAgain() {
    InstallSession again{platform, flags, trace, dialogs, settings, progress};
    again.placeholders = session.placeholders;
    again.host.TempDir = session.host.TempDir;
    again.host.WorkName = session.host.WorkName;
    again.host.WorkDir = session.host.WorkDir;
    again.host.DataInfPath = session.host.DataInfPath;
    again.host.ProductCode = session.host.ProductCode;
    StartInstall(again, fileList);
    return Log();
  }
  std::optional<RegValue> Raw(RegRoot root, const std::string& key, const std::string& name = "") {
    return registry.ReadRawValue(root, key, name);
  }
};

TEST_F(OwnershipRoundTrip, AReinstallKeepsWhatTheProductMadeAndTheRemovalPutsTheRestBack) {
  const auto colour = Raw(RegRoot::CurrentUser, "Software\\Planted", "Colour");
  const auto txt = Raw(RegRoot::ClassesRoot, ".txt"), type = Raw(RegRoot::ClassesRoot, "txtfile");
  const auto command = Raw(RegRoot::ClassesRoot, "txtfile\\shell\\open\\command");
  Run();
  const std::string first = Log();
  EXPECT_EQ(first,
            "TOTALFILE=2\r\nREMOVEALL=Yes\r\nFILE=C:\\Games\\a.txt\r\n"
            "REGKEY=HKEY_CURRENT_USER\\Software\\Acme\r\nREGKEY=HKEY_CURRENT_USER\\Software\\Acme\\Deep\r\n"
            "REGVAL=HKEY_CURRENT_USER\\Software\\Planted\\Colour\r\nREGVAL=HKEY_CURRENT_USER\\Software\\Acme\\Path\r\n"
            "REGVAL=HKEY_CURRENT_USER\\Software\\Planted\\a\\b\r\nREGKEY=HKEY_CLASSES_ROOT\\txtfile\\DefaultIcon\r\n"
            "REGVAL=HKEY_CLASSES_ROOT\\.txt\\\r\nREGVAL=HKEY_CLASSES_ROOT\\txtfile\\\r\n"
            "REGVAL=HKEY_CLASSES_ROOT\\txtfile\\DefaultIcon\\\r\nREGVAL=HKEY_CLASSES_ROOT\\txtfile\\Shell\\Open\\Command\\\r\n"
            "NTSERVICE=AcmeSvc\r\n")
      << "neither the folder, the kept file, the keys nor the association it found";
  EXPECT_EQ(files.ReadAll("C:\\Games\\cfg.ini").value_or(""), "user's");
  EXPECT_EQ(registry.ReadString(RegRoot::ClassesRoot, ".txt", "").value_or(""), "txtfile");
  EXPECT_EQ(registry.ReadString(RegRoot::ClassesRoot, "txtfile", "").value_or(""), "Acme text");

  EXPECT_EQ(InstallAgain(), first) << "the same run again owns the same things";
  EXPECT_EQ(flags.cancelled.load(), -1) << "the product's own service is updated, not refused";
  EXPECT_EQ(services.updates.size(), 1u);

  std::optional<InstalledProduct> product = FindInstalledProduct(platform, trace, "{P}");
  ASSERT_TRUE(product);
  ReversalOutcome outcome = RemoveProduct(platform, trace, *product, nullptr);
  EXPECT_EQ(outcome.refused + outcome.failed, 0);
  EXPECT_EQ(files.ReadAll("C:\\Games\\OtherGame\\save.dat").value_or(""), "level 9") << "remove-all stays in its folder";
  EXPECT_EQ(files.ReadAll("C:\\Games\\cfg.ini").value_or(""), "user's");
  EXPECT_FALSE(files.Exists("C:\\Games\\a.txt"));
  EXPECT_EQ(Raw(RegRoot::CurrentUser, "Software\\Planted", "Colour"), colour) << "type and bytes as they were";
  EXPECT_FALSE(Raw(RegRoot::CurrentUser, "Software\\Planted", "a\\b")) << "a name with a backslash is one name";
  EXPECT_EQ(registry.ReadString(RegRoot::CurrentUser, "Software\\Planted\\a", "b").value_or(""), "theirs");
  EXPECT_EQ(Raw(RegRoot::ClassesRoot, ".txt"), txt);
  EXPECT_EQ(Raw(RegRoot::ClassesRoot, "txtfile"), type);
  EXPECT_EQ(Raw(RegRoot::ClassesRoot, "txtfile\\shell\\open\\command"), command);
  EXPECT_FALSE(registry.KeyExists(RegRoot::ClassesRoot, "txtfile\\DefaultIcon")) << "made by the installation";
  EXPECT_FALSE(registry.KeyExists(RegRoot::CurrentUser, "Software\\Acme"));
  EXPECT_TRUE(registry.KeyExists(RegRoot::CurrentUser, "Software"));
  EXPECT_TRUE(services.created.empty());
}

// A log without its record file was written by an engine that logged whatever it touched: its
// claims on the user's folder are not carried into the new log.
TEST_F(OwnershipRoundTrip, AnOlderLogWithoutItsRecordIsNotTrusted) {
  files.MakeFolders("C:\\windows\\Installer\\{P}");
  files.WriteAll("C:\\windows\\Installer\\{P}\\uninstall.log", "TOTALFILE=1\r\nDIR=C:\\Games\\\r\n");
  Run();
  EXPECT_EQ(Log().find("DIR="), std::string::npos) << Log();
}

// A run that fails half-way still names in its log what the earlier installation made.
TEST_F(OwnershipRoundTrip, ARunThatStopsEarlyStillLogsWhatTheEarlierOneMade) {
  Run();
  faults.FailWhen(FsOp::Copy, "F0_a.txt");
  ui.dialogResults.assign({FixedDialogs::kCancel});
  const std::string log = InstallAgain();
  for (const char* entry : {"FILE=C:\\Games\\a.txt", "REGKEY=HKEY_CURRENT_USER\\Software\\Acme\\Deep", "NTSERVICE=AcmeSvc"})
    EXPECT_NE(log.find(entry), std::string::npos) << entry << " in " << log;
}

// The same product installed again into another folder: "remove all" empties only the folder of
// the last installation, and the first folder loses only what the product put there.
TEST_F(OwnershipRoundTrip, RemoveAllReachesOnlyTheFolderTheLastInstallationMade) {
  session.placeholders.values.installDir = "C:\\First\\";
  Run();
  files.WriteAll("C:\\First\\notes.txt", "the user's");
  session.placeholders.values.installDir = "C:\\Second\\";
  InstallAgain();
  files.WriteAll("C:\\Second\\made-by-the-program.dat", "x");
  std::optional<InstalledProduct> product = FindInstalledProduct(platform, trace, "{P}");
  ASSERT_TRUE(product);
  RemoveProduct(platform, trace, *product, nullptr);
  EXPECT_FALSE(files.Exists("C:\\Second")) << "remove all";
  EXPECT_FALSE(files.Exists("C:\\First\\a.txt")) << "the first installation's file";
  EXPECT_EQ(files.ReadAll("C:\\First\\notes.txt").value_or(""), "the user's");
}

}  // namespace
}  // namespace tw
