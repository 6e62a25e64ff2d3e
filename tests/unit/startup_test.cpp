// Start-up from the machine's folders to the first wizard step, on the fake platform.
#include <gtest/gtest.h>

#include <filesystem>

#include "startup_fixture.h"

namespace tw {
namespace {

std::string ZeroPadded(std::string text) {
  text.append((16 - text.size() % 16) % 16, '\0');
  return text;
}

TEST_F(Startup, DecryptsBothProjectFilesIntoANewWorkFolder) {
  const std::string setupInf = "[APPINFO]\r\na1=Demo App\r\n", dataInf = "[FILES]\r\nTOTAL=1\r\n";
  PackProject(setupInf, dataInf);
  EXPECT_EQ(Start(), 0);
  CMainFrame& frame = *app->Frame();
  EXPECT_EQ(frame.Host().WorkName, "tw090507");
  EXPECT_EQ(frame.Host().WorkDir, kWork);
  EXPECT_EQ(fake.files.privateFolders, (std::vector<std::string>{frame.Host().TempDir + frame.Host().WorkName}))
      << "the decrypted project is nobody else's to read";
  EXPECT_EQ(frame.Host().SetupInfPath, std::string(kWork) + "setup.inf");
  EXPECT_EQ(fake.files.ReadAll(frame.Host().SetupInfPath).value_or(""), ZeroPadded(setupInf + kAnyMachine));
  EXPECT_EQ(fake.files.ReadAll(frame.Host().DataInfPath).value_or(""), ZeroPadded(dataInf));
  EXPECT_EQ(frame.Host().ProductName, "Demo App");
  EXPECT_TRUE(fake.ui.shown.empty());
  EXPECT_NE(TraceText().find("startup decrypt result=ok"), std::string::npos) << TraceText();
}

TEST_F(Startup, FoldersComeFromTheSystemWithTheirBackslashes) {
  PackProject("[APPINFO]\r\n");
  fake.system.tempFolder = "C:\\users\\tester\\Temp";  // no trailing backslash from the system
  fake.files.SetCurrentFolder("C:\\dist\\");
  Start();
  CMainFrame& frame = *app->Frame();
  EXPECT_EQ(frame.Host().SetupDir, kDist);
  EXPECT_EQ(frame.Host().TempDir, "C:\\users\\tester\\Temp\\");
  EXPECT_EQ(frame.Host().WindowsDir, "C:\\windows");
  EXPECT_EQ(frame.Host().WindowsVolume, "C:");
  EXPECT_EQ(frame.Host().SystemDir, "C:\\windows\\system32\\");
  EXPECT_EQ(frame.Host().ThemeDir, "C:\\dist\\theme\\");
  EXPECT_EQ(frame.Host().LanguageFilePath, "C:\\dist\\language.lan");
  EXPECT_EQ(frame.Host().Folders.appData, "C:\\users\\tester\\AppData\\Roaming");
  EXPECT_EQ(frame.Host().ProgramFilesDir, "C:\\Program Files");
  EXPECT_FALSE(frame.Host().NoProgramFilesDir);
  EXPECT_EQ(frame.Host().UserName, "tester");
}

TEST_F(Startup, ANormalUserKeepsTheProgramFilesFolderButIsNotAnAdministrator) {
  PackProject("[APPINFO]\r\na4=<ProgramFilesFolder>\\Demo\r\n");
  fake.registry.Deny(RegRoot::LocalMachine, "SOFTWARE", RegAccess::Write);
  Start();
  EXPECT_TRUE(app->Frame()->Host().NoProgramFilesDir);
  EXPECT_EQ(app->Frame()->Host().InstallDir, "C:\\Program Files\\Demo\\");
}

TEST_F(Startup, OverlongSystemAnswersAreCutNotOverrun) {
  PackProject("[APPINFO]\r\n");
  fake.system.windowsFolder = "C:\\" + std::string(200, 'w');
  fake.system.userName = std::string(300, 'u');
  Start();
  EXPECT_EQ(app->Frame()->Host().WindowsDir.size(), 149u);
  EXPECT_EQ(app->Frame()->Host().UserName.size(), 149u);
}

TEST_F(Startup, ATakenWorkFolderNameGetsTheNextFreeSuffix) {
  PackProject("[APPINFO]\r\n");
  fake.files.MakeFolders(std::string(kWork));
  fake.files.WriteAll(std::string(kWork) + "planted.txt", "someone else's");
  fake.files.MakeFolders("C:\\users\\tester\\Temp\\tw090507_1");
  Start();
  EXPECT_EQ(app->Frame()->Host().WorkName, "tw090507_2");
  EXPECT_TRUE(fake.files.Exists("C:\\users\\tester\\Temp\\tw090507_2\\setup.inf"));
  EXPECT_EQ(fake.files.ReadAll(std::string(kWork) + "planted.txt").value_or(""), "someone else's");
  EXPECT_FALSE(fake.files.Exists(std::string(kWork) + "setup.inf"));
}

TEST_F(Startup, MissingDataFileShowsTheMessageAndKeepsSetupInf) {
  Pack("setup.inf", "[APPINFO]\r\n");
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text,
            "Sorry, Tarnwick can't find data files.\r\nsetup.ziv and data.ziv\r\n"
            "These files must be in the same directory of setup.exe");
  EXPECT_EQ(fake.ui.shown[0].style, static_cast<unsigned>(kMbOk));
  EXPECT_TRUE(fake.ui.quitCode.has_value());
  EXPECT_TRUE(fake.files.Exists(std::string(kWork) + "setup.inf"));
  EXPECT_FALSE(fake.files.Exists(std::string(kWork) + "data.inf"));
}

TEST_F(Startup, MissingSetupFileShowsTheSameMessage) {
  Pack("data.inf", "[FILES]\r\n");
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text.rfind("Sorry, Tarnwick can't find data files.", 0), 0u);
  EXPECT_FALSE(fake.files.Exists(std::string(kWork) + "setup.inf"));
}

