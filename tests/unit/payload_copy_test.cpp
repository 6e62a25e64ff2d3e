// The copy loop over fake files: filters, overwrite rules, the retry dialog and its aborts, the
// library version gate, text expansion, URL entries and the log a run leaves.
#include "install/payload_copy.h"

#include <algorithm>
#include <filesystem>

#include "../contract/test_cabinets.h"
#include "install_phase_fixture.h"

namespace tw {
namespace {

namespace tc = test_cabinets;
const char kApp[] = "C:\\Program Files\\Acme\\";

class PayloadCopyTest : public InstallPhaseTest {
 protected:
  PayloadCopyTest() {
    files.MakeFolders(kApp);
    files.MakeFolders(session.LogDir);
  }
  void Payload(int index, const std::string& name, const std::string& content) {
    files.WriteAll(session.PayloadDir + "F" + std::to_string(index) + "_" + name, content);
  }
  // One record per "name|record" pair.
  static std::vector<FileEntry> List(std::initializer_list<std::pair<const char*, const char*>> records) {
    std::vector<FileEntry> list;
    for (const auto& [name, record] : records) list.push_back(ParseFileEntry(std::string("C:\\proj\\") + name, record));
    return list;
  }
  std::string At(const std::string& name) { return kApp + name; }
  bool ReadOnly(const std::string& path) { return files.Attributes(path).value_or(0) & kAttrReadOnly; }
};

TEST_F(PayloadCopyTest, ARunLogsEachFileInOrderAndKeepsIndices) {
  files.WriteAll(session.host.DataInfPath,
                 "C:\\proj\\app.exe\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n"
                 "C:\\proj\\old98.dll\r\nDestination Computer\\<InstallDir>*0*2*0|\r\n"
                 "C:\\proj\\keep.dll\r\nDestination Computer\\<InstallDir>\\lib\\*64*0*0|\r\n"
                 "C:\\proj\\extra.ocx\r\nDestination Computer\\<InstallDir>\\lib*132*0*0||Extras|\r\n"
                 "C:\\proj\\guide.chm\r\nDestination Computer\\<InstallDir>\\docs*132*0*0|Docs\r\n");
  session.host.Features.Add("Extras", kFeatureInstall);
  session.host.Features.Add("Docs", kFeatureSkip);
  Payload(0, "app.exe", "A");
  Payload(2, "keep.dll", "K");
  Payload(3, "extra.ocx", "X");
  std::vector<FileEntry> fileList;
  ASSERT_TRUE(LoadFileData(session, fileList));

  EXPECT_TRUE(CopyPayloadFiles(session, fileList));

  EXPECT_EQ(Log(),
            "TOTALFILE=5\r\n"
            "DIR=C:\\Program Files\\Acme\\lib\r\n"
            "FILE=C:\\Program Files\\Acme\\app.exe\r\n"
            "FILE=C:\\Program Files\\Acme\\lib\\extra.ocx\r\n")
      << "the install folder was there already; a switched-off feature brings neither its folder nor its file";
  EXPECT_EQ(files.ReadAll(At("app.exe")).value_or(""), "A");
  EXPECT_FALSE(files.Exists(At("old98.dll"))) << "a file for another system is skipped";
  EXPECT_EQ(files.ReadAll(At("lib\\keep.dll")).value_or(""), "K") << "index 2 still names F2_";
  EXPECT_FALSE(files.Exists(At("docs"))) << "its feature is off";
  EXPECT_EQ(progress.positions, (std::vector<int>{0, 1, 2, 3, 4}));
  ASSERT_EQ(shell.started.size(), 1u) << "only the installed library registers itself";
  EXPECT_EQ(shell.started[0].program, "C:\\windows\\system32\\regsvr32.exe");
  EXPECT_EQ(shell.started[0].commandLine, "regsvr32.exe /s \"C:\\Program Files\\Acme\\lib\\extra.ocx\"");
  ASSERT_EQ(files.attributeCalls.size(), 1u);
  EXPECT_EQ(files.attributeCalls[0].second & kAttrHidden, kAttrHidden);
}

// The user's own file, kept, is not the product's: the uninstaller must never take it. One that an
// earlier installation of the product wrote stays the product's.
TEST_F(PayloadCopyTest, NeverOverwriteKeepsAnExistingFileOutOfTheLog) {
  Payload(0, "cfg.ini", "new");
  Payload(1, "fresh.ini", "new");
  files.WriteAll(At("cfg.ini"), "user's");
  const auto list = List({{"cfg.ini", "<InstallDir>*32*0*0|"}, {"fresh.ini", "<InstallDir>*32*0*0|"}});
  EXPECT_TRUE(CopyPayloadFiles(session, list));
  EXPECT_EQ(files.ReadAll(At("cfg.ini")).value_or(""), "user's");
  EXPECT_EQ(files.ReadAll(At("fresh.ini")).value_or(""), "new");
  EXPECT_EQ(Log(), "FILE=C:\\Program Files\\Acme\\fresh.ini\r\n");

  session.CloseLog();
  files.Remove(session.LogPath);
  session.Earlier.index = {OwnershipKey("FILE", At("CFG.INI")), OwnershipKey("FILE", At("fresh.ini"))};
  EXPECT_TRUE(CopyPayloadFiles(session, list));
  EXPECT_EQ(Log(), "FILE=C:\\Program Files\\Acme\\cfg.ini\r\nFILE=C:\\Program Files\\Acme\\fresh.ini\r\n");
}

TEST_F(PayloadCopyTest, AReadOnlyFileIsReplacedAndEndsAsItsFlagsSay) {
  for (int flags : {0, 1, 2}) {
    SCOPED_TRACE(flags);
    Payload(0, "ro.txt", "new");
    files.WriteAll(At("ro.txt"), "old");
    files.SetAttributes(At("ro.txt"), kAttrReadOnly);
    EXPECT_TRUE(CopyPayloadFiles(session, List({{"ro.txt", ("<InstallDir>*" + std::to_string(flags) + "*0*0|").c_str()}})));
    EXPECT_EQ(files.ReadAll(At("ro.txt")).value_or(""), "new");
    EXPECT_EQ(ReadOnly(At("ro.txt")), flags != 0);
    files.SetAttributes(At("ro.txt"), kAttrNormal);
  }
  EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(PayloadCopyTest, RetryIgnoreAndCancel) {
  struct Case {
    std::vector<int> answers;
    bool goesOn;
    bool copied;
    const char* log;
  } cases[] = {
      {{FixedDialogs::kRetry}, true, true, "FILE=C:\\Program Files\\Acme\\a.txt\r\nFILE=C:\\Program Files\\Acme\\b.txt\r\n"},
      {{FixedDialogs::kIgnore}, true, false, "FILE=C:\\Program Files\\Acme\\b.txt\r\n"},  // nothing of ours at a.txt
      {{FixedDialogs::kCancel}, false, false, ""},
      {{0}, true, false, "FILE=C:\\Program Files\\Acme\\b.txt\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers[0]);
    session.CloseLog();  // the run keeps its log open
    files.Remove(session.LogPath);
    files.Remove(At("a.txt"));
    files.Remove(At("b.txt"));
    ui.dialogs.clear();
    flags.cancelled = -1;
    workFolderRemovals = 0;
    faults.ClearFailures();
    faults.FailWhen(FsOp::Copy, "F0_a.txt", 1);
    ui.dialogResults.assign(c.answers.begin(), c.answers.end());
    Payload(0, "a.txt", "a");
    Payload(1, "b.txt", "b");

    EXPECT_EQ(CopyPayloadFiles(session, List({{"a.txt", "<InstallDir>*0*0*0|"}, {"b.txt", "<InstallDir>*0*0*0|"}})), c.goesOn);
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].text.value_or(""),
              "Tarnwick can't copy the file:\r\nC:\\Program Files\\Acme\\a.txt\r\nWhat you would like to do ?\r\n"
              "Access is denied")
        << "the system's reason on a line below the message";
    EXPECT_TRUE(ui.dialogs[0].buttons[0].visible) << "Retry is offered";
    EXPECT_EQ(files.Exists(At("a.txt")), c.copied);
    EXPECT_EQ(files.Exists(At("b.txt")), c.goesOn);
    EXPECT_EQ(Log(), c.log);
    EXPECT_EQ(workFolderRemovals, c.goesOn ? 0 : 1);
    EXPECT_EQ(flags.cancelled.load(), c.goesOn ? -1 : kOn);
  }
}

TEST_F(PayloadCopyTest, ACriticalFileThatFailsAbortsWithoutChoice) {
  Payload(0, "core.dll", "c");
  Payload(1, "next.txt", "n");
  faults.FailWhen(FsOp::Copy, "F0_core.dll", 0, kErrorDiskFull);
  EXPECT_FALSE(CopyPayloadFiles(session, List({{"core.dll", "<InstallDir>*16*0*0|"}, {"next.txt", "<InstallDir>*0*0*0|"}})));
  ASSERT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(ui.dialogs[0].text.value_or(""),
            "Tarnwick will abort installation, the file:\r\nC:\\Program Files\\Acme\\core.dll\r\nCan't be installed.\r\n"
            "There is not enough space on the disk");
  EXPECT_FALSE(ui.dialogs[0].buttons[0].visible) << "no Retry";
  EXPECT_FALSE(ui.dialogs[0].buttons[1].visible) << "no Ignore";
  EXPECT_EQ(workFolderRemovals, 1);
  EXPECT_EQ(flags.cancelled.load(), kOn);
  EXPECT_FALSE(files.Exists(At("next.txt")));
  EXPECT_EQ(Log(), "");
}

// A scanner holding a new file lets go within a second: the copy waits for it, on the clock the
// platform keeps, before the user is troubled.
TEST_F(PayloadCopyTest, AFileHeldForAMomentIsTriedAgainBeforeTheUserIsAsked) {
  struct Case {
    int holds;  // failed tries before the file is let go; 0: never
    uint32_t error;
    size_t dialogs;
    uint64_t pausedMs;
  } cases[] = {
      {2, kErrorSharingViolation, 0, 400},
      {1, kErrorLockViolation, 0, 200},
      {0, kErrorSharingViolation, 1, 1000},
      {0, kErrorAccessDenied, 1, 0},  // no program lets go of a refusal
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.holds);
    ui.dialogs.clear();
    system.paused.ms = 0;
    faults.ClearFailures();
    files.Remove(At("a.txt"));
    faults.FailWhen(FsOp::Copy, "F0_a.txt", -c.holds, c.error);
    ui.dialogResults = {FixedDialogs::kIgnore};
    Payload(0, "a.txt", "a");
    EXPECT_TRUE(CopyPayloadFiles(session, List({{"a.txt", "<InstallDir>*0*0*0|"}})));
    ASSERT_EQ(ui.dialogs.size(), c.dialogs);
    EXPECT_EQ(files.Exists(At("a.txt")), c.dialogs == 0);
    EXPECT_EQ(system.paused.ms.load(), c.pausedMs);
    if (c.dialogs) {
      EXPECT_EQ(ui.dialogs[0].text->substr(ui.dialogs[0].text->rfind('\n') + 1), system.ErrorText({c.error}));
    }
  }
}

TEST_F(PayloadCopyTest, ACancelRequestStopsBeforeTheNextFile) {
  Payload(0, "a.txt", "a");
  flags.cancelRequested = 1;
  EXPECT_FALSE(CopyPayloadFiles(session, List({{"a.txt", "<InstallDir>*0*0*0|"}})));
  EXPECT_FALSE(files.Exists(At("a.txt")));
  EXPECT_EQ(Log(), "");
}

TEST_F(PayloadCopyTest, NamesThatLeaveTheirFolderAreRefused) {
  Payload(0, "..", "x");
  Payload(2, "nul.txt", "x");
  Payload(3, "COM1", "x");
  EXPECT_TRUE(CopyPayloadFiles(session, List({{"..", "<InstallDir>*0*0*0|"},
                                              {"sub\\ ..", "<InstallDir>*0*0*0|"},
                                              {"nul.txt", "<InstallDir>*0*0*0|"},
                                              {"COM1", "<InstallDir>*0*0*0|"}})));
  EXPECT_EQ(Log(), "") << "a device name would open the device, in any folder";
  EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(PayloadCopyTest, ALibraryIsReplacedOnlyByAGreaterVersion) {
  struct Case {
    const char* packed;
    const char* installed;
    bool replaced;
  } cases[] = {
      {"2.5.0.0", "2.4.9.9", true}, {"2,5,0,0", "2.4", true},  {"2.4.1", "2.4.0", true},
      {"2.4", "2.5", false},        {"3.0", "", true},          {"", "1.0", false},
      {"10.0", "9.9", true},        {"2.4.0.7", "2.4.0.6", true}, {"2.4.0.0", "2.4", false},
      {"1, 2, 3, 5", "1.2.3.4", true}, {"1.2.3.4", "1.2.3.10", false},
  };
  int fileNumber = 0;
  for (const char* extension : {".dll", ".OCX"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(extension) + " " + c.packed + " over " + c.installed);
      std::string name = std::to_string(++fileNumber) + extension;
      std::string source = session.host.WorkDir + name, destination = At(name);
      files.WriteAll(source, "packed");
      files.WriteAll(destination, "installed");
      files.SetFileVersion(source, c.packed);
      if (*c.installed) files.SetFileVersion(destination, c.installed);
      EXPECT_EQ(ShouldReplace(files, source, destination), c.replaced);
      files.Remove(destination);
      EXPECT_TRUE(ShouldReplace(files, source, destination)) << "nothing installed yet";
    }
  }
  files.WriteAll(At("app.exe"), "installed");
  files.SetFileVersion(At("app.exe"), "9.0");
  EXPECT_TRUE(ShouldReplace(files, session.host.WorkDir + "app.exe", At("app.exe"))) << "only libraries are gated";
}

TEST_F(PayloadCopyTest, ALibraryTheVersionGateKeepsIsNotTheProducts) {
  Payload(0, "lib.dll", "packed");
  files.SetFileVersion(session.PayloadDir + "F0_lib.dll", "1.0");
  files.WriteAll(At("lib.dll"), "installed");
  files.SetFileVersion(At("lib.dll"), "1.0");
  EXPECT_TRUE(CopyPayloadFiles(session, List({{"lib.dll", "<InstallDir>*0*0*0|"}})));
  EXPECT_EQ(files.ReadAll(At("lib.dll")).value_or(""), "installed");
  EXPECT_EQ(Log(), "") << "a shared library the product found stays when the product goes";
}

TEST(CompareFileVersions, ComparesAllFourPartsAsNumbers) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  } cases[] = {
      {"1,2,3,4", "1.2.9.9", -1}, {"1.2", "1.3", -1}, {"2", "1.99", 1},     {"", "0.0", 0},
      {"abc", "0", 0},           {" 3.1", "3.05", -1}, {"1.10", "1.9", 1},  // numbers, not decimals
      {"1.2.3.4", "1, 2, 3, 4", 0}, {"1.2.3.10", "1.2.3.9", 1}, {"1.2.0.0", "1.2", 0},
      {"5.0.1.0 (build lab)", "5.0.0.9", 1}, {"1.2.3.4.9", "1.2.3.4", 0},  // a fifth part means nothing
  };
  for (const auto& c : cases) {
    int result = CompareFileVersions(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
  }
}

