#include "app/standard_pages.h"

#include <algorithm>

#include <cctype>

#include "project/language_file.h"
#include "app/folder_path.h"
#include "app/language_selection.h"
#include "app/main_frame.h"
#include "platform/text.h"
#include "skin/skin_feature_tree.h"
#include "skin/skin_page.h"

namespace tw {
namespace {

void SetChecked(SkinControl* box, bool checked) {
  if (box) box->Update([&](WidgetLook& look) { look.checked = checked; });
}

void SetText(CSkinPage& page, const char* name, const std::string& text) {
  if (SkinControl* control = page.ControlByName(name)) control->SetText(text);
}

bool HasRtf(std::string path) {
  for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return path.find(".rtf") != std::string::npos;
}

}  // namespace

void WizardPages::Bind(CSkinPage& page) {
  const std::string& file = page.LayoutFile();
  if (file == "license.lcd") {
    ShowText(page, "CT0", "CT1");
    SetLicenseChoice(page, 0);
  }
  if (file == "readme.lcd") ShowText(page, "CT2", "CT3");
  if (file == "customer.lcd" || file == "destination.lcd") SetInstallFor(page, 0);
  if (file == "customer.lcd")
    if (SkinControl* user = page.ControlByName("IDC_USERNAME")) user->GetWidget().Focus();
  if (file == "destination.lcd") SetText(page, "IDC_INSTALLDIR", frame_.Host().InstallDir);
  if (file == "customsetup.lcd") BindCustomSetup(page);
  if (file == "progress.lcd") BindProgress(page);
  if (file == "complete.lcd") BindComplete(page);
  if (file == "askuser.lcd") BindLanguages(page);
  // The refresh steps, after the load steps of every page.
  if (file == "customer.lcd") {
    SetText(page, "IDC_USERNAME", frame_.Host().UserName);
    SetText(page, "IDC_ORGANIZATION", frame_.Host().CompanyName);
  }
  if (file == "setuptype.lcd") {
    int choice = static_cast<int>(frame_.Host().SetupTypeChoice);
    SetSetupType(page, choice >= 0 && choice <= 2 ? choice : 0);
  }
  if (file == "ready.lcd") {
    if (SkinControl* settings = page.ControlByName("IDC_SETTINGS"))
      settings->Update([&](WidgetLook& look) {
        look.text = ReadySummary();
        look.extraExStyle |= 0x1004;
      });
  }
}

// License and readme texts lie in the work folder, or in the first disk image.
void WizardPages::ShowText(CSkinPage& page, const char* fileKey, const char* controlKey) {
  const std::string name = LastComponent(frame_.ReadSetting("DIALOGLIST", fileKey));
  SkinControl* control = page.ControlByName(frame_.ReadSetting("DIALOGLIST", controlKey));
  if (name.empty() || !control) return;
  const std::string path = frame_.Flags().useDiskImages == kOn ? frame_.Host().SetupDir + "DiskImage1\\" + name
                                                                 : frame_.Host().TempDir + frame_.Host().WorkName + "\\" + name;
  // An RTF document names its own code page; any other text is stored project text.
  const bool rtf = HasRtf(path);
  auto text = rtf ? frame_.GetPlatform().files.ReadAll(path) : frame_.GetPlatform().files.ReadText(path);
  if (!text) return;
  if (rtf) {
    control->GetWidget().StreamIn(*text);
  } else {
    control->SetText(*text);
  }
}

void WizardPages::SetLicenseChoice(CSkinPage& page, int choice) {
  SetChecked(page.ControlByName("IDC_NOTACCEPTLICENSE"), choice == 0);
  SetChecked(page.ControlByName("IDC_ACCEPTLICENSE"), choice == 1);
  if (SkinControl* next = page.ControlByName("IDC_NEXT")) next->SetEnabled(choice == 1);
  frame_.GetTrace().Write("wizard", "license", {{"accepted", choice == 1 ? "yes" : "no"}});
}

void WizardPages::SetInstallFor(CSkinPage& page, int choice) {
  SetChecked(page.ControlByName("IDC_ANYONE"), choice == 0);
  SetChecked(page.ControlByName("IDC_ONLYFORME"), choice == 1);
  frame_.GetTrace().Write("wizard", "install-for", {{"choice", choice == 0 ? "anyone" : "only-me"}});
}

// The chosen folder becomes the install folder, always with its trailing backslash.
void WizardPages::BrowseDestination(CSkinPage& page) {
  Platform& platform = frame_.GetPlatform();
  std::optional<std::string> folder = platform.shell.BrowseForFolder(
      "Corvane Tarnwick", "Choose destination directory...",
      [this, &platform](const std::string& path, NativeWindow dialog) {
        return AcceptDestinationFolder(platform, path, dialog, frame_.FoldersMadeByWizard());
      },
      &page.Window());
  frame_.GetTrace().Write("wizard", "browse", {{"folder", folder.value_or("")}, {"result", folder ? "ok" : "cancelled"}});
  if (!folder) return;
  frame_.SetInstallDir(WithBackslash(*folder));
  SetText(page, "IDC_INSTALLDIR", frame_.Host().InstallDir);
}

void WizardPages::SetSetupType(CSkinPage& page, int choice) {
  frame_.ChooseSetupType(static_cast<SetupType>(choice));
  SetChecked(page.ControlByName("IDC_TYPICAL"), choice == 0);
  SetChecked(page.ControlByName("IDC_MINIMAL"), choice == 1);
  SetChecked(page.ControlByName("IDC_CUSTOM"), choice == 2);
  frame_.GetTrace().Write("wizard", "setup-type", {{"choice", std::to_string(choice)}});
}

void WizardPages::BindCustomSetup(CSkinPage& page) {
  SetText(page, "IDC_INSTALLDIR", frame_.Host().InstallDir);
  SetText(page, "IDC_FEATUREINFO", "");
  // The tree is the last one the page created, which is the first in line order.
  CSkinFeatureTree* tree = nullptr;
  for (const ControlRecord& record : page.Records())
    if (record.kind == "TREEVIEW" && !tree) tree = dynamic_cast<CSkinFeatureTree*>(page.ControlById(record.id));
  if (!tree) return;
  int count = std::min(frame_.ReadCount("SETUPFEATURES"), 10000);
  for (int i = 0; i < count; ++i) tree->AddItem(frame_.ReadSetting("SETUPFEATURES", std::to_string(i)));
  // A page shown again (Back, then Next) shows each feature as the user left it.
  for (int i = 0; i < count; ++i)
    if (frame_.Host().Features.ChosenState(tree->Items()[static_cast<size_t>(i)]) == kFeatureSkip)
      tree->SetItemImage(i, kFeatureImageSkip);
}

bool WizardPages::HandleOwnClick(CSkinPage& page, const std::string& name) {
  if (name == "IDC_NOTACCEPTLICENSE") SetLicenseChoice(page, 0);
  if (name == "IDC_ACCEPTLICENSE") SetLicenseChoice(page, 1);
  if (name == "IDC_ANYONE") SetInstallFor(page, 0);
  if (name == "IDC_ONLYFORME") SetInstallFor(page, 1);
  if (name == "IDC_BROWSE") BrowseDestination(page);
  return true;
}

bool WizardPages::CustomerCheck(CSkinPage& page) {
  if (SkinControl* user = page.ControlByName("IDC_USERNAME")) frame_.SetUserName(user->GetWidget().ReadText());
  if (SkinControl* company = page.ControlByName("IDC_ORGANIZATION")) frame_.SetCompanyName(company->GetWidget().ReadText());
  frame_.GetTrace().Write("wizard", "customer", {{"user", frame_.Host().UserName}, {"company", frame_.Host().CompanyName}});
  StoreUserInformation();
  return true;
}

void WizardPages::StoreUserInformation() {
  if (frame_.Host().UserInfoKey.empty()) return;
  auto root = RegRootFromName(frame_.Host().UserInfoRoot);
  if (!root) return;
  Registry& registry = frame_.GetPlatform().registry;
  const std::string key = frame_.ExpandPlaceholders(frame_.Host().UserInfoKey);
  registry.CreateKey(*root, key);
  registry.WriteString(*root, key, "<UserName>", frame_.Host().UserName, false);
  registry.WriteString(*root, key, "<CompanyName>", frame_.Host().CompanyName, false);
  frame_.GetTrace().Write("wizard", "user-information", {{"key", key}, {"user", frame_.Host().UserName}});
}

std::string WizardPages::ReadySummary() const {
  static const char* const kTypes[] = {"Typical\r\n\r\n", "Minimal\r\n\r\n", "Custom\r\n\r\n"};
  std::string summary = "\r\nSetup Type:\r\n\r\n";
  const int type = static_cast<int>(frame_.Host().SetupTypeChoice);
  if (type >= 0 && type <= 2) summary += kTypes[type];
  summary += "Destination Folder:\r\n\r\n" + frame_.Host().InstallDir + "\r\n\r\n";
  summary += "User Information:\r\n\r\n";
  if (!frame_.Host().UserName.empty()) summary += "Name:" + frame_.Host().UserName + "\r\n\r\n";
  if (!frame_.Host().CompanyName.empty()) summary += "Company:" + frame_.Host().CompanyName + "\r\n\r\n";
  return summary;
}

void WizardPages::BindProgress(CSkinPage& page) {
  for (const char* name : {"IDC_NEXT", "IDC_BACK"})
    if (SkinControl* button = page.ControlByName(name)) button->SetEnabled(false);
  if (SkinControl* info = page.ControlByName("IDC_INFO")) info->SetText("Starting copying files...");
  if (SkinControl* info = page.ControlByName("IDC_INSTALLINFO")) info->SetText("");
  page.SelectInstallProgress(page.FindKindIndex(page.FindControlByName("IDC_PROGRESS1")));
  page.StartInstallTimer();
}

void WizardPages::BindComplete(CSkinPage& page) {
  LanguageFile language = LanguageFile::Load(frame_.GetPlatform().files, frame_.Host().LanguageFilePath);
  bool aborted = frame_.Flags().cancelled == kOn;
  if (aborted) {
    std::string status = language.Text("SetupCompleteError", "3");
    std::replace(status.begin(), status.end(), '[', '<');
    std::replace(status.begin(), status.end(), ']', '>');
    if (SkinControl* text = page.ControlByName("IDC_INSTALLSTATUS")) text->SetText(frame_.ExpandPlaceholders(status));
  }
  SkinControl* readme = page.ControlByName("IDC_LAUNCHREADME");
  SkinControl* launch = page.ControlByName("IDC_LAUNCHFILE");
  if (readme) readme->Update([&](WidgetLook& look) {
      look.visible = false;
      look.text = language.Text("SetupCompleteSuccess", "7");
    });
  if (launch) launch->Update([&](WidgetLook& look) {
      look.visible = false;
      look.text = language.Text("SetupCompleteSuccess", "6");
    });
  if (frame_.Host().OfferLaunchFile && !aborted && launch) {
    launch->SetVisible(true);
    SetChecked(launch, true);
    frame_.ChooseLaunchFile(true);
  }
  if (frame_.Host().OfferReadme && !aborted && readme) {
    readme->SetVisible(true);
    SetChecked(readme, true);
    frame_.ChooseReadme(true);
  }
}

bool WizardPages::ClosingFinishes(const CSkinPage& page) { return page.LayoutFile() == "complete.lcd"; }

void WizardPages::SetFeatureState(const std::string& feature, int state) {
  frame_.SetFeatureState(feature, state);
  frame_.GetTrace().Write("wizard", "feature", {{"name", feature}, {"state", std::to_string(state)}});
}

bool WizardPages::HandleChoiceClick(CSkinPage& page, const std::string& name) {
  if (name == "IDC_TYPICAL") SetSetupType(page, 0);
  if (name == "IDC_MINIMAL") SetSetupType(page, 1);
  if (name == "IDC_CUSTOM") SetSetupType(page, 2);
  if (name == "IDC_LAUNCHFILE") ToggleLaunchChoice(page, 0);
  if (name == "IDC_LAUNCHREADME") ToggleLaunchChoice(page, 1);
  return true;
}

// The page already flipped the box's mark on the click; the choice follows the flag, and the mark
// is set to match it so the two can never disagree.
void WizardPages::ToggleLaunchChoice(CSkinPage& page, int choice) {
  const bool chosen = !(choice == 0 ? frame_.Host().LaunchChosen : frame_.Host().ReadmeChosen);
  if (choice == 0)
    frame_.ChooseLaunchFile(chosen);
  else
    frame_.ChooseReadme(chosen);
  frame_.GetTrace().Write("wizard", choice == 0 ? "launch-file" : "launch-readme", {{"chosen", chosen ? "yes" : "no"}});
  SetChecked(page.ControlByName(choice == 0 ? "IDC_LAUNCHFILE" : "IDC_LAUNCHREADME"), chosen);
}

// The language files on offer, with the project's language preselected by the start of its name.
void WizardPages::BindLanguages(CSkinPage& page) {
  SkinControl* list = page.ControlByName("IDC_LANGUAGE");
  if (!list) return;
  std::vector<std::string> names = LanguageNames(frame_.GetPlatform().files, frame_.Host().SetupDir);
  list->GetWidget().SetItems(names);
  const std::string wanted = Lower(frame_.Host().LanguageName);
  for (size_t i = 0; i < names.size(); ++i) {
    if (Lower(names[i]).compare(0, wanted.size(), wanted) == 0) {
      list->GetWidget().SelectItem(static_cast<int>(i));
      break;
    }
  }
  frame_.GetTrace().Write("language", "offer", {{"count", std::to_string(names.size())}});
}

// No language chosen (or one whose file is gone) keeps the current one: pointing the wizard at a
// missing file would blank the cancel dialog's and the completion page's texts.
void WizardPages::ChangeLanguage(CSkinPage& page) {
  SkinControl* list = page.ControlByName("IDC_LANGUAGE");
  std::string name = list ? list->GetWidget().ReadText() : "";
  std::string file = LanguageFileLocation(frame_.GetPlatform().files, frame_.Host().SetupDir, name);
  if (name.empty() || !frame_.GetPlatform().files.Exists(file)) {
    frame_.GetTrace().Write("language", "keep", {{"file", frame_.Host().LanguageFilePath}});
    frame_.StartWizard();
  } else {
    frame_.ApplyLanguage(file);
  }
  page.End();
}

}  // namespace tw