TEST_F(Startup, AForeignProjectFileEndsInOrderAndRemovesTheWorkFolder) {
  fake.files.WriteAll(std::string(kDist) + "setup.ziv", std::string(100, 'x'));
  Pack("data.inf", "[FILES]\r\n");
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text, "FileCrypt ERROR: File C:\\dist\\setup.ziv cannot be Correctly Decrypted!");
  EXPECT_FALSE(fake.files.Exists(kWork));
  EXPECT_TRUE(fake.ui.quitCode.has_value());
  EXPECT_NE(TraceText().find("startup decrypt result=error"), std::string::npos);
}

TEST_F(Startup, ATruncatedBodyEndsInOrderToo) {
  PackProject("[APPINFO]\r\na1=x\r\n");
  std::string ziv = fake.files.ReadAll(std::string(kDist) + "data.ziv").value();
  fake.files.WriteAll(std::string(kDist) + "data.ziv", ziv.substr(0, ziv.size() - 3));
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text, "Illegal Block Size!");
  EXPECT_FALSE(fake.files.Exists(kWork));
}

// A box from a platform call that failed gives the system's words below its message; one from bytes
// at fault or a file simply not there reads as always, even right after an unrelated failure.
struct FailedStart {
  FsOp op;  // made to fail (access denied) on the paths holding fragment
  const char* fragment;
  const char* project;  // "both", "setup" or "foreign" (setup.ziv bytes that are no project file)
  std::string box;
  const char* traced;  // how the decrypt line ends
};
class StartupReason : public StartupFixture, public ::testing::WithParamInterface<FailedStart> {};

TEST_P(StartupReason, ShowsTheSystemsReasonOnlyForAFailedCall) {
  const FailedStart& c = GetParam();
  const std::string project = c.project;
  if (project == "foreign")
    fake.files.WriteAll(std::string(kDist) + "setup.ziv", std::string(100, 'x'));
  else
    project == "both" ? PackProject("[APPINFO]\r\n") : Pack("setup.inf", "[APPINFO]\r\n");
  fake.faults.FailWhen(c.op, c.fragment);
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text, c.box);
  EXPECT_NE(TraceText().find(std::string(c.traced) + "\n"), std::string::npos) << TraceText();
}

const std::string kMissing =
    "Sorry, Tarnwick can't find data files.\r\nsetup.ziv and data.ziv\r\nThese files must be in the same directory of setup.exe";