TEST_F(PayloadCopyTest, TextFilesAreExpandedIntoTheWorkFolder) {
  session.PayloadDir = "D:\\DiskImage1\\";
  files.MakeFolders("D:\\DiskImage1");
  files.WriteAll("D:\\DiskImage1\\F0_readme.txt", "Thanks for <ProductName>.");
  EXPECT_TRUE(CopyPayloadFiles(session, List({{"readme.txt", "<InstallDir>*256*0*0|"}})));
  EXPECT_EQ(files.ReadAll(At("readme.txt")).value_or(""), "Thanks for Acme.");
  EXPECT_EQ(files.ReadAll(session.host.WorkDir + "F0_readme.txt2").value_or(""), "Thanks for Acme.");
  EXPECT_EQ(files.ReadAll("D:\\DiskImage1\\F0_readme.txt").value_or(""), "Thanks for <ProductName>.");
  EXPECT_FALSE(files.Exists("D:\\DiskImage1\\F0_readme.txt2"));
}

// An expanded text file keeps its code page while every character fits, and a marked UTF-8 file
// stays marked UTF-8.
TEST_F(PayloadCopyTest, ExpandedTextKeepsTheFormItCameIn) {
  session.PayloadDir = "D:\\DiskImage1\\";
  files.MakeFolders("D:\\DiskImage1");
  const struct {
    std::string product, source, expanded;
  } cases[] = {
      {"Café", "\xA9 <ProductName>", "\xA9 Caf\xE9"},
      {"日本", "\xA9 <ProductName>", "\xEF\xBB\xBF© 日本"},
      {"Café", "\xEF\xBB\xBF© <ProductName>", "\xEF\xBB\xBF© Café"},
  };
  for (const auto& c : cases) {
    session.placeholders.values.productName = c.product;
    files.WriteAll("D:\\DiskImage1\\F0_readme.txt", c.source);
    EXPECT_TRUE(CopyPayloadFiles(session, List({{"readme.txt", "<InstallDir>*256*0*0|"}})));
    EXPECT_EQ(files.ReadAll(At("readme.txt")).value_or(""), c.expanded) << c.product;
  }
}

