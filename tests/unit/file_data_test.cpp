// Reading data.inf: line splitting, record fields, the folder list, the log's first entries, and
// creating deep folders.
#include "install/file_data.h"

#include "install_phase_fixture.h"

namespace tw {
namespace {

using Lines = std::vector<std::string>;

TEST(DataLines, OnlyTextBeforeACarriageReturnIsALine) {
  struct Case {
    const char* text;
    Lines lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\r\nb", {"a"}},                         // no CR LF after the last line: it is dropped
      {"a\r\n\r\nb\r\n", {"a", "\r\nb"}},        // the scan resumes one past the line start
      {"", {}},
      {"\r\nx\r\n", {"", "x"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitDataLines(c.text), c.lines) << Trace::Quote(c.text);
}

TEST(FileRecord, FieldsFileNameAndMissingSeparators) {
  struct Case {
    const char* source;
    const char* record;
    const char* fileName;
    const char* destination;
    int flags, osMask, reserved;
    const char* feature;
  } cases[] = {
      {"C:\\proj\\bin\\app.exe", "Destination Computer\\<InstallDir>*33*6*7|Main", "app.exe",
       "Destination Computer\\<InstallDir>", 33, 6, 7, "Main"},
      {"http://host/dl/x.zip", "<InstallDir>*0*0*0|", "x.zip", "<InstallDir>", 0, 0, 0, ""},
      {"D:readme.txt", "<InstallDir>*1*0|App", "readme.txt", "<InstallDir>", 1, 0, 0, "App"},
      {"plain", "<InstallDir>", "plain", "", 0, 0, 0, "<InstallDir>"},
      {"a/b\\c", "d*2*4*0||Tools|", "c", "d", 2, 4, 0, "|Tools|"},
      {"x", "d*12abc*bad*", "x", "d", 12, 0, 0, ""},
  };
  for (const auto& c : cases) {
    FileEntry entry = ParseFileEntry(c.source, c.record);
    SCOPED_TRACE(c.record);
    EXPECT_EQ(entry.fileName, c.fileName);
    EXPECT_EQ(entry.source, c.source);
    EXPECT_EQ(entry.destination, c.destination);
    EXPECT_EQ(entry.flags, c.flags);
    EXPECT_EQ(entry.osMask, c.osMask);
    EXPECT_EQ(entry.reserved, c.reserved);
    EXPECT_EQ(entry.feature, c.feature);
  }
}

TEST(FileRecord, LongFieldsAreCut) {
  std::string longText(600, 'x');
  FileEntry entry = ParseFileEntry("C:\\" + longText, longText + "*0*0*0|" + longText);
  EXPECT_EQ(entry.fileName.size(), kFileEntryText);
  EXPECT_EQ(entry.source.size(), kFileEntryText);
  EXPECT_EQ(entry.destination.size(), kFileEntryText);
  EXPECT_EQ(entry.feature.size(), kFileEntryText);
}

TEST(FileRecord, AnUnpairedLastLineMakesNoRecord) {
  auto entries = ParseFileData("s0\r\nr0*1*0*0|\r\ns1\r\n");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].destination, "r0");
}

using LoadFileDataTest = InstallPhaseTest;

TEST_F(LoadFileDataTest, WithoutADataFileNothingIsLogged) {
  std::vector<FileEntry> fileList;
  EXPECT_FALSE(LoadFileData(session, fileList));
  EXPECT_FALSE(files.Exists(session.LogPath));
}

TEST_F(LoadFileDataTest, CountsRecordsAndCreatesEachFolderOnce) {
  files.WriteAll(session.host.DataInfPath,
                 "C:\\p\\a.exe\r\nDestination Computer\\<InstallDir>\\*0*0*0|\r\n"
                 "C:\\p\\b.dll\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n"
                 "C:\\p\\c.txt\r\nDestination Computer\\<InstallDir>\\data*0*0*0|\r\n"
                 "C:\\p\\d.txt\r\nDestination Computer\\<InstallDir>\\Data\\*0*0*0|\r\n"
                 "C:\\p\\e.txt\r\nDestination Computer\\<InstallDir>\\data\\sub*0*0*0|");
  std::vector<FileEntry> fileList;
  ASSERT_TRUE(LoadFileData(session, fileList));

  EXPECT_EQ(fileList.size(), 4u) << "the last record has no line end";
  EXPECT_EQ(session.TotalFiles, 4);
  EXPECT_EQ(session.FolderList,
            (Lines{"Destination Computer\\<InstallDir>", "Destination Computer\\<InstallDir>\\data",
                   "Destination Computer\\<InstallDir>\\Data"}))
      << "one trailing backslash is ignored; case is not";
  EXPECT_EQ(Log(),
            "TOTALFILE=4\r\n"
            "DIR=C:\\Program Files\\Acme\\\r\n"
            "DIR=C:\\Program Files\r\n"  // made on the way, so the uninstaller may take it too
            "DIR=C:\\Program Files\\Acme\\\r\n"
            "DIR=C:\\Program Files\\Acme\\data\r\n"
            "DIR=C:\\Program Files\\Acme\\Data\r\n");
  EXPECT_TRUE(files.IsFolder("C:\\Program Files\\Acme\\data"));
  EXPECT_EQ(progress.statuses, Lines{"Creating directories..."});
}

TEST_F(LoadFileDataTest, FoldersTheFolderDialogMadeAreLoggedAboveTheFolderTheyLeadTo) {
  session.placeholders.values.installDir = "C:\\Dest\\Notes\\";
  files.MakeFolder("C:\\Dest");
  files.MakeFolder("C:\\Dest\\Notes");
  session.host.FoldersMadeByWizard = {"C:\\Dest", "C:\\Dest\\Notes", "C:\\Elsewhere"};
  files.WriteAll(session.host.DataInfPath, "C:\\p\\a.exe\r\nDestination Computer\\<InstallDir>\\bin*0*0*0|\r\n");
  std::vector<FileEntry> fileList;
  ASSERT_TRUE(LoadFileData(session, fileList));
  EXPECT_EQ(Log(),
            "TOTALFILE=1\r\n"
            "DIR=C:\\Dest\\Notes\\\r\n"
            "DIR=C:\\Dest\r\n"  // made by the dialog above it; the install folder is logged once
            "DIR=C:\\Dest\\Notes\\bin\r\n")
      << "a folder the dialog made elsewhere is not this installation's";
}

TEST_F(LoadFileDataTest, AnEmptyDataFileStillStartsTheLog) {
  files.WriteAll(session.host.DataInfPath, "");
  std::vector<FileEntry> fileList;
  ASSERT_TRUE(LoadFileData(session, fileList));
  EXPECT_EQ(Log(), "TOTALFILE=0\r\nDIR=C:\\Program Files\\Acme\\\r\nDIR=C:\\Program Files\r\n");
}

TEST(CreateFolderPath, MakesEveryMissingLevel) {
  FakeFileSystem files;
  const std::string deep = "C:\\a\\b\\c\\d\\e\\f\\g\\h";
  EXPECT_TRUE(CreateFolderPath(files, deep + "\\"));
  EXPECT_TRUE(files.IsFolder(deep));
  EXPECT_TRUE(CreateFolderPath(files, deep)) << "an existing folder is success";

  files.WriteAll("C:\\a\\file", "x");
  EXPECT_FALSE(CreateFolderPath(files, "C:\\a\\file\\sub")) << "a file in the way";
  EXPECT_FALSE(CreateFolderPath(files, "C:\\" + std::string(kMaxFolderPath, 'n')));
  EXPECT_FALSE(files.Exists("C:\\" + std::string(kMaxFolderPath, 'n')));

  FaultyFileSystem faults(files);
  faults.FailWhen(FsOp::MakeFolder, "refused");
  EXPECT_FALSE(CreateFolderPath(faults, "C:\\refused\\x"));
}

}  // namespace
}  // namespace tw
