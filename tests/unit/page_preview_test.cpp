// The page preview: sample values in the page, the confirmation from the language file beside the
// theme, a confirmed cancel that ends the page and removes nothing, and the page dump.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "skin/page_preview.h"
#include "skin/skin_page.h"

namespace tw {
namespace {

const char kLayout[] =
    "[MAINWINDOW]\n"
    "caption=<ProductName> Setup\n"
    "width=400\nheight=300\nstartup=0\nbkcolor=10,20,30\nfontname=Tahoma\nfontsize=8\nfontbold=No\n"
    "fontitalic=No\n"
    "[INFO]\nTOTAL=2\n"
    "0=x,20,20,300,20,TEXT,{},x,0\n"
    "1=x,20,60,150,20,CHECKBOX,{},x,1\n"
    "[DADOS]\n"
    "0,t=2\n0,0=Name|IDC_DEST|0\n0,1=Caption|Into <InstallDir>|0\n"
    "1,t=2\n1,0=Name|IDC_AGREE|0\n1,1=Text|I agree|0\n";

class PagePreviewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fake.files.MakeFolders("C:\\project\\theme");
    fake.files.WriteAll("C:\\project\\theme\\page.lcd", kLayout);
  }
  CSkinPage& Load() {
    host = std::make_unique<PreviewHost>(fake.platform, "C:\\project\\theme\\",
                                         [this](const std::string& line) { lines.push_back(line); });
    page = std::make_unique<CSkinPage>(*host);
    page->LoadLayout("C:\\project\\theme\\", "page.lcd", 0, 1);
    return *page;
  }
  FakePageWindow& Window() { return static_cast<FakePageWindow&>(page->Window()); }

  FakePlatform fake;
  std::vector<std::string> lines;
  std::unique_ptr<PreviewHost> host;
  std::unique_ptr<CSkinPage> page;
};

TEST_F(PagePreviewTest, PlaceholdersShowSampleValues) {
  Load();
  EXPECT_EQ("Sample Product Setup", Window().title);
  EXPECT_EQ("Into C:\\Program Files\\Sample Product\\", page->ControlByName("IDC_DEST")->Look().text);
}

TEST_F(PagePreviewTest, DeclinedCancelKeepsThePageAndAsksWithTheLanguageBesideTheTheme) {
  fake.files.WriteAll("C:\\project\\language.lan", "[CancelSetup]\n0=Stop [ProductName]?\n1=No\n2=Yes\n");
  Load();
  fake.ui.dialogResults = {2};
  page->OnKeyDown(kVirtualKeyEscape);
  ASSERT_EQ(1u, fake.ui.dialogs.size());
  EXPECT_EQ("Stop Sample Product?", fake.ui.dialogs[0].text.value_or(""));
  EXPECT_EQ(std::vector<std::string>{"event confirm-cancel answer=no"}, lines);
  EXPECT_FALSE(Window().ended);
}

TEST_F(PagePreviewTest, ConfirmedCancelEndsThePageAndRemovesNothing) {
  Load();
  fake.ui.dialogResults = {1};
  page->OnKeyDown(kVirtualKeyEscape);
  EXPECT_EQ((std::vector<std::string>{"event confirm-cancel answer=yes", "event remove-work-folder done=no",
                                      "report name=IDC_NEXT id=0 action=0"}),
            lines);
  EXPECT_TRUE(Window().ended);
}

TEST_F(PagePreviewTest, CheckBoxClickIsReportedWithItsMark) {
  Load();
  int id = page->FindControlByName("IDC_AGREE");
  page->OnCommand(id, 0);
  page->OnCommand(id, 0);
  std::string prefix = "report name=IDC_AGREE id=" + std::to_string(id) + " action=-1 checked=";
  EXPECT_EQ((std::vector<std::string>{prefix + "1", prefix + "0"}), lines);
}

TEST_F(PagePreviewTest, DescriptionListsWindowSettingsAndEveryControlInLineOrder) {
  std::string text = DescribePage(Load());
  EXPECT_NE(std::string::npos, text.find("window caption=\"Sample Product Setup\" size=400x300 placement=0"));
  EXPECT_NE(std::string::npos, text.find("background colour=10,20,30"));
  EXPECT_NE(std::string::npos, text.find("font Tahoma,8\n"));
  size_t first = text.find("control 0 name=IDC_DEST kind=TEXT id=3001 kind-index=0 rect=20,20,320,40 "
                           "text=\"Into C:\\Program Files\\Sample Product\\\"");
  size_t second = text.find("control 1 name=IDC_AGREE kind=CHECKBOX id=3000 kind-index=0 rect=20,60,170,80 "
                            "text=\"I agree\" enabled=yes visible=yes checked=no");
  EXPECT_NE(std::string::npos, first) << text;
  EXPECT_NE(std::string::npos, second) << text;
}

}  // namespace
}  // namespace tw
