// The control models over a page loaded from small layouts: names, start texts, sizes, colours,
// fills, alignment, fonts, links, pictures, icons, check marks, progress and the feature tree.
#include <gtest/gtest.h>

#include "project/host_flags.h"
#include "project/project_settings.h"
#include "platform/fake/fake_platform.h"
#include "skin/layout_file.h"
#include "skin/skin_basic_controls.h"
#include "skin/skin_feature_tree.h"
#include "skin/skin_option_button.h"
#include "skin/skin_page.h"

namespace tw {
namespace {

class ControlsHost : public PageHost, public StandardPageBehaviour {
 public:
  explicit ControlsHost(FakePlatform& fake) : fake_(fake) {}
  Platform& GetPlatform() override { return fake_.platform; }
  HostFlags& Flags() override { return flags; }
  const ProjectSettings& Settings() const override { return settings; }
  std::string ExpandPlaceholders(const std::string& text) const override {
    return text == "<ProductName>" ? "Acme" : text;
  }
  bool ConfirmCancel() override { return false; }
  void RemoveWorkFolderNow() override {}
  void ReportClick(const PageReport&) override {}
  void StartInstallation() override {}
  StandardPageBehaviour& StandardPages() override { return *this; }
  CSkinPage* CurrentPage() override { return current; }
  void SetFeatureState(const std::string& feature, int state) override {
    featureStates.emplace_back(feature, state);
  }

  HostFlags flags;
  ProjectSettings settings;
  CSkinPage* current = nullptr;
  std::vector<std::pair<std::string, int>> featureStates;

