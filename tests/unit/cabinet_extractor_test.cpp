// The cabinet extractor over libmspack and the fake file system: where members land, the error
// codes, the disk prompts, hostile member names, times and attributes, and split-build logging.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>

#include "../contract/test_cabinets.h"
#include "install/cabinet_extractor.h"
#include "install/file_data.h"
#include "install_phase_fixture.h"
#include "project/exit_codes.h"

namespace tw {
namespace {

namespace tc = test_cabinets;
constexpr int kIdRetry = 4;

// Answers message boxes from the script, after letting the test act (a disk is put in).
class PromptingUi : public FakeUi {
 public:
  using FakeUi::ShowMessageBox;
  int ShowMessageBox(const std::string& text, const std::string& caption, unsigned style, NativeWindow owner) override {
    if (beforeAnswer) beforeAnswer(shown.size());
    return FakeUi::ShowMessageBox(text, caption, style, owner);
  }
  std::function<void(size_t)> beforeAnswer;
};

// Lets a test act when the extraction reaches a file (the user swaps disks meanwhile).
class DiskSwappingProgress : public RecordingProgress {
 public:
  void SetProgressPos(int position) override {
    RecordingProgress::SetProgressPos(position);
    if (atPosition) atPosition(position);
  }
  std::function<void(int)> atPosition;
};

class CabinetExtraction : public ::testing::Test {
 protected:
  CabinetExtraction() {
    files.MakeFolders("C:\\dist");
    files.MakeFolders(kWork);
    files.MakeFolders("C:\\windows\\Installer\\{P}");
    files.MakeFolders("C:\\App");
    session.host.SetupDir = "C:\\dist\\";
    session.host.WorkDir = kWork;
    session.placeholders.values.installDir = "C:\\App\\";
    session.LogPath = "C:\\windows\\Installer\\{P}\\uninstall.log";
  }

  void Ship(const std::string& name, const std::string& bytes) { ASSERT_TRUE(files.WriteAll("C:\\dist\\" + name, bytes)); }
  std::optional<std::string> Work(const std::string& name) { return files.ReadAll(kWork + name); }
  std::vector<std::string> Prompts() {
    std::vector<std::string> texts;
    for (const auto& box : ui.shown) texts.push_back(box.text);
    return texts;
  }
  // The first disk leaves the drive when the extraction reaches file number position; cabinets
  // already open stay readable, as on a real drive that has read them.
  void SwapDisksAtFile(int position) {
    progress.atPosition = [this, position](int reached) {
      if (reached == position) files.Remove("C:\\dist\\file1.cab");
    };
  }
  // Everything on the fake C: drive, as Windows paths.
  std::vector<std::string> AllFiles() {
    std::vector<std::string> found;
    std::filesystem::path root = files.HostPath("C:\\");
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root))
      if (entry.is_regular_file()) found.push_back(std::filesystem::relative(entry.path(), root).string());
    return found;
  }

  const std::string kWork = "C:\\Temp\\tw1\\";
  AttributeRecordingFiles files;
  FakeProfileFiles profiles{files};
  FakeRegistry registry;
  FakeSystemInfo system;
  PromptingUi ui;
  FakeShell shell{files};
  FakeHttp http;
  FakePictures pictures;
  MspackCabinets cabinets{files};
  FakeServices services;
  Platform platform{files, profiles, registry, system, ui, shell, http, pictures, cabinets, services};
  HostFlags flags;
  Trace trace;
  std::string languageFile;
  FixedDialogs dialogs{ui, files, trace, languageFile, [](const std::string& text) { return text; }};
  ProjectSettings settings;
  DiskSwappingProgress progress;
  InstallSession session{platform, flags, trace, dialogs, settings, progress};
  CabinetExtractor extractor{session};
};

