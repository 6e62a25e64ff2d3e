// The standard pages' own behaviour, driven through whole wizards on the fakes.
#include "app/folder_path.h"
#include "app/page_flow.h"
#include "skin/skin_feature_tree.h"
#include "skin/skin_page.h"
#include "startup_fixture.h"

namespace tw {
namespace {

std::string Control(int index, const char* kind, const char* name) {
  return std::to_string(index) + "=x,1," + std::to_string(1 + index * 30) + ",200,25," + kind + ",-,x," +
         std::to_string(index) + "\r\n";
}
std::string Names(const std::vector<std::string>& names) {
  std::string dados = "[DADOS]\r\n";
  for (size_t i = 0; i < names.size(); ++i)
    dados += std::to_string(i) + ",t=1\r\n" + std::to_string(i) + ",0=N|" + names[i] + "|0\r\n";
  return dados;
}

class StandardPages : public StartupFixture {
 protected:
  // A page whose controls are of the given kinds and names, in that line order.
  void Theme(const std::string& file, const std::vector<std::pair<const char*, const char*>>& controls) {
    std::string layout = "[INFO]\r\nTOTAL=" + std::to_string(controls.size()) + "\r\n";
    std::vector<std::string> names;
    for (size_t i = 0; i < controls.size(); ++i) {
      layout += Control(static_cast<int>(i), controls[i].first, controls[i].second);
      names.push_back(controls[i].second);
    }
    fake.files.MakeFolders("C:\\dist\\theme");
    fake.files.WriteAll("C:\\dist\\theme\\" + file, layout + Names(names));
  }
  CSkinPage& Page() { return *app->Frame()->Flow()->CurrentPage(); }
  FakeWidget& Widget(const std::string& name) {
    return *static_cast<FakePageWindow&>(Page().Window()).WidgetById(Page().FindControlByName(name));
  }
  void Click(const std::string& name) { Page().OnCommand(Page().FindControlByName(name), 0); }
};

TEST_F(StandardPages, TheLicenseMustBeAcceptedBeforeNext) {
  fake.files.WriteAll("C:\\dist\\DiskImage1\\license.txt", "Terms of use");
  Theme("license.lcd", {{"TEXT", "IDC_TERMS"}, {"RADIO", "IDC_ACCEPTLICENSE"}, {"RADIO", "IDC_NOTACCEPTLICENSE"},
                        {"BUTTON", "IDC_NEXT"}});
  PackProject("[DIALOGLIST]\r\nTOTAL1=1\r\nW0=license.lcd\r\nCT0=C:\\Author\\license.txt\r\nCT1=IDC_TERMS\r\n");
  Start();
  EXPECT_EQ(Widget("IDC_TERMS").look.text, "Terms of use");
  EXPECT_FALSE(Widget("IDC_NEXT").look.enabled);
  EXPECT_TRUE(Widget("IDC_NOTACCEPTLICENSE").look.checked);
  Click("IDC_ACCEPTLICENSE");
  EXPECT_TRUE(Widget("IDC_NEXT").look.enabled);
  EXPECT_TRUE(Widget("IDC_ACCEPTLICENSE").look.checked);
  EXPECT_FALSE(Widget("IDC_NOTACCEPTLICENSE").look.checked);
  Click("IDC_NOTACCEPTLICENSE");
  EXPECT_FALSE(Widget("IDC_NEXT").look.enabled);
}

TEST_F(StandardPages, TheCustomerPageStoresItsEntriesEvenOnBack) {
  Theme("welcome.lcd", {{"BUTTON", "IDC_NEXT"}});
  Theme("customer.lcd", {{"TEXTBOX", "IDC_USERNAME"}, {"TEXTBOX", "IDC_ORGANIZATION"}, {"BUTTON", "IDC_BACK"}});
  PackProject("[DIALOGLIST]\r\nTOTAL1=2\r\nW0=welcome.lcd\r\nW1=customer.lcd\r\nCT17=HKEY_CURRENT_USER\r\n"
              "CT18=Software\\<ProductName>\\User\r\n[APPINFO]\r\na1=Acme\r\n");
  Start();
  Click("IDC_NEXT");
  EXPECT_EQ(Widget("IDC_USERNAME").look.text, "tester") << "the logged-on user to start with";
  EXPECT_EQ(Widget("IDC_USERNAME").focused, 1) << "typing starts in the name box";
  Widget("IDC_USERNAME").typed = "Ann";
  Widget("IDC_ORGANIZATION").typed = "Initech";
  Click("IDC_BACK");
  EXPECT_EQ(app->Frame()->Host().UserName, "Ann");
  EXPECT_EQ(fake.registry.ReadString(RegRoot::CurrentUser, "Software\\Acme\\User", "<UserName>").value_or(""), "Ann");
  EXPECT_EQ(fake.registry.ReadString(RegRoot::CurrentUser, "Software\\Acme\\User", "<CompanyName>").value_or(""),
            "Initech");
}

TEST_F(StandardPages, SetupTypeDefaultsToTypicalAndTheReadySummaryReadsExactly) {
  Theme("setuptype.lcd", {{"RADIO", "IDC_TYPICAL"}, {"RADIO", "IDC_MINIMAL"}, {"RADIO", "IDC_CUSTOM"},
                          {"BUTTON", "IDC_NEXT"}});
  Theme("ready.lcd", {{"TEXTBOX", "IDC_SETTINGS"}});
  PackProject("[DIALOGLIST]\r\nTOTAL1=3\r\nW0=setuptype.lcd\r\nW1=customsetup.lcd\r\nW2=ready.lcd\r\n"
              "[APPINFO]\r\na4=C:\\Apps\r\n");
  Start();
  EXPECT_EQ(app->Frame()->Host().SetupTypeChoice, SetupType::kTypical);
  EXPECT_TRUE(Widget("IDC_TYPICAL").look.checked);
  Click("IDC_MINIMAL");
  EXPECT_EQ(app->Frame()->Host().SetupTypeChoice, SetupType::kMinimal);
  EXPECT_FALSE(Widget("IDC_TYPICAL").look.checked);
  EXPECT_TRUE(Widget("IDC_MINIMAL").look.checked);
  Click("IDC_NEXT");
  ASSERT_EQ(Page().LayoutFile(), "ready.lcd") << "a minimal setup skips the custom page";
  EXPECT_EQ(Widget("IDC_SETTINGS").look.text,
            "\r\nSetup Type:\r\n\r\nMinimal\r\n\r\nDestination Folder:\r\n\r\nC:\\Apps\\\r\n\r\n"
            "User Information:\r\n\r\nName:tester\r\n\r\n");
  EXPECT_EQ(Widget("IDC_SETTINGS").look.extraExStyle & 0x1004u, 0x1004u);
}

TEST_F(StandardPages, TheCustomSetupTreeListsTheFeatures) {
  Theme("customsetup.lcd", {{"TEXT", "IDC_INSTALLDIR"}, {"TEXT", "IDC_FEATUREINFO"}, {"TREEVIEW", "IDC_TREE"}});
  PackProject("[DIALOGLIST]\r\nTOTAL1=1\r\nW0=customsetup.lcd\r\n[APPINFO]\r\na4=D:\\Tools\r\n"
              "[SETUPFEATURES]\r\nTOTAL=2\r\n0=Program files\r\n1=Help files\r\n");
  Start();
  EXPECT_EQ(Widget("IDC_INSTALLDIR").look.text, "D:\\Tools\\");
  EXPECT_EQ(Widget("IDC_TREE").items, (std::vector<std::string>{"Program files", "Help files"}));
}

TEST_F(StandardPages, BrowseKeepsTheDialogOpenUntilAFolderIsUsable) {
  Theme("destination.lcd", {{"TEXT", "IDC_INSTALLDIR"}, {"BUTTON", "IDC_BROWSE"}});
  PackProject("[DIALOGLIST]\r\nTOTAL1=1\r\nW0=destination.lcd\r\n[APPINFO]\r\na4=C:\\Apps\r\n");
  Start();
  EXPECT_EQ(Widget("IDC_INSTALLDIR").look.text, "C:\\Apps\\");
  // An invalid path, a refused creation, a folder that cannot be made, then one that is made.
  fake.files.MakeFolders("C:\\Locked");
  fake.faults.FailWhen(FsOp::MakeFolder, "Locked");
  fake.shell.browseScript = {std::string("C:\\Bad.\\x"), std::string("C:\\New\\Tools"),
                             std::string("C:\\Locked\\Sub"), std::string("C:\\New\\Tools")};
  fake.ui.answers = {kIdOk, kIdNo, kIdYes, kIdOk, kIdYes};
  Click("IDC_BROWSE");
  ASSERT_EQ(fake.ui.shown.size(), 5u);
  EXPECT_EQ(fake.ui.shown[0].text, InvalidFolderMessage("C:\\Bad.\\x"));
  EXPECT_EQ(fake.ui.shown[1].text, CreateFolderQuestion("C:\\New\\Tools"));
  EXPECT_EQ(fake.ui.shown[3].text, FolderNotCreatedMessage("C:\\Locked\\Sub") + "\nAccess is denied")
      << "the system's reason below the message";
  for (const ShownMessageBox& box : fake.ui.shown)
    EXPECT_EQ(box.owner, fake.shell.FolderDialogWindow()) << "above the folder dialog and modal to it: " << box.text;
  EXPECT_TRUE(fake.files.IsFolder("C:\\New\\Tools")) << "created part by part";
  EXPECT_EQ(app->Frame()->Host().InstallDir, "C:\\New\\Tools\\");
  EXPECT_EQ(Widget("IDC_INSTALLDIR").look.text, "C:\\New\\Tools\\");
  fake.shell.browseScript = {std::nullopt};
  Click("IDC_BROWSE");
  EXPECT_EQ(app->Frame()->Host().InstallDir, "C:\\New\\Tools\\") << "Cancel changes nothing";
}

TEST_F(StandardPages, TheFeatureTreeShowsTheChoicesAgainAfterBack) {
  Theme("customsetup.lcd", {{"TREEVIEW", "IDC_TREE"}, {"TEXT", "IDC_FEATUREINFO"}, {"BUTTON", "IDC_NEXT"}});
  Theme("ready.lcd", {{"BUTTON", "IDC_BACK"}});
  PackProject("[DIALOGLIST]\r\nTOTAL1=2\r\nW0=customsetup.lcd\r\nW1=ready.lcd\r\n"
              "[SETUPTYPE]\r\nTOTAL=2\r\nFeatureName0=Core\r\nDescription0=The program\r\n"
              "FeatureName1=Docs\r\nDescription1=The manual\r\n[SETUPFEATURES]\r\nTOTAL=2\r\n0=Core\r\n1=Docs\r\n");
  Start();
  const int tree = Page().FindControlByName("IDC_TREE");
  static_cast<FakePageWindow&>(Page().Window()).featureMenuAnswer = kFeatureMenuSkip;
  Page().OnTreeSelection(tree, 1);
  Click("IDC_NEXT");
  Click("IDC_BACK");
  CSkinPage& again = *app->Frame()->Flow()->FrontPage();
  ASSERT_EQ(again.LayoutFile(), "customsetup.lcd");
  auto& window = static_cast<FakePageWindow&>(again.Window());
  EXPECT_EQ(window.WidgetById(tree)->itemImages, (std::vector<int>{kFeatureImageInstall, kFeatureImageSkip}));
  again.OnTreeSelection(tree, 0);
  EXPECT_EQ(window.WidgetById(again.FindControlByName("IDC_FEATUREINFO"))->look.text, "The program")
      << "the description goes to the page that shows the tree";
}

}  // namespace
}  // namespace tw