TEST_F(PayloadCopyTest, UrlEntriesGoToTheDownloaderWithTheDownloadBar) {
  std::vector<FileEntry> list = {ParseFileEntry("http://example.com/dl/tool.zip{HasNet}", "<InstallDir>*0*0*0|")};
  EXPECT_TRUE(CopyPayloadFiles(session, list)) << "without a downloader the entry is skipped";
  EXPECT_TRUE(progress.downloadBar.empty());

  std::vector<std::pair<std::string, std::string>> fetched;
  auto download = [&](const std::string& url, const std::string& target) {
    fetched.emplace_back(url, target);
    flags.cancelRequested = 1;
    return DownloadOutcome::kCancelled;
  };
  EXPECT_FALSE(CopyPayloadFiles(session, list, download)) << "a cancel during a download stops the loop";
  EXPECT_EQ(fetched, (std::vector<std::pair<std::string, std::string>>{
                         {"http://example.com/dl/tool.zip", "C:\\Program Files\\Acme\\tool.zip"}}));
  EXPECT_EQ(progress.downloadBar, (std::vector<bool>{true, false}));
}

TEST_F(PayloadCopyTest, OnlyACompletedDownloadIsLoggedAndGetsItsAttributes) {
  struct Case {
    DownloadOutcome::Result result;
    int flags;
    bool goesOn;
    const char* log;
  } cases[] = {
      {DownloadOutcome::kCompleted, 4, true, "FILE=C:\\Program Files\\Acme\\web\\tool.zip\r\nFILE=C:\\Program Files\\Acme\\b.txt\r\n"},
      {DownloadOutcome::kFailed, 4, true, "FILE=C:\\Program Files\\Acme\\b.txt\r\n"},
      {DownloadOutcome::kFailed, 4 | 16, false, ""},
      {DownloadOutcome::kCancelled, 4, false, ""},
  };
  files.MakeFolders(At("web"));
  Payload(1, "b.txt", "b");
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.result) + " flags " + std::to_string(c.flags));
    session.CloseLog();  // the run keeps its log open
    files.Remove(session.LogPath);
    files.attributeCalls.clear();
    ui.dialogs.clear();
    flags.cancelled = -1;
    std::vector<std::string> targets;
    auto download = [&](const std::string&, const std::string& target) {
      targets.push_back(target);
      if (c.result == DownloadOutcome::kCompleted) files.WriteAll(target, "zip");
      return c.result;
    };
    // The condition suffix and a folder written without its backslash still name web\tool.zip.
    std::vector<FileEntry> list = {
        ParseFileEntry("http://example.com/dl/tool.zip{HasNet}", "<InstallDir>web*" + std::to_string(c.flags) + "*0*0|"),
        ParseFileEntry("C:\\proj\\b.txt", "<InstallDir>*0*0*0|")};

    EXPECT_EQ(CopyPayloadFiles(session, list, download), c.goesOn);
    EXPECT_EQ(targets, std::vector<std::string>{At("web\\tool.zip")});
    EXPECT_EQ(Log(), c.log);
    EXPECT_EQ(files.attributeCalls.empty(), c.result != DownloadOutcome::kCompleted) << "attributes only on a real file";
    bool abortDialog = (c.flags & 16) != 0;
    ASSERT_EQ(ui.dialogs.size(), abortDialog ? 1u : 0u);
    if (abortDialog) {
      EXPECT_EQ(ui.dialogs[0].text.value_or(""),
                "Tarnwick will abort installation, the file:\r\nC:\\Program Files\\Acme\\web\\tool.zip\r\nCan't be installed.");
    }
    EXPECT_EQ(flags.cancelled.load(), abortDialog ? kOn : -1);
    flags.cancelRequested = 0;
  }
}

