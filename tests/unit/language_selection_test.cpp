// Language selection over the fakes: the caption rewrite of the standard layouts, detection by the
// system's language, and the language page.
#include "app/language_selection.h"
#include "app/page_flow.h"
#include "skin/skin_page.h"
#include "startup_fixture.h"

namespace tw {
namespace {

// A welcome page whose controls use designer-style block numbers, and a license page with the two
// shared "Value" choices.
const char kWelcome[] =
    "[INFO]\r\nTOTAL=3\r\n0=a,1,1,80,25,BUTTON,{},b,3000\r\n1=a,90,1,80,25,TEXT,{},b,3001\r\n"
    "2=a,90,40,80,25,TEXT,{},b,3002\r\n"
    "[DADOS]\r\n3000,t=2\r\n3000,0=Name|IDC_NEXT|0\r\n3000,1=Caption|Next >|0\r\n"
    "3001,t=2\r\n3001,0=Name|IDC_STATIC1|0\r\n3001,1=Caption|Welcome|0\r\n"
    "3002,t=2\r\n3002,0=Name|IDC_STATIC2|0\r\n3002,1=Caption|Keep me|0\r\n";
const char kLicense[] =
    "[INFO]\r\nTOTAL=1\r\n0=a,1,1,80,25,RADIO,{},b,7\r\n"
    "[DADOS]\r\n7,t=2\r\n7,0=Name|IDC_ACCEPTLICENSE|0\r\n7,1=Caption|I accept|0\r\n";
const char kGerman[] =
    "[InstallWelcome]\r\n2={x}Weiter\r\n3=[ProductName] installieren\r\n"
    "[LicenseAgreement]\r\n1=wrong section\r\n[Value]\r\n1=Ich stimme zu\r\n";

class LanguageTest : public StartupFixture {
 protected:
  void Theme(const std::string& file, const std::string& layout) {
    fake.files.MakeFolders("C:\\dist\\theme");
    fake.files.WriteAll("C:\\dist\\theme\\" + file, layout);
  }
  std::string Layout(const std::string& file) { return fake.files.ReadAll("C:\\dist\\theme\\" + file).value_or(""); }
  void Languages(std::initializer_list<const char*> names) {
    fake.files.MakeFolders("C:\\dist\\languages");
    for (const char* name : names) fake.files.WriteAll(std::string("C:\\dist\\languages\\") + name + ".lan", kGerman);
  }
};

TEST_F(LanguageTest, CaptionsFollowTheLanguageTextRules) {
  EXPECT_EQ(LanguageCaption("{x}Weiter"), "Weiter");
  EXPECT_EQ(LanguageCaption("[ProductName] installieren"), "<ProductName> installieren");
  EXPECT_EQ(LanguageCaption("a}b}c"), "b}c") << "only the first brace ends the prefix";
}

TEST_F(LanguageTest, AutoDetectRewritesTheLayoutsAndTheValueSection) {
  Theme("welcome.lcd", kWelcome);
  Theme("license.lcd", kLicense);
  Languages({"German"});
  fake.system.uiLanguage = 1031;
  PackProject("[APPINFO]\r\nMETHOD=Auto-Detect\r\n");
  Start();
  EXPECT_EQ(app->Frame()->Host().LanguageFilePath, "C:\\dist\\languages\\German.lan");
  std::string welcome = Layout("welcome.lcd");
  EXPECT_NE(welcome.find("3000,1=Caption|Weiter|0"), std::string::npos) << welcome;
  EXPECT_NE(welcome.find("3001,1=Caption|<ProductName> installieren|0"), std::string::npos);
  EXPECT_NE(welcome.find("3002,1=Caption|Keep me|0"), std::string::npos) << "a missing text keeps the caption";
  EXPECT_NE(Layout("license.lcd").find("7,1=Caption|Ich stimme zu|0"), std::string::npos)
      << "the choices read the shared section";
  EXPECT_EQ(app->Frame()->Flow()->PageIndex(), 0) << "the wizard starts after the rewrite";
}

TEST_F(LanguageTest, AnUnshippedOrUnknownLanguageKeepsTheDefaults) {
  Theme("welcome.lcd", kWelcome);
  Languages({"German"});
  for (int id : {1036, 1033, 0}) {
    fake.system.uiLanguage = id;
    PackProject("[APPINFO]\r\nMETHOD=Auto-Detect\r\n");
    Start();
    EXPECT_EQ(app->Frame()->Host().LanguageFilePath, "C:\\dist\\language.lan") << id;
    EXPECT_EQ(Layout("welcome.lcd"), kWelcome) << id;
  }
}

TEST_F(LanguageTest, TheLanguagePageOffersTheFilesAndAppliesTheChoice) {
  Theme("welcome.lcd", kWelcome);
  Theme("askuser.lcd",
        "[INFO]\r\nTOTAL=2\r\n0=a,1,1,80,90,COMBOBOX,{},b,0\r\n1=a,90,1,80,25,BUTTON,{},b,1\r\n"
        "[DADOS]\r\n0,t=1\r\n0,0=N|IDC_LANGUAGE|0\r\n1,t=1\r\n1,0=N|IDC_SETLANGUAGE|0\r\n");
  Languages({"German", "English"});
  PackProject("[APPINFO]\r\nMETHOD=Ask User\r\nLanguage=eng\r\n[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n");
  Start();
  CSkinPage& page = *app->Frame()->Flow()->CurrentPage();
  ASSERT_EQ(page.LayoutFile(), "askuser.lcd");
  EXPECT_EQ(app->Frame()->Flow()->PageIndex(), -1) << "nothing else runs before the choice";
  Widget& list = page.ControlByName("IDC_LANGUAGE")->GetWidget();
  auto& items = static_cast<FakeWidget&>(list).items;
  ASSERT_EQ(items.size(), 2u);
  int english = items[0] == "English" ? 0 : 1;
  EXPECT_EQ(list.SelectedItem(), english) << "the project's language is preselected by its start";
  list.SelectItem(1 - english);
  page.OnCommand(page.FindControlByName("IDC_SETLANGUAGE"), 0);
  EXPECT_EQ(app->Frame()->Host().LanguageFilePath, "C:\\dist\\languages\\German.lan");
  EXPECT_NE(Layout("welcome.lcd").find("Caption|Weiter|0"), std::string::npos);
  EXPECT_EQ(app->Frame()->Flow()->CurrentPage()->LayoutFile(), "welcome.lcd");
  EXPECT_FALSE(page.Window().IsOpen()) << "the language page closes";
}

TEST_F(LanguageTest, TheLanguagePageWithNothingChosenKeepsTheCurrentLanguage) {
  Theme("welcome.lcd", kWelcome);
  Theme("askuser.lcd",
        "[INFO]\r\nTOTAL=2\r\n0=a,1,1,80,90,COMBOBOX,{},b,0\r\n1=a,90,1,80,25,BUTTON,{},b,1\r\n"
        "[DADOS]\r\n0,t=1\r\n0,0=N|IDC_LANGUAGE|0\r\n1,t=1\r\n1,0=N|IDC_SETLANGUAGE|0\r\n");
  Languages({"German"});
  PackProject("[APPINFO]\r\nMETHOD=Ask User\r\nLanguage=French\r\n[DIALOGLIST]\r\nTOTAL1=1\r\nW0=welcome.lcd\r\n");
  Start();
  CSkinPage& page = *app->Frame()->Flow()->CurrentPage();
  ASSERT_EQ(page.ControlByName("IDC_LANGUAGE")->GetWidget().SelectedItem(), -1);
  page.OnCommand(page.FindControlByName("IDC_SETLANGUAGE"), 0);
  EXPECT_EQ(app->Frame()->Host().LanguageFilePath, "C:\\dist\\language.lan");
  EXPECT_EQ(Layout("welcome.lcd"), kWelcome);
  EXPECT_EQ(app->Frame()->Flow()->CurrentPage()->LayoutFile(), "welcome.lcd") << "the wizard still starts";
}

}  // namespace
}  // namespace tw