// The payload files ("F<i>_name") stay in the cabinet until the copy phase streams them.
TEST_F(CabinetExtraction, ACabinetBuildUnpacksOnlyItsSupportFilesIntoTheWorkFolder) {
  Ship("file1.cab", tc::MsZipCabinet());
  ASSERT_TRUE(extractor.ExtractCabinets());
  EXPECT_EQ(extractor.ExtractError(), CabinetExtractor::kNoError);
  EXPECT_FALSE(files.Exists(kWork + "F0_readme.txt"));
  EXPECT_EQ(Work("logo.bmp").value_or(""), tc::MsZipLogo());
  EXPECT_EQ(extractor.ExtractedFiles(), 1);
  EXPECT_EQ(progress.positions, (std::vector<int>{1}));
  EXPECT_FALSE(files.Exists(session.LogPath)) << "only a split build logs its files";
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(CabinetExtraction, EachFailingStepHasItsCodeAndTheCodeStays) {
  EXPECT_FALSE(extractor.ExtractCabinets());
  EXPECT_EQ(extractor.ExtractError(), 2) << "no file1.cab";

  Ship("file1.cab", "MZ this is a program, not a cabinet at all");
  CabinetExtractor notCabinet(session);
  EXPECT_FALSE(notCabinet.ExtractCabinets());
  EXPECT_EQ(notCabinet.ExtractError(), 3);

  std::string cabinet = tc::StoredCabinet({{"a", std::string(5000, 'a')}});
  Ship("file1.cab", cabinet.substr(0, cabinet.size() - 2000));
  CabinetExtractor broken(session);
  EXPECT_FALSE(broken.ExtractCabinets());
  EXPECT_EQ(broken.ExtractError(), 4);

  // The decompressor's own failures: a split build always goes through it.
  flags.splitFiles = kOn;
  Ship("file1.cab", cabinet);
  cabinets.contextsRelease = false;
  CabinetExtractor unreleased(session);
  EXPECT_FALSE(unreleased.ExtractCabinets());
  EXPECT_EQ(unreleased.ExtractError(), 5);
  EXPECT_EQ(files.ReadAll("C:\\App\\a").value_or(""), std::string(5000, 'a')) << "the files are there all the same";

  cabinets.contextsCreate = false;
  CabinetExtractor noContext(session);
  EXPECT_FALSE(noContext.ExtractCabinets());
  EXPECT_EQ(noContext.ExtractError(), 1);
  EXPECT_FALSE(noContext.ExtractCabinets());
  EXPECT_EQ(noContext.ExtractError(), 1);
  cabinets.contextsCreate = true;
  EXPECT_FALSE(noContext.ExtractCabinets()) << "an extractor that failed once stays failed";
}

TEST_F(CabinetExtraction, MemberNamesAreCutToPlainFileNames) {
  EXPECT_EQ(PlainMemberName("docs\\readme.txt"), "readme.txt");
  EXPECT_EQ(PlainMemberName("..\\..\\evil.txt"), "evil.txt");
  EXPECT_EQ(PlainMemberName("a/b/c.dll"), "c.dll");
  for (const char* refused : {"", "dir\\", "..", "sub\\..", ".", "a:b", "C:evil", "x\\stream.txt:hidden", "NUL",
                              "con.txt", "Com1", "lpt9.log", "AUX ", "...", "a.", "b ", "x\x11y", "tab\tname"})
    EXPECT_EQ(PlainMemberName(refused), "") << refused;
  for (const char* kept : {"COM10", "console.txt", "nul2", "...x", "a..b"}) EXPECT_EQ(PlainMemberName(kept), kept);
}

TEST_F(CabinetExtraction, HostileMemberNamesNeverLeaveTheDestination) {
  // Names patched into a real cabinet: the same length as the names they replace.
  std::string cabinet = tc::MsZipCabinet();
  cabinet.replace(cabinet.find("F0_readme.txt"), 13, "..\\evil12.txt");
  ASSERT_TRUE(files.WriteAll("C:\\dist\\file1.cab", cabinet));
  ASSERT_TRUE(extractor.ExtractCabinets());
  EXPECT_EQ(Work("evil12.txt").value_or(""), tc::MsZipReadme());
  EXPECT_FALSE(files.Exists("C:\\Temp\\evil12.txt"));

  cabinet.replace(cabinet.find("logo.bmp"), 8, "..\\a:bmp");
  Ship("file1.cab", cabinet);
  CabinetExtractor refusing(session);
  EXPECT_FALSE(refusing.ExtractCabinets());
  EXPECT_EQ(refusing.ExtractError(), 4) << "a refused name fails the extraction like a broken cabinet";

  Ship("file1.cab", tc::StoredCabinet({{"ok.txt", "fine"}, {"sub\\..", "x"}, {"late.txt", "never"}}));
  CabinetExtractor dotted(session);
  EXPECT_FALSE(dotted.ExtractCabinets());
  EXPECT_FALSE(files.Exists(kWork + "late.txt"));
  for (const std::string& path : AllFiles())
    EXPECT_TRUE(path.rfind("Temp/tw1/", 0) == 0 || path.rfind("dist/", 0) == 0) << path;
}

TEST_F(CabinetExtraction, FilesKeepTheirStoredTimesAndTheFourPlainAttributes) {
  tc::Member stamped{"old.txt", "x", (21 << 9) | (2 << 5) | 3, (4 << 11) | (5 << 5) | 3, 0x01 | 0x02 | 0x04 | 0x20 | 0x40};
  Ship("file1.cab", tc::StoredCabinet({stamped, {"plain.txt", "y", stamped.date, stamped.time, 0x00}}));
  ASSERT_TRUE(extractor.ExtractCabinets());

  auto written = std::filesystem::last_write_time(files.HostPath(kWork + "old.txt"));
  std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::system_clock::now() + (written - std::filesystem::file_time_type::clock::now()));
  std::tm local = *std::localtime(&seconds);
  EXPECT_EQ(local.tm_year + 1900, 2001);
  EXPECT_EQ(local.tm_mon + 1, 2);
  EXPECT_EQ(local.tm_mday, 3);
  EXPECT_EQ(local.tm_hour, 4);
  EXPECT_EQ(local.tm_min, 5);
  EXPECT_EQ(local.tm_sec, 6) << "read as local time";

  using Call = std::pair<std::string, uint32_t>;
  EXPECT_EQ(files.attributeCalls, (std::vector<Call>{{kWork + "old.txt", 0x27}, {kWork + "plain.txt", 0x00}}));
  EXPECT_NE(files.Attributes(kWork + "old.txt").value_or(0) & kAttrReadOnly, 0u);
}