TEST_F(PayloadCopyTest, ADownloadNameThatLeavesItsFolderIsRefused) {
  int downloads = 0;
  auto download = [&](const std::string&, const std::string&) {
    ++downloads;
    return DownloadOutcome::kCompleted;
  };
  for (const char* url : {"http://host/..\\..\\evil.dll", "http://host/a/..", "http://host/dir/", "http://host/c:evil.dll",
                          "http://host/evil.dll. ", "http://host/x/a..b{..\\c}", "http://host/a*b",
                          "http://host/con.txt"}) {
    SCOPED_TRACE(url);
    EXPECT_TRUE(CopyPayloadFiles(session, {ParseFileEntry(url, "<InstallDir>*16*0*0|")}, download));
  }
  EXPECT_EQ(downloads, 1) << "only a..b is a plain (if odd) name";
  EXPECT_EQ(Log(), "FILE=C:\\Program Files\\Acme\\a..b\r\n");
  EXPECT_TRUE(ui.dialogs.empty());
}

TEST_F(PayloadCopyTest, AnUnreadableTextFileIsAFailedCopyNotAnEmptyFile) {
  files.WriteAll(At("readme.txt"), "the installed text");
  struct Case {
    int flags;
    std::vector<int> answers;
    bool goesOn;
  } cases[] = {
      {256, {FixedDialogs::kIgnore}, true},
      {256, {FixedDialogs::kCancel}, false},
      {256 | 16, {0}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.flags);
    ui.dialogs.clear();
    ui.dialogResults.assign(c.answers.begin(), c.answers.end());
    flags.cancelled = -1;
    std::vector<FileEntry> list = List({{"readme.txt", ("<InstallDir>*" + std::to_string(c.flags) + "*0*0|").c_str()}});
    EXPECT_EQ(CopyPayloadFiles(session, list), c.goesOn) << "no F0_readme.txt in the payload";
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].buttons[0].visible, (c.flags & 16) == 0) << "Retry unless critical";
    EXPECT_EQ(files.ReadAll(At("readme.txt")).value_or(""), "the installed text");
  }
  ui.dialogs.clear();
  ui.dialogResults = {FixedDialogs::kRetry};
  faults.FailWhen(FsOp::Read, "F0_readme.txt", 1);
  Payload(0, "readme.txt", "for <ProductName>");
  EXPECT_TRUE(CopyPayloadFiles(session, List({{"readme.txt", "<InstallDir>*256*0*0|"}})));
  EXPECT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(files.ReadAll(At("readme.txt")).value_or(""), "for Acme") << "Retry reads the source again";
}


