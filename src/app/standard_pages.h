// What the standard pages do beyond their layout, recognised by their layout file and the names of
// their controls: license and readme texts, the customer's details, the destination, the setup
// type and features, the ready summary, the progress page and the completion page.
#pragma once
#include "skin/page_host.h"

namespace tw {

class CMainFrame;

class WizardPages : public StandardPageBehaviour {
 public:
  explicit WizardPages(CMainFrame& frame) : frame_(frame) {}

  void Bind(CSkinPage& page) override;
  bool HandleOwnClick(CSkinPage& page, const std::string& name) override;
  bool CustomerCheck(CSkinPage& page) override;
  bool HandleChoiceClick(CSkinPage& page, const std::string& name) override;
  // The completion page, after a success and after a cancel alike.
  bool ClosingFinishes(const CSkinPage& page) override;
  void SetFeatureState(const std::string& feature, int state) override;
  void ChangeLanguage(CSkinPage& page) override;

  // The ready page's summary of the choices made.
  std::string ReadySummary() const;

 private:
  void ShowText(CSkinPage& page, const char* fileKey, const char* controlKey);
  void SetLicenseChoice(CSkinPage& page, int choice);
  void SetInstallFor(CSkinPage& page, int choice);
  void SetSetupType(CSkinPage& page, int choice);
  void BrowseDestination(CSkinPage& page);
  void StoreUserInformation();
  void BindCustomSetup(CSkinPage& page);
  void BindProgress(CSkinPage& page);
  void BindComplete(CSkinPage& page);
  void BindLanguages(CSkinPage& page);
  // Flips the launch (0) or readme (1) choice and the matching box's mark.
  void ToggleLaunchChoice(CSkinPage& page, int choice);

  CMainFrame& frame_;
};

}  // namespace tw
