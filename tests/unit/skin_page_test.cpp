// The page model over the fake UI: window settings, control creation, placement, click dispatch,
// cancel, keys and the install timer.
#include <gtest/gtest.h>

#include "project/host_flags.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "platform/fake/fake_platform.h"
#include "skin/skin_page.h"
#include "test_pictures.h"

namespace tw {
namespace {

// Records what the page tells the wizard; the standard pages' hooks are counted.
class TestHost : public PageHost, public StandardPageBehaviour {
 public:
  explicit TestHost(FakePlatform& fake) : fake_(fake) {}
  Platform& GetPlatform() override { return fake_.platform; }
  HostFlags& Flags() override { return flags; }
  const ProjectSettings& Settings() const override { return settings; }
  std::string ExpandPlaceholders(const std::string& text) const override {
    std::string out = text;
    ReplaceAll(out, "<ProductName>", "Acme");
    return out;
  }
  bool ConfirmCancel() override {
    ++confirmations;
    return confirmAnswer;
  }
  void RemoveWorkFolderNow() override { ++removals; }
  void ReportClick(const PageReport& report) override { reports.push_back(report); }
  void StartInstallation() override { ++installs; }
  StandardPageBehaviour& StandardPages() override { return *this; }
  CSkinPage* CurrentPage() override { return nullptr; }
  bool HandleOwnClick(CSkinPage&, const std::string& name) override {
    hooks.push_back("own:" + name);
    return true;
  }
  bool CustomerCheck(CSkinPage&) override {
    hooks.push_back("customer");
    return customerAccepts;
  }
  bool HandleChoiceClick(CSkinPage&, const std::string& name) override {
    hooks.push_back("choice:" + name);
    return true;
  }
  void ChangeLanguage(CSkinPage&) override { hooks.push_back("language"); }

  HostFlags flags;
  ProjectSettings settings;
  bool confirmAnswer = true, customerAccepts = true;
  int confirmations = 0, removals = 0, installs = 0;
  std::vector<PageReport> reports;
  std::vector<std::string> hooks;

 private:
  FakePlatform& fake_;
};

class SkinPageTest : public ::testing::Test {
 protected:
  CSkinPage& Load(const std::string& layout, const std::string& file = "welcome.lcd", int position = 1,
                  int count = 5) {
    fake.files.MakeFolders("C:\\theme");
    fake.files.WriteAll("C:\\theme\\" + file, layout);
    page = std::make_unique<CSkinPage>(host);
    page->LoadLayout("C:\\theme\\", file, position, count);
    return *page;
  }
  FakePageWindow& Window() { return static_cast<FakePageWindow&>(page->Window()); }
  FakeWidget& WidgetNamed(const std::string& name) { return *Window().WidgetById(page->FindControlByName(name)); }
  void Click(const std::string& name) { page->OnCommand(page->FindControlByName(name), 0); }

