// The page sequence over the fakes: the silent path through a whole installation, Next and Back
// with the setup-type skip, file actions, cancelling, and the finish.
#include <functional>

#include "app/page_flow.h"
#include "project/exit_codes.h"
#include "skin/skin_page.h"
#include "startup_fixture.h"

namespace tw {
namespace {

const char kButtonPage[] =
    "[INFO]\r\nTOTAL=2\r\n0=x,1,1,80,25,BUTTON,-,x,0\r\n1=x,90,1,80,25,BUTTON,-,x,1\r\n"
    "[DADOS]\r\n0,t=1\r\n0,0=N|IDC_BACK|0\r\n1,t=1\r\n1,0=N|IDC_NEXT|0\r\n";

// Cancel, two buttons whose click actions close the window, and Next.
const char kCancelPage[] =
    "[INFO]\r\nTOTAL=4\r\n0=x,1,1,80,25,BUTTON,-,x,0\r\n1=x,90,1,80,25,BUTTON,-,x,1\r\n"
    "2=x,1,30,80,25,BUTTON,-,x,2\r\n3=x,90,30,80,25,BUTTON,-,x,3\r\n"
    "[DADOS]\r\n0,t=1\r\n0,0=N|IDCANCEL|0\r\n1,t=1\r\n1,0=N|IDC_NEXT|0\r\n"
    "2,t=8\r\n2,0=N|IDC_QUIT|0\r\n2,1=C|Quit|0\r\n2,2=a|1|0\r\n2,3=f|x|0\r\n2,4=s|8|0\r\n2,5=b|No|0\r\n"
    "2,6=i|No|0\r\n2,7=On Click|1 - Close Window|0\r\n"
    "3,t=9\r\n3,0=N|IDC_HELPQUIT|0\r\n3,1=C|Help|0\r\n3,2=a|1|0\r\n3,3=f|x|0\r\n3,4=s|8|0\r\n3,5=b|No|0\r\n"
    "3,6=i|No|0\r\n3,7=On Click|4 - Run App and Close|0\r\n3,8=Target|help.txt|0\r\n";

// A completion page: Cancel, Finish and the launch box.
const char kCompletionPage[] =
    "[INFO]\r\nTOTAL=3\r\n0=x,1,1,80,25,BUTTON,-,x,0\r\n1=x,90,1,80,25,BUTTON,-,x,1\r\n"
    "2=x,1,30,200,18,CHECKBOX,-,x,2\r\n"
    "[DADOS]\r\n0,t=1\r\n0,0=N|IDCANCEL|0\r\n1,t=1\r\n1,0=N|IDC_FINISH|0\r\n2,t=1\r\n2,0=N|IDC_LAUNCHFILE|0\r\n";

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

class PageFlowTest : public StartupFixture {
 protected:
  void Theme(const std::string& file, const std::string& layout) {
    fake.files.MakeFolders("C:\\dist\\theme");
    fake.files.WriteAll("C:\\dist\\theme\\" + file, layout);
  }
  PageFlow& Flow() { return *app->Frame()->Flow(); }
  CSkinPage& Page() { return *Flow().CurrentPage(); }
  FakePageWindow& Window() { return static_cast<FakePageWindow&>(Page().Window()); }
  void Click(const std::string& name) { Page().OnCommand(Page().FindControlByName(name), 0); }
  int CompletionPagesShown() { return Count(TraceText(), "wizard page file=complete.lcd"); }
};

TEST_F(PageFlowTest, ASilentSetupInstallsBehindAHiddenProgressPageAndFinishes) {
  Theme("progress.lcd",
        "[INFO]\r\nTOTAL=2\r\n0=x,1,1,200,20,PROGRESS,-,x,0\r\n1=x,1,30,200,20,TEXT,-,x,1\r\n"
        "[DADOS]\r\n0,t=1\r\n0,0=N|IDC_PROGRESS1|0\r\n1,t=1\r\n1,0=N|IDC_INFO|0\r\n");
  // Enough files that handing the page every file's step would show in the count of hand-overs.
  const int kFiles = 400;
  std::string fileList;
  for (int i = 0; i < kFiles; ++i) {
    std::string name = i ? "f" + std::to_string(i) + ".txt" : "a.txt";
    fake.files.WriteAll("C:\\dist\\DiskImage1\\F" + std::to_string(i) + "_" + name, i ? "x" : "alpha");
    fileList += "C:\\src\\" + name + "\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n";
  }
  PackProject("[APPINFO]\r\na3={P}\r\na4=C:\\Apps\\Demo\r\n[BUILDING]\r\n2=Yes\r\n[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n",
              fileList);
  Start();
  ASSERT_EQ(Page().LayoutFile(), "progress.lcd");
  EXPECT_FALSE(Window().shown) << "a silent setup shows no page";
  EXPECT_EQ(Window().timers.count(kInstallTimer), 1u);
  FakeWidget& bar = *Window().WidgetById(Page().FindControlByName("IDC_PROGRESS1"));
  int before = fake.ui.callsOnUiThread;
  Page().OnTimer(kInstallTimer);
  EXPECT_EQ(bar.look.position, kFiles) << "the bar ends full";
  EXPECT_LT(fake.ui.callsOnUiThread - before, 150) << "the bar moves in hundredths, not a step per file";
  EXPECT_EQ(fake.files.ReadAll("C:\\Apps\\Demo\\a.txt").value_or(""), "alpha");
  EXPECT_TRUE(fake.files.Exists("C:\\Apps\\Demo\\f399.txt"));
  EXPECT_NE(fake.files.ReadAll("C:\\windows\\Installer\\{P}\\uninstall.log").value_or("").find("FILE=C:\\Apps\\Demo\\a.txt"),
            std::string::npos);
  EXPECT_EQ(app->Flags().silentInstall, kSilentRunning);
  EXPECT_EQ(fake.ui.quitCode.value_or(-1), 0) << "the finish ends the process";
  EXPECT_FALSE(fake.files.Exists(kWork)) << "the work folder goes at the end";
}

TEST_F(PageFlowTest, MergeModulesRunOnTheirOwnPageAfterTheInstallation) {
  fake.files.MakeFolders("C:\\dist\\SupportFiles");
  fake.files.WriteAll("C:\\dist\\SupportFiles\\runtime.exe", "MZ");
  const std::string merged = "[BUILDING]\r\n2=Yes\r\n[MERGEMODULES]\r\nTOTAL=1\r\nC0=<ResourceDir>\\Runtime.exe\r\nE0=127\r\n";
  PackProject("[APPINFO]\r\na3={P}\r\na4=C:\\Apps\r\n" + merged + "D0=/quiet\r\n", "");
  Start();
  EXPECT_EQ(app->Flags().keepWorkDir, kOn);
  Page().OnTimer(kInstallTimer);
  EXPECT_TRUE(fake.files.Exists(kWork)) << "the programs come from the work folder's neighbours and it stays";
  EXPECT_EQ(Page().LayoutFile(), "3rdparty.lcd");
  ASSERT_EQ(fake.ui.frameTimers.size(), 1u);
  fake.ui.Tick(fake.ui.frameTimers.begin()->first);
  ASSERT_EQ(fake.shell.runs.size(), 1u);
  EXPECT_EQ(fake.shell.runs[0].program, "C:\\dist\\SupportFiles\\runtime.exe");
  EXPECT_FALSE(fake.files.Exists(kWork));
  EXPECT_EQ(fake.ui.quitCode.value_or(-1), 0) << "a silent run finishes after them";

  PackProject("[APPINFO]\r\na3={P}\r\na4=C:\\Apps\r\nPREVIEW=255\r\n" + merged + "D0=/quiet\r\n", "");
  Start();
  Page().OnTimer(kInstallTimer);
  EXPECT_EQ(Page().LayoutFile(), "3rdparty.lcd") << "a preview shows the page";
  ASSERT_EQ(fake.ui.frameTimers.size(), 1u);
  fake.ui.Tick(fake.ui.frameTimers.begin()->first);
  EXPECT_EQ(fake.shell.runs.size(), 1u) << "but runs no other product's installer";
  EXPECT_FALSE(fake.files.Exists(kWork));

  // One that cannot be started takes the whole installation back, to the product as the runs
  // above left it, and the run fails.
  const std::string log = "C:\\windows\\Installer\\{P}\\uninstall.log";
  const std::string logBefore = fake.files.ReadAll(log).value_or("none");
  fake.files.Remove("C:\\dist\\SupportFiles\\runtime.exe");
  fake.files.WriteAll("C:\\dist\\DiskImage1\\F0_core.txt", "core");
  PackProject("[APPINFO]\r\na3={P}\r\na4=C:\\Apps\r\n" + merged,
              "C:\\src\\core.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n");
  Start();
  Page().OnTimer(kInstallTimer);
  EXPECT_TRUE(fake.files.Exists("C:\\Apps\\core.txt")) << "installed, until the merge modules fail";
  fake.ui.Tick(fake.ui.frameTimers.begin()->first);
  EXPECT_FALSE(fake.files.Exists("C:\\Apps\\core.txt"));
  EXPECT_EQ(fake.files.ReadAll(log).value_or("none"), logBefore);
  EXPECT_EQ(app->ExitCodeFor(fake.ui.quitCode.value_or(0)), kExitFailed);
  EXPECT_FALSE(fake.files.Exists(kWork));
}

TEST_F(PageFlowTest, AFeatureSwitchedOffInTheWizardStaysOutOfTheInstallation) {
  fake.files.WriteAll("C:\\dist\\DiskImage1\\F0_core.txt", "core");
  fake.files.WriteAll("C:\\dist\\DiskImage1\\F1_manual.txt", "manual");
  PackProject("[APPINFO]\r\na3={P}\r\na4=C:\\Apps\r\n[BUILDING]\r\n2=Yes\r\n"
              "[SETUPTYPE]\r\nTOTAL=1\r\nFeatureName0=Docs\r\n",
              "C:\\src\\core.txt\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n"
              "C:\\src\\manual.txt\r\nDestination Computer\\<InstallDir>*0*0*0|Docs\r\n");
  Start();
  app->Frame()->Flow()->StandardPages().SetFeatureState("Docs", kFeatureSkip);
  Page().OnTimer(kInstallTimer);
  EXPECT_TRUE(fake.files.Exists("C:\\Apps\\core.txt"));
  EXPECT_FALSE(fake.files.Exists("C:\\Apps\\manual.txt"));
}

TEST_F(PageFlowTest, TypicalSetupsSkipTheCustomPageBothWays) {
  for (const char* page : {"welcome.lcd", "setuptype.lcd", "customsetup.lcd", "ready.lcd"}) Theme(page, kButtonPage);
  PackProject("[DIALOGLIST]\r\nTOTAL1=4\r\nW0=welcome.lcd\r\nW1=setuptype.lcd\r\nW2=customsetup.lcd\r\nW3=ready.lcd\r\n");
  Start();
  EXPECT_EQ(Page().LayoutFile(), "welcome.lcd");
  EXPECT_TRUE(Window().shown);
  Click("IDC_NEXT");
  EXPECT_EQ(Page().LayoutFile(), "setuptype.lcd");
  app->Frame()->ChooseSetupType(SetupType::kTypical);
  Click("IDC_NEXT");
  EXPECT_EQ(Page().LayoutFile(), "ready.lcd");
  Click("IDC_BACK");
  EXPECT_EQ(Flow().PageIndex(), 1) << "Back from ready lands on the setup-type page";
  Flow().PreviousPage();
  Flow().PreviousPage();
  EXPECT_EQ(Flow().PageIndex(), 0) << "Back on the first page stays there";
}

TEST_F(PageFlowTest, AButtonWithClickActionOneMovesForwardAndTheListNeverOverruns) {
  Theme("welcome.lcd",
        "[INFO]\r\nTOTAL=1\r\n0=x,1,1,80,25,BUTTON,-,x,0\r\n[DADOS]\r\n0,t=8\r\n0,0=N|IDC_GO|0\r\n0,1=C|Go|0\r\n"
        "0,2=a|b|0\r\n0,3=a|b|0\r\n0,4=a|b|0\r\n0,5=a|b|0\r\n0,6=a|b|0\r\n0,7=On Click|1 - Next Page|0\r\n");
  Theme("ready.lcd", kButtonPage);
  PackProject("[DIALOGLIST]\r\nTOTAL1=2\r\nW0=welcome.lcd\r\nW1=ready.lcd\r\n");
  Start();
  Click("IDC_GO");
  EXPECT_EQ(Page().LayoutFile(), "ready.lcd");
  Click("IDC_NEXT");
  EXPECT_EQ(Flow().PageIndex(), 2);
  EXPECT_EQ(Page().LayoutFile(), "") << "past the end of the list comes the empty-named page";
}

TEST_F(PageFlowTest, FeaturesSwitchedOffStayOffWhenTheSetupTypeChanges) {
  Theme("setuptype.lcd",
        "[INFO]\r\nTOTAL=3\r\n0=x,1,1,80,25,CHECKBOX,-,x,0\r\n1=x,1,30,80,25,CHECKBOX,-,x,1\r\n"
        "2=x,1,60,80,25,CHECKBOX,-,x,2\r\n[DADOS]\r\n0,t=1\r\n0,0=N|IDC_TYPICAL|0\r\n1,t=1\r\n"
        "1,0=N|IDC_MINIMAL|0\r\n2,t=1\r\n2,0=N|IDC_CUSTOM|0\r\n");
  PackProject("[DIALOGLIST]\r\nTOTAL1=1\r\nW0=setuptype.lcd\r\n[SETUPTYPE]\r\nTOTAL=1\r\nFeatureName0=Docs\r\n");
  Start();
  Click("IDC_CUSTOM");
  Flow().StandardPages().SetFeatureState("Docs", kFeatureSkip);
  for (const char* type : {"IDC_TYPICAL", "IDC_MINIMAL", "IDC_CUSTOM", "IDC_TYPICAL"}) {
    Click(type);
    EXPECT_FALSE(app->Frame()->Host().Features.FeatureAllows("Docs")) << type;
  }
  EXPECT_EQ(app->Frame()->Host().SetupTypeChoice, SetupType::kTypical);
}

TEST_F(PageFlowTest, FileActionsRunOnArrivalOnceOrEachTime) {
  Theme("welcome.lcd", kButtonPage);
  Theme("ready.lcd", kButtonPage);
  fake.files.MakeFolders("C:\\tools");
  fake.files.WriteAll("C:\\tools\\once.exe", "MZ");
  fake.files.WriteAll("C:\\tools\\every.exe", "MZ");
  PackProject(
      "[DIALOGLIST]\r\nTOTAL1=2\r\nW0=welcome.lcd\r\nW1=ready.lcd\r\n"
      "[FILEACTION]\r\nTOTAL=3\r\nB0=C:\\Tools\\Once.exe\r\nE0=Ready to Install\r\nG0=Yes\r\nL0=127\r\n"
      "B1=C:\\tools\\every.exe\r\nC1=/x\r\nE1=ready.lcd\r\nH1=Yes\r\nL1=127\r\n"
      "B2=C:\\tools\\every.exe\r\nE2=After Click Finish Button\r\nL2=127\r\n");
  Start();
  Click("IDC_NEXT");
  Click("IDC_BACK");
  Flow().NextPage();
  ASSERT_EQ(fake.shell.started.size() + fake.shell.runs.size(), 3u);
  EXPECT_EQ(fake.shell.started[0].program, "c:\\tools\\once.exe") << "run lower-cased, once";
  EXPECT_EQ(fake.shell.runs.size(), 2u) << "a waiting action runs on each forward arrival";
  EXPECT_EQ(fake.shell.runs[0].commandLine, "/x");
}

TEST_F(PageFlowTest, ACancelledSetupEndsOnTheCompletionPage) {
  Theme("welcome.lcd", std::string(kButtonPage) + "[INFO]\r\n");
  Theme("complete.lcd", kButtonPage);
  PackProject("[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n");
  Start();
  EXPECT_TRUE(Page().OnKeyDown(kVirtualKeyEscape));
  EXPECT_EQ(Page().LayoutFile(), "complete.lcd");
  EXPECT_EQ(app->Flags().cancelled, kOn);
  EXPECT_FALSE(fake.files.Exists(kWork));
}

TEST_F(PageFlowTest, TheCloseBoxAnsweredNoKeepsThePageAndTheWizardGoesOn) {
  Theme("welcome.lcd", kCancelPage);
  Theme("ready.lcd", kButtonPage);
  PackProject("[DIALOGLIST]\r\nTOTAL1=2\r\nW0=welcome.lcd\r\nW1=ready.lcd\r\n");
  Start();
  fake.ui.dialogResults = {2};
  Page().OnCloseBox();
  EXPECT_FALSE(Window().ended);
  EXPECT_EQ(app->Flags().cancelled, -1);
  Click("IDC_NEXT");
  EXPECT_EQ(Page().LayoutFile(), "ready.lcd");
}

TEST_F(PageFlowTest, AConfirmedCancelClosesThePageThatAskedAndShowsOneCompletionPage) {
  Theme("welcome.lcd", kCancelPage);
  Theme("complete.lcd", kButtonPage);
  PackProject("[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n");
  const std::pair<const char*, std::function<void(CSkinPage&)>> routes[] = {
      {"Cancel button", [](CSkinPage& page) { page.OnCommand(page.FindControlByName("IDCANCEL"), 0); }},
      {"Esc", [](CSkinPage& page) { page.OnKeyDown(kVirtualKeyEscape); }},
      {"close box", [](CSkinPage& page) { page.OnCloseBox(); }},
      {"click action 1", [](CSkinPage& page) { page.OnCommand(page.FindControlByName("IDC_QUIT"), 0); }},
      {"click action 4", [](CSkinPage& page) { page.OnCommand(page.FindControlByName("IDC_HELPQUIT"), 0); }},
  };
  for (const auto& [route, cancel] : routes) {
    fake.files.WriteAll("C:\\trace.log", "");
    Start();
    FakePageWindow& asking = Window();
    fake.ui.dialogResults = {1};
    cancel(Page());
    EXPECT_TRUE(asking.ended) << route;
    EXPECT_EQ(Page().LayoutFile(), "complete.lcd") << route;
    Click("IDC_NEXT");
    EXPECT_EQ(CompletionPagesShown(), 1) << route;
  }
}

// After the installation there is nothing left to cancel: closing either completion page, the one
// after a full install and the one after a cancel, finishes as Finish does, with no cancel question,
// the launch only after a success and the exit code of the outcome.
TEST_F(PageFlowTest, ClosingEitherCompletionPageFinishesTheRunAsFinishDoes) {
  Theme("progress.lcd", kButtonPage);
  Theme("complete.lcd", kCompletionPage);
  fake.files.MakeFolders("C:\\Apps");
  fake.files.WriteAll("C:\\Apps\\run.exe", "MZ");
  enum Way { kEsc, kCloseBox, kCancelButton };
  const struct {
    bool cancelled, restart;
    Way way;
    int exitCode;
    size_t launches, questions;  // questions: fixed dialogs the closing asks (only the restart one)
  } cases[] = {
      {false, false, kEsc, kExitSuccess, 1, 0},          {false, false, kCloseBox, kExitSuccess, 1, 0},
      {false, false, kCancelButton, kExitSuccess, 1, 0}, {false, true, kEsc, kExitRestartNeeded, 1, 1},
      {true, false, kEsc, kExitCancelled, 0, 0},         {true, true, kCloseBox, kExitCancelled, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.cancelled ? "cancelled" : "installed") + (c.restart ? " restart" : "") + " way " +
                 std::to_string(c.way));
    fake.files.WriteAll("C:\\trace.log", "");
    fake.shell.opened.clear();
    fake.ui.quitCode.reset();
    PackProject(std::string("[APPINFO]\r\na3={P}\r\na4=C:\\Apps\r\n[DIALOGLIST]\r\nTOTAL1=2\r\nW0=progress.lcd\r\n"
                            "W1=complete.lcd\r\nCT10=C:\\Apps\\run.exe\r\n") + (c.restart ? "CT14=Yes\r\n" : ""),
                "");
    Start();
    fake.ui.dialogResults = {1};
    c.cancelled ? void(Page().OnKeyDown(kVirtualKeyEscape)) : Page().OnTimer(kInstallTimer);
    ASSERT_EQ(Page().LayoutFile(), "complete.lcd");
    FakePageWindow& completion = Window();
    const size_t asked = fake.ui.dialogs.size();
    fake.ui.dialogResults = {c.questions ? 2 : 1};  // No to the restart question; Yes to a cancel question
    if (c.way == kEsc) Page().OnKeyDown(kVirtualKeyEscape);
    if (c.way == kCloseBox) Page().OnCloseBox();
    if (c.way == kCancelButton) Click("IDCANCEL");
    EXPECT_EQ(fake.ui.dialogs.size() - asked, c.questions) << "no cancel question on a completion page";
    EXPECT_TRUE(completion.ended);
    EXPECT_EQ(CompletionPagesShown(), 1);
    EXPECT_EQ(app->ExitCodeFor(fake.ui.quitCode.value_or(-1)), c.exitCode) << "the run ends with its outcome";
    EXPECT_EQ(fake.shell.opened.size(), c.launches);
  }
}

TEST_F(PageFlowTest, CancellingDuringTheInstallationShowsOneCompletionPageOnceTheEngineStops) {
  Theme("progress.lcd", kButtonPage);
  Theme("complete.lcd", kButtonPage);
  PackProject("[APPINFO]\r\na3={P}\r\na4=C:\\Apps\r\n[DIALOGLIST]\r\nTOTAL1=2\r\nW0=progress.lcd\r\nW1=complete.lcd\r\n",
              "http://example.com/pkg.bin\r\nDestination Computer\\<InstallDir>*0*0*0|\r\n");
  Start();
  CSkinPage& progress = Page();
  FakeHttpResponse& response = fake.http.responses["example.com:80/pkg.bin"];
  response.body = std::string(100000, 'x');
  // The user closes the progress page while the download runs, and confirms.
  response.beforeRead = [&](size_t sent) {
    if (sent == 0) fake.ui.CallOnUiThread([&] { progress.OnCloseBox(); });
  };
  fake.ui.dialogResults = {1};
  progress.OnTimer(kInstallTimer);
  EXPECT_TRUE(static_cast<FakePageWindow&>(progress.Window()).ended);
  EXPECT_EQ(Page().LayoutFile(), "complete.lcd");
  EXPECT_EQ(CompletionPagesShown(), 1);
  EXPECT_FALSE(fake.files.Exists("C:\\Apps\\pkg.bin"));
}

// The engine that cannot run at all (no data file, no COM on its thread) has installed nothing: the
// wizard ends on the aborted completion page, the process as failed, the work folder gone even
// when merge modules would have kept it.
TEST_F(PageFlowTest, AnEngineErrorEndsTheWizardAsAFailedRun) {
  Theme("progress.lcd", kButtonPage);
  Theme("complete.lcd", kButtonPage);
  const std::pair<const char*, std::function<void()>> causes[] = {
      {"no data file", [this] { fake.files.Remove(std::string(kWork) + "data.inf"); }},
      {"no COM on the worker", [this] { fake.shell.threadsPrepare = false; }},
  };
  for (const auto& [cause, arrange] : causes) {
    SCOPED_TRACE(cause);
    fake.files.WriteAll("C:\\trace.log", "");
    PackProject("[APPINFO]\r\na3={P}\r\na4=C:\\Apps\r\n[DIALOGLIST]\r\nTOTAL1=2\r\nW0=progress.lcd\r\n"
                "W1=complete.lcd\r\n[MERGEMODULES]\r\nTOTAL=1\r\nC0=<ResourceDir>\\Runtime.exe\r\nE0=127\r\n");
    Start();
    ASSERT_EQ(Page().LayoutFile(), "progress.lcd");
    arrange();
    fake.ui.shown.clear();
    Page().OnTimer(kInstallTimer);
    ASSERT_EQ(fake.ui.shown.size(), 1u);
    EXPECT_EQ(fake.ui.shown[0].text.rfind("Error Number: ", 0), 0u) << fake.ui.shown[0].text;
    EXPECT_EQ(Page().LayoutFile(), "complete.lcd");
    EXPECT_EQ(app->Flags().cancelled, kOn) << "the completion page shows its aborted texts";
    EXPECT_EQ(CompletionPagesShown(), 1);
    EXPECT_EQ(app->ExitCodeFor(fake.ui.quitCode.value_or(0)), kExitFailed);
    EXPECT_FALSE(fake.files.Exists(kWork));
    fake.shell.threadsPrepare = true;
  }
}

TEST_F(PageFlowTest, DialogsAndTheFolderBrowserBelongToThePageShown) {
  Theme("destination.lcd", "[INFO]\r\nTOTAL=2\r\n0=x,1,1,80,25,BUTTON,-,x,0\r\n1=x,90,1,80,25,BUTTON,-,x,1\r\n"
                           "[DADOS]\r\n0,t=1\r\n0,0=N|IDC_BROWSE|0\r\n1,t=1\r\n1,0=N|IDCANCEL|0\r\n");
  PackProject("[DIALOGLIST]\r\nTOTAL1=1\r\nW0=destination.lcd\r\n");
  Start();
  Click("IDC_BROWSE");
  EXPECT_EQ(fake.shell.browseOwners, (std::vector<PageWindow*>{&Window()}));
  fake.ui.dialogResults = {2};
  Click("IDCANCEL");
  ASSERT_FALSE(fake.ui.dialogs.empty());
  EXPECT_EQ(fake.ui.dialogs.back().owner, &Window()) << "the cancel question is the page's";
}

TEST_F(PageFlowTest, FinishUsesTheFolderTheUserChoseAndRunsOnce) {
  fake.files.MakeFolders("C:\\Chosen");
  for (const char* file : {"run.exe", "readme.txt", "tool.dll"}) fake.files.WriteAll(std::string("C:\\Chosen\\") + file, "x");
  fake.shell.exportResults["Ready"] = 0;
  PackProject("[APPINFO]\r\na4=C:\\Default\r\n[DIALOGLIST]\r\nTOTAL1=0\r\nCT10=<InstallDir>run.exe\r\n"
              "CT11=-in <InstallDir>\r\nCT13=<InstallDir>readme.txt\r\n"
              "[FILEACTION]\r\nTOTAL=1\r\nB0=<InstallDir>tool.dll\r\nC0=Ready\r\nE0=After Click Finish Button\r\nL0=127\r\n");
  Start();
  app->Frame()->SetInstallDir("C:\\Chosen\\");  // as the folder dialog leaves it
  app->Frame()->ChooseLaunchFile(true);
  app->Frame()->ChooseReadme(true);
  Flow().Finish();
  Flow().Finish();  // a second click on Finish
  EXPECT_EQ(fake.shell.opened, (std::vector<std::string>{"C:\\Chosen\\run.exe|-in C:\\Chosen\\|C:\\Chosen",
                                                          "C:\\Chosen\\readme.txt||"}));
  EXPECT_EQ(fake.shell.exportCalls, (std::vector<std::string>{"c:\\chosen\\tool.dll|Ready|C:\\Chosen\\"}));
}

TEST_F(PageFlowTest, FinishLaunchesWhatWasChosenAndAsksForARestart) {
  fake.files.MakeFolders("C:\\Apps");
  fake.files.WriteAll("C:\\Apps\\run.exe", "MZ");
  PackProject("[DIALOGLIST]\r\nTOTAL1=0\r\nCT10=C:\\Apps\\run.exe\r\nCT11=-go\r\nCT13=C:\\Apps\\none.txt\r\nCT14=Yes\r\n");
  Start();
  app->Frame()->ChooseLaunchFile(true);
  app->Frame()->ChooseReadme(true);
  fake.ui.dialogResults = {1};
  Flow().Finish();
  EXPECT_EQ(fake.shell.opened, (std::vector<std::string>{"C:\\Apps\\run.exe|-go|C:\\Apps"}))
      << "the launch file from its own folder; a missing readme is skipped";
  EXPECT_EQ(fake.shell.restarts, 1);
  EXPECT_EQ(fake.ui.quitCode.value_or(-1), 0);

  Start();
  app->Flags().cancelled = kOn;
  fake.ui.dialogResults = {1};
  Flow().Finish();
  EXPECT_EQ(fake.shell.restarts, 1) << "no restart question after a cancel";

  Start();
  fake.shell.restartAllowed = false;
  fake.ui.dialogResults = {1};
  Flow().Finish();
  ASSERT_FALSE(fake.ui.shown.empty());
  EXPECT_EQ(fake.ui.shown.back().text, "Can't restart! Please restart manually your computer!\r\nAccess is denied");
}

}  // namespace
}  // namespace tw