class CabinetBuildCopyTest : public PayloadCopyTest {
 protected:
  CabinetBuildCopyTest() {
    session.host.SetupDir = "D:\\";
    files.MakeFolders(session.host.SetupDir);
  }
  void Ship(const std::string& cabinet) { ASSERT_TRUE(files.WriteAll("D:\\file1.cab", cabinet)); }
  // The install folder's files, sorted, once the run is committed (what it set aside for a
  // rollback goes then): a test names every file it expects, so a temporary file left behind
  // shows whatever the copy called it.
  std::vector<std::string> InstalledFiles() {
    session.Rollback.Commit(session.platform);
    std::vector<std::string> names;
    const std::filesystem::path root = files.HostPath(kApp);
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
      if (entry.is_regular_file()) names.push_back(entry.path().lexically_relative(root).string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// Each payload file comes straight out of the cabinet into a temporary file beside its
// destination, is expanded and version-gated there, and then moved over the destination; nothing
// passes through the work folder.
TEST_F(CabinetBuildCopyTest, PayloadFilesStreamOutOfTheCabinetOnce) {
  std::string big(70000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 31 % 251);
  Ship(tc::StoredCabinet({{"license.txt", "L"}, {"F0_app.exe", big}, {"F1_skipped.txt", std::string(40000, 's')},
                          {"F2_old.dll", "packed"}, {"F3_note.txt", "for <ProductName>"}}));
  session.host.Features.Add("Off", kFeatureSkip);
  files.WriteAll(At("app.exe"), "older");
  files.WriteAll(At("old.dll"), "installed");
  files.SetFileVersion(At("old.dll"), "2.0");
  files.SetContentVersion("packed", "1.0");  // the packed one, wherever it is unpacked
  ui.dialogResults = {FixedDialogs::kIgnore};

  EXPECT_TRUE(CopyPayloadFiles(session, List({{"app.exe", "<InstallDir>*0*0*0|"}, {"skipped.txt", "<InstallDir>*0*0*0|Off"},
                                              {"old.dll", "<InstallDir>*0*0*0|"}, {"note.txt", "<InstallDir>*256*0*0|"},
                                              {"gone.txt", "<InstallDir>*0*0*0|"}})));
  EXPECT_FALSE(files.Exists(At("skipped.txt")));
  EXPECT_TRUE(files.ReadAll(At("app.exe")) == big);
  EXPECT_EQ(files.ReadAll(At("old.dll")).value_or(""), "installed") << "the gate read the unpacked file's version";
  EXPECT_EQ(files.ReadAll(At("note.txt")).value_or(""), "for Acme");
  EXPECT_TRUE(files.Find(session.host.WorkDir + "*").empty()) << "nothing unpacked into the work folder";
  // The app.exe that was there is kept under a second name until the run is committed.
  EXPECT_TRUE(session.Replaced(At("app.exe")));
  EXPECT_EQ(files.ReadAll(At("app.exe.~twkeep")).value_or(""), "older");
  EXPECT_EQ(InstalledFiles(), (std::vector<std::string>{"app.exe", "note.txt", "old.dll"}));
  ASSERT_EQ(ui.dialogs.size(), 1u) << "only the member the cabinet lacks fails";
  EXPECT_EQ(ui.dialogs[0].text.value_or(""), "Tarnwick can't copy the file:\r\nC:\\Program Files\\Acme\\gone.txt\r\nWhat you would like to do ?");
}

// Members are unpacked ahead of the copy, yet it still decides in order: a file kept in place and
// the earlier of two entries for one destination lose their unpacked copies, and after a Cancel the
// files unpacked ahead of it are deleted, never installed.
TEST_F(CabinetBuildCopyTest, FilesUnpackedAheadAreInstalledInOrderOrDeleted) {
  std::vector<tc::Member> members = {{"F0_a.txt", "first"}, {"F1_keep.txt", "new"}, {"F2_a.txt", "second"}};
  std::vector<FileEntry> list = List({{"a.txt", "<InstallDir>*0*0*0|"}, {"keep.txt", "<InstallDir>*32*0*0|"},
                                      {"a.txt", "<InstallDir>*0*0*0|"}});
  for (int i = 3; i < 40; ++i) {
    std::string name = "n" + std::to_string(i) + ".txt";
    if (i != 13) members.push_back({"F" + std::to_string(i) + "_" + name, name});  // n13 is missing: Cancel there
    list.push_back(ParseFileEntry("C:\\proj\\" + name, "<InstallDir>*0*0*0|"));
  }
  Ship(tc::StoredCabinet(members));
  files.WriteAll(At("keep.txt"), "mine");
  ui.dialogResults = {FixedDialogs::kCancel};

  EXPECT_FALSE(CopyPayloadFiles(session, list));
  EXPECT_EQ(files.ReadAll(At("a.txt")).value_or(""), "second");
  EXPECT_EQ(files.ReadAll(At("keep.txt")).value_or(""), "mine");
  EXPECT_TRUE(files.Exists(At("n12.txt")));
  EXPECT_FALSE(files.Exists(At("n14.txt"))) << "unpacked ahead, but the copy never reached it";
  EXPECT_EQ(InstalledFiles(), (std::vector<std::string>{"a.txt", "keep.txt", "n10.txt", "n11.txt", "n12.txt", "n3.txt",
                                                         "n4.txt", "n5.txt", "n6.txt", "n7.txt", "n8.txt", "n9.txt"}));
}

// The move over a destination in use fails like a copy: Retry moves again; Ignore and Cancel leave
// the destination as it was. Whatever the answer, no temporary file stays. The same holds for a
// member cut short in the cabinet, and for files copied from a folder (a disk image).
TEST_F(CabinetBuildCopyTest, ADestinationIsNeverLeftHalfWritten) {
  std::string cabinet = tc::StoredCabinet({{"F0_a.txt", std::string(40000, 'n')}});
  const struct {
    const char* what;
    bool streamed, truncated;
    int answer;
    bool goesOn;
    bool replaced;
  } cases[] = {
      {"in use, retry", true, false, FixedDialogs::kRetry, true, true},
      {"in use, ignore", true, false, FixedDialogs::kIgnore, true, false},
      {"in use, cancel", true, false, FixedDialogs::kCancel, false, false},
      {"cut short, ignore", true, true, FixedDialogs::kIgnore, true, false},
      {"disk image in use, ignore", false, false, FixedDialogs::kIgnore, true, false},
      {"disk image in use, retry", false, false, FixedDialogs::kRetry, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    faults.ClearFailures();
    ui.dialogs.clear();
    flags.cancelled = -1;
    Ship(c.streamed ? cabinet.substr(0, c.truncated ? 30000 : cabinet.size()) : "no cabinet");
    Payload(0, "a.txt", std::string(40000, 'n'));
    files.WriteAll(At("a.txt"), "old");
    // In use until the user has read the question: the program holding it then ends.
    if (!c.truncated) faults.FailWhen(FsOp::Move, At("a.txt"));
    ui.onDialog = [&] { faults.ClearFailures(); };
    ui.dialogResults = {c.answer};

    EXPECT_EQ(CopyPayloadFiles(session, List({{"a.txt", "<InstallDir>*0*0*0|"}})), c.goesOn);
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(files.ReadAll(At("a.txt")).value_or("").size(), c.replaced ? 40000u : 3u);
    EXPECT_EQ(InstalledFiles(), std::vector<std::string>{"a.txt"});
  }
}

// A file held open by a program: neither the replacement nor the move aside happens, and the
// second name it was given cannot be taken back either. That name waits for the next start, and no
// further names are tried, which would only leave more behind.
TEST_F(CabinetBuildCopyTest, AFileInUseLeavesOneSecondNameAtMost) {
  Ship(tc::StoredCabinet({{"F0_a.txt", "new"}}));
  files.WriteAll(At("a.txt"), "old");
  faults.FailWhen(FsOp::Move, At("a.txt"));
  faults.FailWhen(FsOp::Remove, ".~twkeep");
  ui.dialogResults = {FixedDialogs::kIgnore};

  EXPECT_TRUE(CopyPayloadFiles(session, List({{"a.txt", "<InstallDir>*0*0*0|"}})));
  EXPECT_EQ(ui.dialogs.size(), 1u);
  EXPECT_EQ(files.ReadAll(At("a.txt")).value_or(""), "old");
  EXPECT_EQ(files.removeAtRestart, std::vector<std::string>{At("a.txt.~twkeep")});
}

}  // namespace
}  // namespace tw