  FakePlatform fake;
  TestHost host{fake};
  std::unique_ptr<CSkinPage> page;
};

const char kButtons[] =
    "[MAINWINDOW]\r\ncaption=<ProductName> Setup\r\nwidth=500\r\nheight=400\r\n"
    "[INFO]\r\nTOTAL=4\r\n"
    "0=x,10,300,80,25,BUTTON,-,x,0\r\n1=x,100,300,80,25,BUTTON,-,x,1\r\n"
    "2=x,190,300,80,25,BUTTON,-,x,2\r\n3=x,280,300,80,25,CHECKBOX,-,x,3\r\n"
    "[DADOS]\r\n0,t=2\r\n0,0=Name|IDC_BACK|0\r\n0,1=Caption|< Back|0\r\n"
    "1,t=2\r\n1,0=Name|IDC_NEXT|0\r\n1,1=Caption|Next >|0\r\n"
    "2,t=2\r\n2,0=Name|IDCANCEL|0\r\n2,1=Caption|Cancel|0\r\n"
    "3,t=2\r\n3,0=Name|IDC_LAUNCHREADME|0\r\n3,1=Text|Show readme|0\r\n";

TEST_F(SkinPageTest, IdsRunFromTheLastLineAndRecordsKeepLineOrder) {
  CSkinPage& p = Load(kButtons);
  EXPECT_EQ(p.FindControlByName("IDC_LAUNCHREADME"), 3000);
  EXPECT_EQ(p.FindControlByName("IDC_BACK"), 3003);
  EXPECT_EQ(p.Records().front().name, "IDC_BACK");
  ASSERT_EQ(Window().widgets.size(), 4u);
  EXPECT_EQ(Window().widgets[0]->id, 3000) << "windows stack in creation order";
  EXPECT_EQ(p.FindKindIndex(3003), 2);
  EXPECT_EQ(p.FindControlByName("IDC_NOPE"), -1);
  EXPECT_EQ(Window().title, "Acme Setup");
}

TEST_F(SkinPageTest, NamedButtonRulesFollowThePagePosition) {
  Load(kButtons, "welcome.lcd", 0, 5);
  EXPECT_TRUE(WidgetNamed("IDC_NEXT").look.defaultButton);
  EXPECT_FALSE(WidgetNamed("IDC_BACK").look.enabled) << "no way back from the first page";
  EXPECT_TRUE(WidgetNamed("IDCANCEL").look.enabled);
  Load(kButtons, "complete.lcd", 4, 5);
  EXPECT_FALSE(WidgetNamed("IDC_BACK").look.enabled);
  EXPECT_FALSE(WidgetNamed("IDCANCEL").look.enabled) << "nothing to cancel on the last page";
}

TEST_F(SkinPageTest, PlacementCorrectsForThinCaptions) {
  fake.system.captionHeight = 18;
  Load(kButtons);
  ASSERT_TRUE(Window().placement.has_value());
  EXPECT_EQ(*Window().placement, (Rect{262, 188, 762, 581})) << "400 high less 7 for an 18-pixel caption";
  fake.system.captionHeight = 30;
  Load(std::string(kButtons) + "[MAINWINDOW]\r\n");
  EXPECT_EQ(Window().placement->Height(), 400);
  Load("[MAINWINDOW]\r\nstartup=5 - Bottom right\r\nwidth=100\r\nheight=25\r\n");
  EXPECT_EQ(*Window().placement, (Rect{924, 708, 1024, 733}));
  Load("[MAINWINDOW]\r\nstartup=1\r\nwidth=100\r\nheight=100\r\n");
  EXPECT_FALSE(Window().placement.has_value()) << "code 1 leaves the window where it was made";
}

TEST_F(SkinPageTest, NavigationClicksAreReportedAndEndThePage) {
  CSkinPage& p = Load(kButtons);
  Click("IDC_NEXT");
  ASSERT_EQ(host.reports.size(), 1u);
  EXPECT_EQ(host.reports[0].name, "IDC_NEXT");
  EXPECT_EQ(host.reports[0].controlId, p.FindControlByName("IDC_NEXT"));
  EXPECT_EQ(host.reports[0].layoutFile, "welcome.lcd");
  EXPECT_TRUE(Window().ended);
  p.OnCommand(p.FindControlByName("IDC_BACK"), 1);
  EXPECT_EQ(host.reports.size(), 1u) << "only clicks (code 0) are dispatched";
}

TEST_F(SkinPageTest, CheckBoxesToggleAndStillRunTheirChoice) {
  Load(kButtons);
  FakeWidget& box = WidgetNamed("IDC_LAUNCHREADME");
  EXPECT_FALSE(box.look.checked);
  Click("IDC_LAUNCHREADME");
  EXPECT_TRUE(box.look.checked);
  EXPECT_EQ(host.hooks, (std::vector<std::string>{"choice:IDC_LAUNCHREADME"}));
  Click("IDC_LAUNCHREADME");
  EXPECT_FALSE(box.look.checked);
  EXPECT_TRUE(host.reports.empty()) << "a standard choice is not reported";
}

TEST_F(SkinPageTest, CancelAsksFirstAndThenStopsEverything) {
  CSkinPage& p = Load(kButtons);
  host.confirmAnswer = false;
  Click("IDCANCEL");
  EXPECT_EQ(host.confirmations, 1);
  EXPECT_EQ(host.flags.cancelled, -1);
  EXPECT_TRUE(host.reports.empty());
  host.confirmAnswer = true;
  EXPECT_TRUE(p.OnKeyDown(kVirtualKeyEscape));
  EXPECT_EQ(host.flags.cancelRequested, 1);
  EXPECT_EQ(host.flags.cancelled, kOn);
  EXPECT_EQ(host.removals, 1);
  EXPECT_FALSE(WidgetNamed("IDCANCEL").look.enabled);
  ASSERT_EQ(host.reports.size(), 1u);
  EXPECT_EQ(host.reports[0].name, "IDC_NEXT");
  EXPECT_EQ(host.reports[0].controlId, 0);
  EXPECT_TRUE(Window().ended) << "a confirmed cancel closes the page that asked";
  EXPECT_TRUE(p.OnKeyDown(kVirtualKeyEnter)) << "Enter is swallowed";
  EXPECT_EQ(host.reports.size(), 1u);
  EXPECT_FALSE(p.OnKeyDown('A'));
}

TEST_F(SkinPageTest, TheCloseBoxEndsThePageOnlyWhenTheCancelIsConfirmed) {
  CSkinPage& p = Load(kButtons);
  host.confirmAnswer = false;
  p.OnCloseBox();
  EXPECT_EQ(host.confirmations, 1);
  EXPECT_FALSE(Window().ended) << "declining keeps the page";
  EXPECT_TRUE(host.reports.empty());
  host.confirmAnswer = true;
  p.OnCloseBox();
  EXPECT_TRUE(Window().ended);
  ASSERT_EQ(host.reports.size(), 1u);
  EXPECT_EQ(host.reports[0].name, "IDC_NEXT");
}

TEST_F(SkinPageTest, ClickActionsComeBeforeNamesAndEndTheDispatch) {
  const std::string layout =
      "[INFO]\r\nTOTAL=3\r\n0=x,1,1,80,25,BUTTON,-,x,0\r\n1=x,1,30,80,25,BUTTON,-,x,1\r\n"
      "2=x,1,60,80,25,BUTTON,-,x,2\r\n[DADOS]\r\n"
      "0,t=8\r\n0,0=N|IDC_NEXT|0\r\n0,1=C|Min|0\r\n0,2=a|1|0\r\n0,3=f|x|0\r\n0,4=s|8|0\r\n0,5=b|No|0\r\n"
      "0,6=i|No|0\r\n0,7=On Click|2 - Minimize Window|0\r\n"
      "1,t=9\r\n1,0=N|IDC_RUN|0\r\n1,1=C|Run|0\r\n1,2=a|1|0\r\n1,3=f|x|0\r\n1,4=s|8|0\r\n1,5=b|No|0\r\n"
      "1,6=i|No|0\r\n1,7=On Click|3 - Run App|0\r\n1,8=Target|<ProductName>.txt|0\r\n"
      "2,t=8\r\n2,0=N|IDC_BROWSE|0\r\n2,1=C|..|0\r\n2,2=a|1|0\r\n2,3=f|x|0\r\n2,4=s|8|0\r\n2,5=b|No|0\r\n"
      "2,6=i|No|0\r\n2,7=On Click|[Do Nothing]|0\r\n";
  Load(layout, "destination.lcd");
  Click("IDC_NEXT");
  EXPECT_TRUE(Window().minimized);
  EXPECT_TRUE(host.reports.empty()) << "a minimising button is not reported, whatever its name";
  Click("IDC_RUN");
  EXPECT_EQ(fake.shell.opened, (std::vector<std::string>{"Acme.txt"}));
  Click("IDC_BROWSE");
  EXPECT_EQ(host.hooks, (std::vector<std::string>{"own:IDC_BROWSE"}));
  EXPECT_TRUE(host.reports.empty());
}

TEST_F(SkinPageTest, TheCustomerCheckGuardsTheCustomerPage) {
  Load(kButtons, "customer.lcd");
  host.customerAccepts = false;
  Click("IDC_NEXT");
  EXPECT_EQ(host.hooks, (std::vector<std::string>{"customer"}));
  EXPECT_TRUE(host.reports.empty());
  EXPECT_FALSE(Window().ended);
}

TEST_F(SkinPageTest, OnlyTheFirst31ControlsDispatchClicks) {
  std::string layout = "[INFO]\r\nTOTAL=40\r\n";
  for (int i = 0; i < 40; ++i)
    layout += std::to_string(i) + "=x,1,1,80,25," + (i < 15 ? "BUTTON" : i < 30 ? "TEXT" : "CHECKBOX") + ",-,x,99\r\n";
  CSkinPage& p = Load(layout);
  ASSERT_EQ(p.Records().size(), 40u);
  p.OnCommand(3030, 0);
  EXPECT_EQ(host.reports.size(), 1u);
  p.OnCommand(3031, 0);
  EXPECT_EQ(host.reports.size(), 1u);
}

TEST_F(SkinPageTest, ExcessControlsAreRefused) {
  std::string layout = "[INFO]\r\nTOTAL=20\r\n";
  for (int i = 0; i < 20; ++i) layout += std::to_string(i) + "=x,1,1,80,25,BUTTON,-,x,99\r\n";
  CSkinPage& p = Load(layout);
  EXPECT_EQ(p.Records().size(), 15u) << "fifteen of one kind";
  EXPECT_EQ(p.FindKindIndex(3014), 14);
  std::string unknown = "[INFO]\r\nTOTAL=2\r\n0=x,1,1,80,25,WIDGET,-,x,0\r\n1=x,1,1,80,25,TEXT,-,x,0\r\n";
  EXPECT_EQ(Load(unknown).Records().size(), 1u) << "an unknown kind makes no control";
}

TEST_F(SkinPageTest, TheInstallTimerStartsTheInstallationOnce) {
  CSkinPage& p = Load(kButtons, "progress.lcd");
  p.StartInstallTimer();
  EXPECT_EQ(Window().timers.at(kInstallTimer), kInstallTimerMs);
  p.OnTimer(kInstallTimer);
  EXPECT_EQ(host.installs, 1);
  EXPECT_TRUE(Window().timers.empty());
  EXPECT_TRUE(Window().ended);
}

TEST_F(SkinPageTest, PicturesTakeTheirNaturalSize) {
  fake.files.MakeFolders("C:\\theme");
  fake.files.WriteAll("C:\\theme\\logo.bmp", test::BuildBmp(150, 75));
  CSkinPage& p = Load(
      "[INFO]\r\nTOTAL=2\r\n0=x,5,6,10,10,BITMAP,{logo.bmp},x,0\r\n1=x,5,6,10,10,BITMAP,{none.bmp},x,0\r\n");
  EXPECT_EQ(p.Records()[0].rect, (Rect{5, 6, 155, 81})) << "150 by 75 at 96 pixels per inch";
  EXPECT_EQ(p.Records()[1].rect, (Rect{5, 6, 15, 16})) << "no picture: the line's own size";
}

TEST_F(SkinPageTest, AMissingLayoutGivesAnEmptyPage) {
  fake.files.MakeFolders("C:\\theme");
  page = std::make_unique<CSkinPage>(host);
  page->LoadLayout("C:\\theme\\", "nothing.lcd", 0, 1);
  EXPECT_TRUE(Window().widgets.empty());
  EXPECT_EQ(Window().title, "");
  EXPECT_EQ(Window().backColor, fake.system.faceColor);
  EXPECT_TRUE(Window().pageFont.bold && Window().pageFont.italic);
}

TEST_F(SkinPageTest, ProgressAndStatusReachTheirControls) {
  const std::string layout =
      "[INFO]\r\nTOTAL=3\r\n0=x,1,1,200,20,PROGRESS,-,x,0\r\n1=x,1,30,200,20,TEXT,-,x,1\r\n"
      "2=x,1,60,200,20,PROGRESS,-,x,2\r\n"
      "[DADOS]\r\n0,t=1\r\n0,0=N|IDC_PROGRESS1|0\r\n1,t=1\r\n1,0=N|IDC_INFO|0\r\n2,t=1\r\n"
      "2,0=N|IDC_DOWNLOADPROGRESS|0\r\n";
  CSkinPage& p = Load(layout, "progress.lcd");
  EXPECT_FALSE(WidgetNamed("IDC_DOWNLOADPROGRESS").look.visible);
  p.SelectInstallProgress(p.FindKindIndex(p.FindControlByName("IDC_PROGRESS1")));
  p.SetProgressRange(70000);
  p.SetProgressPos(12);
  EXPECT_EQ(WidgetNamed("IDC_PROGRESS1").look.rangeMax, 4464);
  EXPECT_EQ(WidgetNamed("IDC_PROGRESS1").look.position, 12);
  p.SetStatusText("Copying a.exe", 0);
  p.SetStatusText("ignored", 1);
  EXPECT_EQ(WidgetNamed("IDC_INFO").look.text, "Copying a.exe");
}

}  // namespace
}  // namespace tw