INSTANTIATE_TEST_SUITE_P(
    Startup, StartupReason,
    ::testing::Values(
        FailedStart{FsOp::Read, "setup.ziv", "both", "FileCrypt ERROR: Cannot open File C:\\dist\\setup.ziv!\r\nAccess is denied",
                    "setup.ziv!\" error=5 reason=\"Access is denied\""},
        FailedStart{FsOp::Write, "setup.inf", "both",
                    std::string("FileCrypt ERROR: Cannot open File ") + kWork + "setup.inf!\r\nAccess is denied",
                    "setup.inf!\" error=5 reason=\"Access is denied\""},
        FailedStart{FsOp::Read, "data.ziv", "setup", kMissing + "\r\nAccess is denied",
                    "result=missing error=5 reason=\"Access is denied\""},
        FailedStart{FsOp::MakeFolder, "theme", "setup", kMissing,
                    "result=missing error=2 reason=\"The system cannot find the file specified\""},
        FailedStart{FsOp::MakeFolder, "theme", "foreign",
                    "FileCrypt ERROR: File C:\\dist\\setup.ziv cannot be Correctly Decrypted!", "Decrypted!\""}));

TEST_F(Startup, ThemeFilesMoveOnTheFirstRunOnly) {
  PackProject("[APPINFO]\r\n");
  fake.files.WriteAll(std::string(kDist) + "^!back.bmp", "BM");
  fake.files.WriteAll(std::string(kDist) + "^!welcome.lcd", "[x]");
  Start();
  EXPECT_EQ(fake.files.ReadAll("C:\\dist\\theme\\back.bmp").value_or(""), "BM");
  EXPECT_TRUE(fake.files.Exists("C:\\dist\\theme\\welcome.lcd"));
  EXPECT_TRUE(fake.files.Find("C:\\dist\\^!*.*").empty());

  fake.files.WriteAll(std::string(kDist) + "^!late.bmp", "BM");
  fake.system.now.second = 9;
  Start();
  EXPECT_TRUE(fake.files.Exists(std::string(kDist) + "^!late.bmp")) << "an existing theme folder is used as it is";
  EXPECT_FALSE(fake.files.Exists("C:\\dist\\theme\\late.bmp"));
}

TEST_F(Startup, WorkFolderRemovalNeverFollowsALinkInside) {
  PackProject("[APPINFO]\r\n");
  Start();
  fake.files.MakeFolders("C:\\sentinel");
  fake.files.WriteAll("C:\\sentinel\\keep.txt", "precious");
  std::filesystem::create_directory_symlink(fake.files.HostPath("C:\\sentinel"),
                                            fake.files.HostPath(std::string(kWork) + "link"));
  app->Frame()->RemoveWorkFolder(WorkFolderRemoval::Always);
  EXPECT_FALSE(fake.files.Exists(kWork));
  EXPECT_EQ(fake.files.ReadAll("C:\\sentinel\\keep.txt").value_or(""), "precious");
}

TEST_F(Startup, KeptWorkFolderSurvivesAllButTheCancelProcedure) {
  PackProject("[APPINFO]\r\n");
  Start();
  app->Flags().keepWorkDir = kOn;
  app->Frame()->RemoveWorkFolder(WorkFolderRemoval::UnlessKept);
  EXPECT_TRUE(fake.files.Exists(kWork));
  app->Frame()->RemoveWorkFolder(WorkFolderRemoval::Always);
  EXPECT_FALSE(fake.files.Exists(kWork));
}

TEST_F(Startup, SocketFailureEndsTheProcessButRichEditFailureDoesNot) {
  PackProject("[APPINFO]\r\n");
  fake.ui.richEditLoads = false;
  EXPECT_EQ(Start(), 0);
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text, "Can't load RICHTEXT library.\r\nThe specified module could not be found");
  EXPECT_EQ(fake.ui.shown[0].style, static_cast<unsigned>(kMbIconExclamation));

  fake.ui.shown.clear();
  fake.ui.socketsWork = false;
  EXPECT_NE(Start(), 0);
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text, "Windows sockets initialization failed.\r\nThe network subsystem is unavailable");
  EXPECT_NE(TraceText().find("startup sockets result=failed error=10091"), std::string::npos) << TraceText();
  EXPECT_EQ(app->Frame(), nullptr);
}

TEST_F(Startup, NothingIsTracedWithoutTheVariable) {
  fake.system.environment.clear();
  PackProject("[APPINFO]\r\n");
  Start();
  EXPECT_FALSE(fake.files.Exists("C:\\trace.log"));
}

