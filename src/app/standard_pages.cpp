#include "app/standard_pages.h"

#include <algorithm>

#include "app/language_file.h"
#include "app/main_frame.h"
#include "skin/skin_page.h"

namespace tw {
namespace {

void SetChecked(SkinControl* box, bool checked) {
  if (box) box->Update([&](WidgetLook& look) { look.checked = checked; });
}

}  // namespace

void WizardPages::Bind(CSkinPage& page) {
  if (page.LayoutFile() == "progress.lcd") BindProgress(page);
  if (page.LayoutFile() == "complete.lcd") BindComplete(page);
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
  LanguageFile language = LanguageFile::Load(frame_.GetPlatform().files, frame_.LanguageFilePath);
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
  if (frame_.OfferLaunchFile == kOn && !aborted && launch) {
    launch->SetVisible(true);
    SetChecked(launch, true);
    frame_.LaunchChosen = kOn;
  }
  if (frame_.OfferReadme == kOn && !aborted && readme) {
    readme->SetVisible(true);
    SetChecked(readme, true);
    frame_.ReadmeChosen = kOn;
  }
}

void WizardPages::SetFeatureState(const std::string& feature, int state) {
  frame_.Features.SetFeatureState(feature, state);
}

bool WizardPages::HandleChoiceClick(CSkinPage& page, const std::string& name) {
  if (name == "IDC_LAUNCHFILE") ToggleLaunchChoice(page, 0);
  if (name == "IDC_LAUNCHREADME") ToggleLaunchChoice(page, 1);
  return true;
}

// The page already flipped the box's mark on the click; the choice follows the flag, and the mark
// is set to match it so the two can never disagree.
void WizardPages::ToggleLaunchChoice(CSkinPage& page, int choice) {
  int& flag = choice == 0 ? frame_.LaunchChosen : frame_.ReadmeChosen;
  flag = flag == kOn ? 0 : kOn;
  SetChecked(page.ControlByName(choice == 0 ? "IDC_LAUNCHFILE" : "IDC_LAUNCHREADME"), flag == kOn);
}

}  // namespace tw