TEST_F(CabinetExtraction, AMissingNextCabinetIsPromptedForUntilItArrives) {
  tc::SpanningSet set = tc::SpanningCabinets({"one", "1"}, {"two", std::string(300, '2')});
  Ship("file1.cab", set.first);
  ui.answers = {kIdRetry, kIdRetry};
  ui.beforeAnswer = [&](size_t shown) {
    if (shown == 1) Ship("file2.cab", set.second);
  };
  ASSERT_TRUE(extractor.ExtractCabinets());
  EXPECT_EQ(Prompts(), std::vector<std::string>(2, "Please insert DISK2.\r\nFile: C:\\dist\\file2.cab"));
  EXPECT_EQ(ui.shown[0].style, 0x5u | kMbIconExclamation | 0x1000u) << "Retry/Cancel, system-modal";
  EXPECT_EQ(Work("two").value_or(""), std::string(300, '2'));
  EXPECT_FALSE(shell.endedWith.has_value());
}

TEST_F(CabinetExtraction, CancelAtTheDiskPromptEndsTheProcess) {
  Ship("file1.cab", tc::SpanningCabinets({"one", "1"}, {"two", "22"}).first);
  ui.answers = {kIdCancel};
  EXPECT_FALSE(extractor.ExtractCabinets());
  EXPECT_EQ(shell.endedWith, kExitCancelled);
  EXPECT_EQ(ui.shown.size(), 1u);
}

TEST_F(CabinetExtraction, AWrongCabinetInPlaceOfTheNextOneFailsWithoutEndlessPrompts) {
  tc::SpanningSet set = tc::SpanningCabinets({"one", "1"}, {"two", "22"});
  Ship("file1.cab", set.first);
  Ship("file2.cab", set.first);  // the first disk's cabinet again
  EXPECT_FALSE(extractor.ExtractCabinets());
  EXPECT_EQ(extractor.ExtractError(), 4);
  EXPECT_TRUE(ui.shown.empty());
}