TEST_F(Startup, ProjectValuesFollowTheirFlagRules) {
  PackProject(
      "[APPINFO]\r\na1=Demo\r\na2=2.5\r\na3={CODE}\r\na19=Acme\r\na4=<ProgramFilesFolder>\\<Publisher>\\<ProductName>\r\n"
      "a8=Per-User\r\nPREVIEW=255abc\r\nLanguage=English\r\n"
      "[BUILDING]\r\n2=yes\r\n"
      "[DIALOGLIST]\r\nCT9=no\r\nCT12=No\r\nCT14=Yes\r\nCT10=<InstallDir>\\run.exe\r\nCT17=HKEY_CURRENT_USER\r\n");
  // A per-user product set for Program Files goes to the user's own programs folder instead.
  Start();
  CMainFrame& frame = *app->Frame();
  const std::string mine = "C:\\users\\tester\\AppData\\Local\\Programs\\Acme\\Demo\\";
  EXPECT_EQ(frame.Host().InstallDir, mine);
  EXPECT_EQ(frame.Host().DefaultInstallDir, frame.Host().InstallDir);
  EXPECT_EQ(frame.ExpandPlaceholders(frame.Host().LaunchFile), mine + "run.exe");
  EXPECT_EQ(frame.Host().ProductCode, "{CODE}");
  EXPECT_TRUE(frame.Host().PerUser);
  EXPECT_TRUE(frame.Host().OfferLaunchFile) << "only \"No\" turns the offer off";
  EXPECT_FALSE(frame.Host().OfferReadme);
  EXPECT_TRUE(frame.Host().RestartRequired);
  EXPECT_EQ(app->Flags().previewMode, kOn);
  EXPECT_EQ(app->Flags().silentInstall, 0) << "\"yes\" is not \"Yes\"";
  EXPECT_EQ(frame.Host().UserInfoRoot, "HKEY_CURRENT_USER");
  EXPECT_EQ(frame.Host().LanguageName, "English");
  Start("/ALLUSERS");
  EXPECT_FALSE(app->Frame()->Host().PerUser) << "the administrator's scope wins";
  EXPECT_EQ(app->Frame()->Host().InstallDir, "C:\\Program Files\\Acme\\Demo\\");
}

TEST_F(Startup, InstallFolderSeesNoProductCodeYet) {
  PackProject("[APPINFO]\r\na3=CODE\r\na4=C:\\Apps\\<ProductCode>x\r\nPREVIEW=1\r\n");
  Start();
  EXPECT_EQ(app->Frame()->Host().InstallDir, "C:\\Apps\\x\\");
  EXPECT_EQ(app->Flags().previewMode, 0);
}

TEST_F(Startup, CompanyNameNeedsFullAccessToItsKey) {
  const char key[] = "Software\\Microsoft\\Windows NT\\CurrentVersion";
  fake.registry.CreateKey(RegRoot::LocalMachine, key);
  fake.registry.WriteString(RegRoot::LocalMachine, key, "RegisteredOrganization", "Initech", false);
  PackProject("[APPINFO]\r\n");
  Start();
  EXPECT_EQ(app->Frame()->Host().CompanyName, "Initech");
  fake.registry.Deny(RegRoot::LocalMachine, key, RegAccess::Write);
  fake.system.now.second = 8;
  Start();
  EXPECT_EQ(app->Frame()->Host().CompanyName, "");
}

TEST_F(Startup, BuildKindDecidesWhereThePayloadIsRead) {
  PackProject("[BUILDING]\r\nCURRENTBUILD=Split Files\r\n");
  Start();
  EXPECT_EQ(app->Flags().splitFiles, kOn);
  EXPECT_EQ(app->Flags().useDiskImages, kOn) << "split builds read disk images even without DiskImage1";

  PackProject("[BUILDING]\r\nCURRENTBUILD=split files\r\n");
  fake.files.MakeFolders("C:\\dist\\DiskImage1");
  fake.system.now.second = 8;
  Start();
  EXPECT_EQ(app->Flags().splitFiles, 0);
  EXPECT_EQ(app->Flags().useDiskImages, kOn);
}

}  // namespace
}  // namespace tw
