// The windows around the wizard: the splash's closing rules, the billboard schedule, and the
// background's colours and gradient.
#include <gtest/gtest.h>

#include "project/host_flags.h"
#include "app/page_flow.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "skin/skin_page.h"
#include "startup_fixture.h"
#include "support/background.h"
#include "support/billboards.h"
#include "support/splash_window.h"
#include "test_pictures.h"

namespace tw {
namespace {

class Decorations : public ::testing::Test {
 protected:
  Decorations() : trace(fake.files, fake.system) { fake.files.MakeFolders("C:\\dist"); }
  FakeDecorationWindow& Last() { return *fake.ui.decorations.back(); }

  FakePlatform fake;
  Trace trace;
  HostFlags flags;
};

TEST_F(Decorations, TheSplashClosesAtThePeriodAfterTheStartPageIsReady) {
  fake.files.WriteAll("C:\\dist\\setup.big.gif", test::BuildGif(200, 100, {test::Frame(5), test::Frame(5)}));
  ProjectSettings settings("[SPLASH]\r\na1=Yes\r\na2=D:\\art\\logo.big.gif\r\na3=4\r\n");
  CSplashWindow splash(fake.platform, flags, trace);
  ASSERT_TRUE(splash.Open(settings, "C:\\dist\\"));
  FakeDecorationWindow& window = Last();
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.placement, (Rect{412, 334, 612, 434})) << "centred on the 1024 x 768 screen";
  EXPECT_EQ(window.timers, (std::map<int, int>{{kSplashPeriod, 4000}}));
  splash.OnTimer(kSplashPeriod);
  EXPECT_TRUE(splash.IsOpen()) << "the start page is not ready yet";
  flags.startPageReady = kOn;
  splash.OnTimer(kSplashPeriod);
  EXPECT_FALSE(splash.IsOpen());
  EXPECT_EQ(flags.splashDone, kOn);
}

TEST_F(Decorations, ASoundOnlySplashStaysHiddenAndADiskImageBuildClosesOnTime) {
  fake.files.WriteAll("C:\\dist\\setup.wav", "RIFF");
  flags.useDiskImages = kOn;
  ProjectSettings settings("[SPLASH]\r\na5=Yes\r\na6=music.wav\r\na7=Loop\r\n");
  CSplashWindow splash(fake.platform, flags, trace);
  ASSERT_TRUE(splash.Open(settings, "C:\\dist\\"));
  FakeDecorationWindow& window = Last();
  EXPECT_FALSE(window.visible);
  EXPECT_EQ(window.timers, (std::map<int, int>{{kSplashPoll, 1000}, {kSplashSound, 1500}, {kSplashDiskImages, 0}}));
  splash.OnTimer(kSplashSound);
  ASSERT_EQ(fake.shell.sounds.size(), 1u);
  EXPECT_EQ(fake.shell.sounds[0], std::make_pair(std::string("C:\\dist\\setup.wav"), true)) << "repeats";
  splash.OnTimer(kSplashDiskImages);
  EXPECT_FALSE(splash.IsOpen());
  EXPECT_EQ(flags.startPageReady, kOn);
  EXPECT_EQ(flags.splashDone, kOn);
}

TEST_F(Decorations, BillboardsFollowTheirScheduleAndFallBackToTheDiskImage) {
  fake.files.MakeFolders("C:\\work");
  fake.files.MakeFolders("C:\\dist\\DiskImage1");
  fake.files.WriteAll("C:\\work\\one.bmp", test::BuildBmp(40, 30));
  fake.files.WriteAll("C:\\dist\\DiskImage1\\two.bmp", test::BuildBmp(50, 20));
  ProjectSettings settings(
      "[BILLBOARDSTW]\r\nTOTAL=3\r\nB0=X:\\art\\one.bmp\r\nC0=5\r\nB1=two.bmp\r\nC1=5\r\nD1=300\r\nE1=200\r\n"
      "B2=gone.bmp\r\nC2=10\r\n");
  CBillBoardTH show(fake.platform, trace, LoadBillboards(settings), "C:\\work\\", "C:\\dist");
  ASSERT_TRUE(show.Start());
  FakeDecorationWindow& window = Last();
  EXPECT_EQ(window.placement, (Rect{1, 1, 41, 31})) << "no position counts as (1, 1)";
  EXPECT_EQ(window.timers.at(kBillboardTimer), 5000);
  show.OnTimer(kBillboardTimer);
  EXPECT_EQ(window.placement, (Rect{300, 200, 350, 220}));
  show.OnTimer(kBillboardTimer);
  EXPECT_EQ(window.timers.at(kBillboardTimer), 10000);
  EXPECT_EQ(window.placement, (Rect{300, 200, 350, 220})) << "a missing picture keeps the last one";
  show.OnTimer(kBillboardTimer);
  EXPECT_TRUE(window.ended) << "the window closes after the last picture's time";
  EXPECT_TRUE(window.timers.empty());
}

TEST_F(Decorations, NoBillboardsStartNoThread) {
  EXPECT_EQ(StartBillboards(fake.platform, trace, ProjectSettings("[BILLBOARDSTW]\r\nTOTAL=0\r\n"), "C:\\work\\"),
            nullptr);
  EXPECT_TRUE(fake.ui.uiThreads.empty());
  std::unique_ptr<UiThread> thread =
      StartBillboards(fake.platform, trace, ProjectSettings("[BILLBOARDSTW]\r\nTOTAL=1\r\nB0=a.bmp\r\n"), "C:\\work\\");
  ASSERT_NE(thread, nullptr);
  EXPECT_EQ(fake.ui.uiThreads.size(), 1u);
  EXPECT_EQ(fake.ui.endedUiThreads, 0);
  thread.reset();
  EXPECT_EQ(fake.ui.endedUiThreads, 1) << "letting the handle go ends the thread";
}

TEST_F(Decorations, TheBackgroundGradientAndColours) {
  ColorRef blue = ParseBackgroundColour("Blue@0x00,0x00,0xFF");
  ColorRef black = ParseBackgroundColour("Black@0x00,0x00,0x00");
  EXPECT_EQ(blue, MakeColor(0, 0, 255));
  EXPECT_EQ(ParseBackgroundColour("Odd@0x40,0x80,0xC0"), MakeColor(0, 128, 192)) << "0x40 counts as 0";
  EXPECT_EQ(GradientRow(blue, black, 0, 600), MakeColor(0, 0, 255));
  EXPECT_EQ(GradientRow(blue, black, 300, 600), MakeColor(0, 0, 128));
  EXPECT_EQ(GradientRow(blue, black, 599, 600), MakeColor(0, 0, 1));

  ProjectSettings settings("[BACKGROUND]\r\n0=1\r\n1=Acme Writer\r\n2=Version 2\r\n3=Blue@0x00,0x00,0xFF\r\n");
  CBackground background(fake.platform, trace);
  ASSERT_TRUE(background.Open(settings));
  background.ShowPicture("C:\\missing.bmp");
  EXPECT_EQ(Last().backdrop.title, "Corvane Tarnwick");
  ASSERT_EQ(Last().backdrop.texts.size(), 2u);
  EXPECT_EQ(Last().backdrop.texts[1].text, "Version 2");
  EXPECT_EQ(Last().canvas, nullptr) << "no picture, gradient and texts only";
  EXPECT_FALSE(CBackground(fake.platform, trace).Open(ProjectSettings("[BACKGROUND]\r\n0=Yes\r\n")));
}

// The whole start of a disk-image build, which has no start page: the frame's timer waits.
class SplashStart : public StartupFixture {};

TEST_F(SplashStart, TheBillboardThreadEndsWithTheFrame) {
  fake.files.MakeFolders("C:\\dist\\theme");
  fake.files.WriteAll("C:\\dist\\theme\\welcome.lcd", "[INFO]\r\nTOTAL=0\r\n");
  PackProject("[BILLBOARDSTW]\r\nTOTAL=1\r\nB0=a.bmp\r\nC0=5\r\n[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n");
  Start();
  ASSERT_EQ(fake.ui.uiThreads.size(), 1u);
  EXPECT_EQ(fake.ui.endedUiThreads, 0) << "on show while the wizard runs";
  app.reset();
  EXPECT_EQ(fake.ui.endedUiThreads, 1) << "stopped and joined before the frame is gone";
}

TEST_F(SplashStart, TheFirstPageWaitsForTheSplash) {
  fake.files.WriteAll("C:\\dist\\setup.gif", test::BuildGif(20, 10, {test::Frame(std::nullopt)}));
  fake.files.MakeFolders("C:\\dist\\theme");
  fake.files.WriteAll("C:\\dist\\theme\\welcome.lcd", "[INFO]\r\nTOTAL=0\r\n");
  PackProject("[SPLASH]\r\na1=Yes\r\na2=x.gif\r\n[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n");
  Start();
  PageFlow& flow = *app->Frame()->Flow();
  EXPECT_EQ(flow.CurrentPage(), nullptr);
  ASSERT_EQ(fake.ui.frameTimers.size(), 1u);
  int timer = fake.ui.frameTimers.begin()->first;
  fake.ui.Tick(timer);
  EXPECT_EQ(flow.PageIndex(), -1) << "the splash is still up";
  fake.ui.decorations.front()->End();
  app->Flags().splashDone = kOn;
  fake.ui.Tick(timer);
  EXPECT_EQ(flow.CurrentPage()->LayoutFile(), "welcome.lcd");
  EXPECT_TRUE(fake.ui.frameTimers.empty());
}

}  // namespace
}  // namespace tw