// A split build on two disks: the files go to the install folder and into the uninstall log, and
// the first disk is asked back at the end.
TEST_F(CabinetExtraction, ASplitBuildLogsItsFilesAndWantsTheFirstDiskBack) {
  flags.splitFiles = kOn;
  tc::SpanningSet set = tc::SpanningCabinets({"app.exe", "MZ"}, {"data.bin", std::string(500, 'd')});
  Ship("file1.cab", set.first);
  Ship("file2.cab", set.second);
  SwapDisksAtFile(2);
  ui.answers = {kIdOk, kIdOk};
  ui.beforeAnswer = [&](size_t shown) {
    if (shown == 1) Ship("file1.cab", set.first);
  };
  ASSERT_TRUE(extractor.ExtractCabinets());
  EXPECT_EQ(files.ReadAll("C:\\App\\data.bin").value_or(""), std::string(500, 'd'));
  EXPECT_EQ(files.ReadAll(session.LogPath).value_or(""), "FILE=C:\\App\\app.exe\r\nFILE=C:\\App\\data.bin\r\n");
  EXPECT_EQ(Prompts(), std::vector<std::string>(2, "Please insert DISK1...\r\nC:\\dist\\file1.cab"));
  EXPECT_EQ(ui.shown[0].style, kMbOkCancel | kMbIconExclamation | 0x1000u);

  flags.splitFiles = kOn;
  SwapDisksAtFile(2);
  ui.answers = {kIdCancel};
  ui.beforeAnswer = nullptr;
  CabinetExtractor cancelled(session);
  EXPECT_FALSE(cancelled.ExtractCabinets());
  EXPECT_EQ(shell.endedWith, kExitCancelled);
}

// A split build's members obey the rules of the other builds, and go through a temporary file:
// a cabinet cut short never leaves a destination cut short.
TEST_F(CabinetExtraction, ASplitBuildKeepsWhatTheRulesKeepAndNeverHalfWritesAFile) {
  flags.splitFiles = kOn;
  session.host.OsTag = "XP";
  session.host.Features.Add("Off", kFeatureSkip);
  const std::vector<FileEntry> list = {ParseFileEntry("C:\\src\\cfg.ini", "<InstallDir>*32*0*0|"),
                                       ParseFileEntry("C:\\src\\off.txt", "<InstallDir>*0*0*0|Off"),
                                       ParseFileEntry("C:\\src\\app.exe", "<InstallDir>*0*0*0|")};
  files.WriteAll("C:\\App\\cfg.ini", "user's");
  files.WriteAll("C:\\App\\app.exe", "old");
  const std::string cabinet = tc::StoredCabinet({{"cfg.ini", "packed"}, {"off.txt", "x"}, {"app.exe", std::string(3000, 'n')}});

  Ship("file1.cab", cabinet.substr(0, cabinet.size() - 1000));
  EXPECT_FALSE(CabinetExtractor(session, &list).ExtractCabinets());
  EXPECT_EQ(files.ReadAll("C:\\App\\app.exe").value_or(""), "old") << "a cut cabinet leaves the file as it was";

  Ship("file1.cab", cabinet);
  ASSERT_TRUE(CabinetExtractor(session, &list).ExtractCabinets());
  EXPECT_EQ(files.ReadAll("C:\\App\\cfg.ini").value_or(""), "user's") << "never overwritten";
  EXPECT_FALSE(files.Exists("C:\\App\\off.txt")) << "its feature is off";
  EXPECT_EQ(files.ReadAll("C:\\App\\app.exe").value_or(""), std::string(3000, 'n'));
  EXPECT_EQ(files.ReadAll(session.LogPath).value_or(""), "FILE=C:\\App\\app.exe\r\n");
  EXPECT_EQ(files.ReadAll("C:\\App\\app.exe.~twkeep").value_or(""), "old") << "kept aside until the run ends";
  session.Rollback.Commit(session.platform);
  std::vector<std::string> installed;  // no temporary file stays, whatever it was called
  for (const std::string& path : AllFiles())
    if (path.rfind("App/", 0) == 0) installed.push_back(path);
  std::sort(installed.begin(), installed.end());
  EXPECT_EQ(installed, (std::vector<std::string>{"App/app.exe", "App/cfg.ini"}));
}

}  // namespace
}  // namespace tw