 private:
  FakePlatform& fake_;
};

// The smallest bitmap file the picture decoder reads a size from.
std::string BitmapBytes(uint32_t width, uint32_t height) {
  std::string bytes = "BM" + std::string(52, '\0');
  auto put = [&](size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  put(14, 40);
  put(18, width);
  put(22, height);
  return bytes;
}

class SkinControlsTest : public ::testing::Test {
 protected:
  SkinControlsTest() { fake.files.MakeFolders("C:\\theme"); }

  // One control line per entry of lines ("x,y,w,h,KIND,image"), each with its own property block
  // made of the "|"-joined values in blocks (the same index).
  CSkinPage& Load(const std::vector<std::string>& lines, const std::vector<std::vector<std::string>>& blocks = {}) {
    std::string layout = "[MAINWINDOW]\r\nfontname=Tahoma\r\nfontsize=8\r\n[INFO]\r\nTOTAL=" +
                         std::to_string(lines.size()) + "\r\n";
    for (size_t i = 0; i < lines.size(); ++i)
      layout += std::to_string(i) + "=x," + lines[i] + ",x," + std::to_string(i) + "\r\n";
    layout += "[DADOS]\r\n";
    for (size_t i = 0; i < blocks.size(); ++i) {
      layout += std::to_string(i) + ",t=" + std::to_string(blocks[i].size()) + "\r\n";
      for (size_t j = 0; j < blocks[i].size(); ++j)
        layout += std::to_string(i) + "," + std::to_string(j) + "=P|" + blocks[i][j] + "|0\r\n";
    }
    fake.files.WriteAll("C:\\theme\\page.lcd", layout);
    page = std::make_unique<CSkinPage>(host);
    host.current = page.get();
    page->LoadLayout("C:\\theme\\", "page.lcd", 1, 5);
    return *page;
  }
  // The control of line i, by its place in the records.
  SkinControl& Control(size_t line) { return *page->ControlById(page->Records()[line].id); }
  const WidgetLook& Look(size_t line) {
    return static_cast<FakePageWindow&>(page->Window()).WidgetById(page->Records()[line].id)->look;
  }
  void AddPicture(const std::string& path, int width, int height) {
    fake.files.WriteAll(path, BitmapBytes(static_cast<uint32_t>(width), static_cast<uint32_t>(height)));
  }
  FakeWidget& Widget(size_t line) {
    return *static_cast<FakePageWindow&>(page->Window()).WidgetById(page->Records()[line].id);
  }

  FakePlatform fake;
  ControlsHost host{fake};
  std::unique_ptr<CSkinPage> page;
  const std::string face = ColorText(fake.system.faceColor);
};

TEST_F(SkinControlsTest, TooSmallControlsGetTheStandardSize) {
  struct Case {
    const char* line;
    int width, height;
  } cases[] = {
      {"0,0,20,20,BUTTON,-", 20, 20},  // only the width is small
      {"0,0,20,5,BUTTON,-", 90, 25},
      {"0,0,20,9,BUTTON,-", 90, 25},
      {"0,0,20,9,TEXT,-", 20, 9},      // a line of text may be that low
      {"0,0,20,7,PROGRESS,-", 90, 25},
      {"0,0,300,5,TEXT,-", 300, 5},
  };
  for (const Case& c : cases) {
    Load({c.line});
    EXPECT_EQ(page->Records()[0].rect.Width(), c.width) << c.line;
    EXPECT_EQ(page->Records()[0].rect.Height(), c.height) << c.line;
  }
}

TEST_F(SkinControlsTest, NamesComeFromTheKindOrFromValueZero) {
  Load({"0,0,80,25,BUTTON,-", "0,0,80,25,BUTTON,-", "0,0,80,25,BITMAP,-", "0,0,80,25,TEXT,-",
        "0,0,80,25,COMBOBOX,-", "0,0,80,25,RECT,-"},
       {{"IDC_NEXT"}, {}, {"IDC_LOGO"}, {"IDC_TITLE"}, {"IDC_LANGUAGE"}, {"IDC_BAR"}});
  const char* expected[] = {"IDC_NEXT", "", "IDB_BITMAP1", "IDC_TITLE", "IDC_LANGUAGE", "IDC_RECT1"};
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(page->Records()[i].name, expected[i]) << i;
}

TEST_F(SkinControlsTest, StartTextsStayOnlyWhereNoValueOneReplacesThem) {
  Load({"0,0,80,25,BUTTON,-", "0,0,80,25,CHECKBOX,-", "0,0,80,25,LISTVIEW,-", "0,0,80,25,ANIMATION,-",
        "0,0,80,25,TEXTBOX,-", "0,0,80,25,GROUPBOX,-", "0,0,80,25,RADIO,-"},
       {{"IDC_B", ""}, {}, {}, {}, {"IDC_T", "typed by the author"}, {"", "<ProductName>"},
        {"IDC_R", "<ProductName>"}});
  EXPECT_EQ(Look(0).text, "");
  EXPECT_EQ(Look(1).text, "");
  EXPECT_EQ(Look(2).text, "ListView1");
  EXPECT_EQ(Look(3).text, "Animation Box 1");
  EXPECT_EQ(Look(4).text, "") << "text boxes start empty";
  EXPECT_EQ(Look(5).text, "<ProductName>") << "group boxes are not expanded";
  EXPECT_EQ(Look(6).text, "Acme");
}

TEST_F(SkinControlsTest, LabelFillsUnlessItSpellsOutTheFaceColour) {
  struct Case {
    std::string fill;
    bool filled;
    ColorRef color;
  } cases[] = {
      {face, false, fake.system.faceColor},
      {"COLOR_BTNFACE", true, fake.system.faceColor},
      {"", true, fake.system.faceColor},
      {"10,20,30", true, MakeColor(10, 20, 30)},
  };
  for (const Case& c : cases) {
    Load({"0,0,80,25,TEXT,-"}, {{"", "Hi", "", "", c.fill}});
    EXPECT_EQ(Look(0).filled, c.filled) << c.fill;
    EXPECT_EQ(Look(0).fillColor, c.color) << c.fill;
  }
  Load({"0,0,80,25,LISTVIEW,-", "0,0,80,25,HOTSPOT,-"});
  EXPECT_TRUE(Look(0).filled);
  EXPECT_EQ(Look(0).fillColor, MakeColor(255, 255, 255)) << "a list view starts white";
  EXPECT_FALSE(Look(1).filled) << "a hotspot shows only its border";
  EXPECT_TRUE(Look(1).border);
}

TEST_F(SkinControlsTest, AlignmentReadsTheFirstCharacter) {
  struct Case {
    const char* value;
    unsigned format;
  } cases[] = {
      {"", kTextCenter | kTextWordBreak},
      {"0 - Center", kTextCenter | kTextWordBreak},
      {"1 - Left", kTextWordBreak},
      {"2 - Right", kTextRight | kTextWordBreak},
      {"7 - Odd", 0},
  };
  for (const Case& c : cases) {
    Load({"0,0,80,25,TEXT,-"}, {{"", "Hi", c.value}});
    EXPECT_EQ(Look(0).textFormat, c.format) << c.value;
  }
}

TEST_F(SkinControlsTest, LabelFontSwitchesOffOnlyForExactlyNo) {
  Load({"0,0,80,25,TEXT,-", "0,0,80,25,BUTTON,-"},
       {{"", "", "", "", "", "Arial", "12", "No", "no"}, {"IDC_B", "", "", "Verdana", "9", "", "No"}});
  EXPECT_EQ(Look(0).font, (FontSpec{"Arial", 12, false, true, false}));
  EXPECT_EQ(Look(1).font, (FontSpec{"Verdana", 9, true, false, false}));
}

TEST_F(SkinControlsTest, LinkLookWinsOverTheTextColour) {
  Load({"0,0,80,25,TEXT,-", "0,0,80,25,TEXT,-"},
       {{"", "site", "", "255,0,0", "", "Arial", "8", "No", "No", "Yes"},
        {"", "plain", "", "255,0,0", "", "Arial", "8", "No", "No", "yes"}});
  EXPECT_EQ(Look(0).textColor, MakeColor(0, 0, 255));
  EXPECT_TRUE(Look(0).font->underline);
  EXPECT_EQ(page->Records()[0].Value(3), "0,0,255") << "the record tells the colour it is drawn in";
  EXPECT_EQ(Look(1).textColor, MakeColor(255, 0, 0));
  EXPECT_FALSE(Look(1).font->underline);
  EXPECT_EQ(page->Records()[1].Value(3), "255,0,0");
}

TEST_F(SkinControlsTest, OptionButtonColoursDefaultToBlackOnTheFace) {
  Load({"0,0,80,25,CHECKBOX,-", "0,0,80,25,RADIO,-"}, {{"IDC_C", "x"}, {"IDC_R", "x", "1,2,3", "4,5,6"}});
  EXPECT_EQ(Look(0).backColor, fake.system.faceColor);
  EXPECT_EQ(Look(0).textColor, MakeColor(0, 0, 0));
  EXPECT_EQ(Look(1).backColor, MakeColor(1, 2, 3));
  EXPECT_EQ(Look(1).textColor, MakeColor(4, 5, 6));
}

TEST_F(SkinControlsTest, CheckBoxMarkFlipsOncePerToggleAndRadioHasNone) {
  Load({"0,0,80,25,CHECKBOX,-", "0,0,80,25,RADIO,-"});
  auto& box = static_cast<CSkinOptionButton&>(Control(0));
  EXPECT_FALSE(box.IsChecked());
  box.Toggle();
  EXPECT_TRUE(Look(0).checked);
  box.Toggle();
  EXPECT_FALSE(Look(0).checked);
  Control(1).Toggle();
  EXPECT_FALSE(Look(1).checked);
}

TEST_F(SkinControlsTest, BuiltinIconsByExactName) {
  struct Case {
    const char* value;
    int resource;
  } cases[] = {{"IDI_EXCLAMATION", 141}, {"IDI_SETUP", 137}, {"IDI_FOLDER", 136}, {"IDI_setup", 0}, {"IDI_OTHER", 0}};
  for (const Case& c : cases) {
    Load({"0,0,10,10,ICON,-"}, {{"", c.value, "9,9,9"}});
    EXPECT_EQ(Look(0).iconResource, c.resource) << c.value;
    EXPECT_EQ(Look(0).fillColor, MakeColor(9, 9, 9));
    EXPECT_EQ(page->Records()[0].rect, (Rect{0, 0, 32, 32}));
  }
  EXPECT_TRUE(fake.ui.shown.empty()) << "an unknown IDI name is no file";
}

TEST_F(SkinControlsTest, IconFileShowsOrIsReportedMissing) {
  AddPicture("C:\\theme\\app.ico", 32, 32);
  Load({"0,0,10,10,ICON,-", "0,0,10,10,ICON,-"}, {{"", "{app.ico}"}, {"", "{gone.ico}"}});
  EXPECT_EQ(Look(0).picturePath, "C:\\theme\\app.ico");
  EXPECT_EQ(Look(1).picturePath, "");
  ASSERT_EQ(fake.ui.shown.size(), 1u);
  EXPECT_EQ(fake.ui.shown[0].text, "File not found: (C:\\theme\\gone.ico)");
}

TEST_F(SkinControlsTest, BitmapShowsItsPictureOnItsFill) {
  AddPicture("C:\\theme\\logo.bmp", 150, 75);
  Load({"5,6,10,10,BITMAP,{logo.bmp}", "0,0,10,10,BITMAP,{gone.bmp}", "0,0,10,10,HOVER,{logo.bmp}"},
       {{"", "", "0 - None"}, {"", "", "255,0,0"}});
  EXPECT_EQ(Look(0).picturePath, "C:\\theme\\logo.bmp");
  EXPECT_EQ(page->Records()[0].rect, (Rect{5, 6, 155, 81})) << "a picture takes its natural size";
  EXPECT_EQ(Look(0).fillColor, fake.system.faceColor);
  EXPECT_EQ(Look(1).picturePath, "");
  EXPECT_EQ(Look(1).fillColor, MakeColor(255, 0, 0));
  EXPECT_EQ(Look(2).fillColor, fake.system.faceColor);
  EXPECT_TRUE(fake.ui.shown.empty()) << "a missing bitmap is silent";
}

TEST_F(SkinControlsTest, ComboKeepsItsClosedHeightAndProgressSixteenBits) {
  Load({"10,20,100,200,COMBOBOX,-", "0,0,100,20,PROGRESS,-"});
  EXPECT_EQ(page->Records()[0].rect, (Rect{10, 20, 110, 20 + 17 + 9}));
  auto& bar = static_cast<CSkinProgress&>(Control(1));
  bar.SetRange(70000);
  bar.SetPos(1200);
  EXPECT_EQ(Look(1).rangeMax, 4464);
  EXPECT_EQ(Look(1).position, 1200);
}

class FeatureTreeTest : public SkinControlsTest {
 protected:
  void SetUp() override {
    host.settings = ProjectSettings(
        "[SETUPTYPE]\r\nTOTAL=3\r\nFeatureName0=Core\r\nDescription0=The program\r\n"
        "FeatureName1=Help\r\nDescription1=Old help\r\nFeatureName2=Help\r\nDescription2=Manuals\r\n");
    Load({"0,0,200,200,TREEVIEW,-", "0,0,200,40,TEXT,-"}, {{"IDC_TREE"}, {"IDC_FEATUREINFO"}});
    tree = static_cast<CSkinFeatureTree*>(&Control(0));
    tree->SetItems({"Core", "Help", "", "Extras"});
  }
  FakePageWindow& Window() { return static_cast<FakePageWindow&>(page->Window()); }

  CSkinFeatureTree* tree = nullptr;
};

TEST_F(FeatureTreeTest, MenuChoiceSetsTheFeatureStateAndImage) {
  Window().featureMenuAnswer = kFeatureMenuSkip;
  page->OnTreeSelection(tree->Record().id, 1);
  EXPECT_EQ(Look(1).text, "Manuals") << "the last feature of that name describes it";
  EXPECT_EQ(Widget(0).itemImages[1], 1);
  Window().featureMenuAnswer = kFeatureMenuInstall;
  page->OnTreeSelection(tree->Record().id, 1);
  EXPECT_EQ(Widget(0).itemImages[1], 0);
  EXPECT_EQ(host.featureStates, (std::vector<std::pair<std::string, int>>{{"Help", 255}, {"Help", 0}}));
}

TEST_F(FeatureTreeTest, NoChoiceOrNoTextChangesNothing) {
  Window().featureMenuAnswer = 0;
  page->OnTreeSelection(tree->Record().id, 0);
  EXPECT_EQ(Window().menusOpened, 1);
  EXPECT_EQ(Look(1).text, "The program");
  page->OnTreeSelection(tree->Record().id, 2);
  page->OnTreeSelection(tree->Record().id, 9);
  EXPECT_EQ(Window().menusOpened, 1) << "an empty entry offers no menu";
  Window().featureMenuAnswer = kFeatureMenuSkip;
  page->OnTreeSelection(tree->Record().id, 3);
  EXPECT_EQ(Look(1).text, "The program") << "a feature without a description leaves the text";
  EXPECT_EQ(Widget(0).itemImages[3], 1);
  EXPECT_EQ(host.featureStates.size(), 1u);
}

}  // namespace
}  // namespace tw
