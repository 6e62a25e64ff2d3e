// Runs started from a command line: /S installs with no window and answers every question itself,
// /D= and /LOG= take effect, and each way a run ends gives its exit code.
#include "app/page_flow.h"
#include "project/exit_codes.h"
#include "skin/skin_page.h"
#include "startup_fixture.h"

namespace tw {
namespace {

const char kProgressPage[] =
    "[INFO]\r\nTOTAL=1\r\n0=x,1,1,200,20,PROGRESS,-,x,0\r\n[DADOS]\r\n0,t=1\r\n0,0=N|IDC_PROGRESS1|0\r\n";
const char kPayload[] = "C:\\src\\a.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n";
// A project that would show pages, a splash and the language page, and asks for a restart.
const char kInteractiveProject[] =
    "[APPINFO]\r\na3={P}\r\na4=C:\\Apps\\Demo\r\nMETHOD=Ask User\r\n[SPLASH]\r\na1=Yes\r\n"
    "[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n";

class UnattendedRunTest : public StartupFixture {
 protected:
  void SetUp() override {
    StartupFixture::SetUp();
    fake.files.MakeFolders("C:\\dist\\theme");
    fake.files.WriteAll("C:\\dist\\theme\\progress.lcd", kProgressPage);
    fake.files.WriteAll("C:\\dist\\DiskImage1\\F0_a.txt", "alpha");
  }
  CSkinPage* Page() { return app->Frame() && app->Frame()->Flow() ? app->Frame()->Flow()->CurrentPage() : nullptr; }
  // Starts the run and lets the hidden progress page's timer install, as the message loop would.
  int Run(const std::string& arguments) {
    int code = Start(arguments);
    if (Page() && Page()->LayoutFile() == "progress.lcd") Page()->OnTimer(kInstallTimer);
    return app->Frame() ? app->ExitCodeFor(fake.ui.quitCode.value_or(0)) : code;
  }
  // Nothing reached the screen: no message box, fixed dialog, decoration window or shown page.
  void ExpectNothingShown() {
    EXPECT_TRUE(fake.ui.shown.empty()) << fake.ui.shown.front().text;
    EXPECT_TRUE(fake.ui.dialogs.empty());
    EXPECT_TRUE(fake.ui.decorations.empty());
    if (Page()) {
      EXPECT_FALSE(static_cast<FakePageWindow&>(Page()->Window()).shown) << Page()->LayoutFile();
    }
  }
};

TEST_F(UnattendedRunTest, SilentRunInstallsIntoTheGivenFolderWithoutAWindowAndLogsWhereAsked) {
  PackProject(std::string(kInteractiveProject) + "CT14=Yes\r\n", kPayload);
  EXPECT_EQ(Run("/S /D=C:\\Other Place\\ /LOG=C:\\t.log"), kExitRestartNeeded)
      << "the restart question is answered No, and the exit code says a restart is due";
  EXPECT_EQ(fake.files.ReadAll("C:\\Other Place\\a.txt").value_or(""), "alpha");
  EXPECT_FALSE(fake.files.Exists("C:\\Apps\\Demo\\a.txt"));
  EXPECT_EQ(fake.shell.restarts, 0);
  ExpectNothingShown();
  const std::string log = fake.files.ReadAll("C:\\t.log").value_or("");
  EXPECT_NE(log.find("dialog question "), std::string::npos) << log;
  EXPECT_NE(log.find("answer=2 unattended=yes"), std::string::npos) << log;
  EXPECT_EQ(TraceText(), "") << "the log named on the command line replaces TARNWICK_LOG";
}

TEST_F(UnattendedRunTest, EveryErrorEndsASilentRunAsFailedWithoutAWindow) {
  struct Case {
    const char* name;
    std::string project;
    FsOp failing;
    const char* failingPath;  // none when null
  };
  const Case cases[] = {
      {"refused requirement", "[SYSTEM]\r\n2=999999 MB\r\n", FsOp::Copy, nullptr},
      {"copy error: the retry question answers Cancel", "", FsOp::Copy, "a.txt"},
      {"the engine cannot read its data file", "", FsOp::Read, "data.inf"},
      {"the project's own abort", "[CONDITIONS]\r\nTOTAL=1\r\nA0=c\r\nB0=1\r\nC0===\r\nD0=1\r\nE0=welcome.lcd\r\nF0=1\r\n00=CancelInstall();\r\n", FsOp::Copy, nullptr},
      {"the project's own abort on the start page", "[CONDITIONS]\r\nTOTAL=1\r\nA0=c\r\nB0=1\r\nC0===\r\nD0=1\r\nE0=start.lcd\r\nF0=1\r\n00=CancelInstall();\r\n", FsOp::Copy, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fake.faults.ClearFailures();
    if (c.failingPath) fake.faults.FailWhen(c.failing, c.failingPath);
    fake.ui.shown.clear();
    fake.ui.dialogs.clear();
    fake.ui.quitCode.reset();
    fake.files.Remove("C:\\trace.log");
    PackProject(std::string(kInteractiveProject) + c.project, kPayload);
    EXPECT_EQ(Run("/S"), kExitFailed);
    const std::string trace = TraceText();
    EXPECT_EQ(trace.find("wizard finish"), trace.rfind("wizard finish")) << "finished more than once";
    EXPECT_FALSE(fake.files.Exists("C:\\Apps\\Demo\\a.txt"));
    EXPECT_FALSE(fake.files.Exists(kWork)) << "it holds the decrypted project";
    ExpectNothingShown();
  }
}

TEST_F(UnattendedRunTest, AnInteractiveRunCancelledByTheUserSaysSo) {
  fake.files.WriteAll("C:\\dist\\theme\\welcome.lcd", "[INFO]\r\n");
  PackProject("[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n");
  Start();
  EXPECT_EQ(app->ExitCodeFor(0), kExitSuccess);
  EXPECT_TRUE(Page()->OnKeyDown(kVirtualKeyEscape));
  EXPECT_EQ(app->ExitCodeFor(0), kExitCancelled);
}

TEST_F(UnattendedRunTest, ABadCommandLineIsRefusedWithTheUsageBeforeAnythingHappens) {
  PackProject("[APPINFO]\r\n");
  EXPECT_EQ(Start("/X"), kExitBadCommandLine);
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text.rfind("Unknown switch: /X\r\n\r\nUsage: setup.exe", 0), 0u) << fake.ui.shown[0].text;
  EXPECT_EQ(app->Frame(), nullptr) << "no work folder, no wizard";

  EXPECT_EQ(Start("/S /LOG=C:\\t.log /X"), kExitBadCommandLine);
  EXPECT_EQ(fake.ui.shown.size(), 1u) << "a silent line shows no box, even a refused one";
  EXPECT_NE(fake.files.ReadAll("C:\\t.log").value_or("").find("app command-line reason=\"Unknown switch: /X\""),
            std::string::npos);

  EXPECT_EQ(Start("/LOG=\"C:\\no such folder\\t.log\""), kExitBadCommandLine);
  ASSERT_EQ(fake.ui.shown.size(), 2u);
  EXPECT_EQ(fake.ui.shown[1].text.rfind("Cannot write the log file C:\\no such folder\\t.log", 0), 0u);

  EXPECT_EQ(Start("/?"), kExitSuccess);
  ASSERT_EQ(fake.ui.shown.size(), 3u);
  EXPECT_EQ(fake.ui.shown[2].text.rfind("Usage: setup.exe", 0), 0u);
  EXPECT_EQ(app->Frame(), nullptr);

  // Under /S the words go to the console of the script that started setup, never into a box, however
  // early the refusal and wherever /S stands.
  fake.shell.hasParentConsole = true;
  for (const char* line : {"/quiet /S /LOG=C:\\q.log", "/S /?", "/S /D=C:\\A|B"}) {
    fake.shell.console.clear();
    const int code = Start(line);
    EXPECT_EQ(code, std::string(line) == "/S /?" ? kExitSuccess : kExitBadCommandLine) << line;
    EXPECT_EQ(fake.ui.shown.size(), 3u) << line;
    EXPECT_NE(fake.shell.console.find("Usage: setup.exe"), std::string::npos) << line;
  }
  const std::string log = fake.files.ReadAll("C:\\q.log").value_or("");
  EXPECT_NE(log.find("app usage shown=console text=\"Unknown switch: /quiet\\r\\n\\r\\nUsage: setup.exe"), std::string::npos)
      << log;
}

// Another setup of the same product, in any session, is running: this one ends at once with 1618,
// telling the user when someone is there to read it.
TEST_F(UnattendedRunTest, ASecondSetupOfTheSameProductEndsAtOnce) {
  PackProject(std::string(kInteractiveProject), kPayload);
  fake.shell.heldElsewhere.insert("Tarnwick-Setup-{P}");
  EXPECT_EQ(Run("/S"), kExitAnotherInstall);
  ExpectNothingShown();
  EXPECT_FALSE(fake.files.Exists(kWork));
  EXPECT_EQ(Run(""), kExitAnotherInstall);
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text.rfind("Another setup of ", 0), 0u);
  EXPECT_FALSE(fake.files.Exists("C:\\Apps\\Demo\\a.txt"));
}

// The restart the project asks for: /NORESTART never asks and leaves it to the caller (3010); a
// restart setup starts itself ends the run with 1641.
TEST_F(UnattendedRunTest, ARestartIsLeftToTheCallerOrSaidToBeUnderWay) {
  fake.files.WriteAll("C:\\dist\\theme\\welcome.lcd", "[INFO]\r\n");
  const struct {
    const char* line;
    int code, restarts;
  } cases[] = {{"/NORESTART", kExitRestartNeeded, 0}, {"", kExitRestartStarted, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    fake.shell.restarts = 0;
    fake.ui.dialogResults = {1};
    PackProject("[APPINFO]\r\na3={P}\r\n[DIALOGLIST]\r\nCT14=Yes\r\n", kPayload);
    Start(c.line);
    app->Frame()->Flow()->Finish();
    EXPECT_EQ(app->ExitCodeFor(0), c.code);
    EXPECT_EQ(fake.shell.restarts, c.restarts);
  }
}

}  // namespace
}  // namespace tw
