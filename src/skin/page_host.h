// What a skinned page needs from the wizard around it: expansion, the cancel confirmation, the
// click reports, and the standard pages' behaviour, which the wizard supplies.
#pragma once
#include <string>

namespace tw {

class CSkinPage;
class ProjectSettings;
struct HostFlags;
struct Platform;

// A click the page did not consume, as the page sequence receives it.
struct PageReport {
  int controlId = 0;
  int recordIndex = 0;
  int action = 0;
  std::string name;
  std::string layoutFile;
};

// The behaviour of the standard pages' named controls. The defaults do nothing, so a page without
// a wizard around it (a preview, a test) still loads and dispatches.
class StandardPageBehaviour {
 public:
  virtual ~StandardPageBehaviour() = default;
  // Called at the end of every load.
  virtual void Bind(CSkinPage& page) {}
  // "IDC_BROWSE", "IDC_NOTACCEPTLICENSE", "IDC_ACCEPTLICENSE", "IDC_ANYONE", "IDC_ONLYFORME":
  // true when handled (the dispatch then ends).
  virtual bool HandleOwnClick(CSkinPage& page, const std::string& name) { return false; }
  // On the customer page, before any other named control: false stops the click.
  virtual bool CustomerCheck(CSkinPage& page) { return true; }
  // "IDC_TYPICAL", "IDC_MINIMAL", "IDC_CUSTOM", "IDC_LAUNCHFILE", "IDC_LAUNCHREADME".
  virtual bool HandleChoiceClick(CSkinPage& page, const std::string& name) { return false; }
  // True when closing the page (Esc, the close box, a cancel button or a closing click action) ends
  // the run as its Finish button does instead of asking to cancel: nothing is left to cancel there.
  virtual bool ClosingFinishes(const CSkinPage& page) { return false; }
  // "IDC_SETLANGUAGE", after the click was reported.
  virtual void ChangeLanguage(CSkinPage& page) {}
  // A feature was marked in the feature tree: 0 will be installed, 255 will not.
  virtual void SetFeatureState(const std::string& feature, int state) {}
};

class PageHost {
 public:
  virtual ~PageHost() = default;
  virtual Platform& GetPlatform() = 0;
  virtual HostFlags& Flags() = 0;
  virtual const ProjectSettings& Settings() const = 0;
  virtual std::string ExpandPlaceholders(const std::string& text) const = 0;
  // The cancel confirmation; true when the user confirmed.
  virtual bool ConfirmCancel() = 0;
  // Removes the work folder whatever else is pending (the user cancelled).
  virtual void RemoveWorkFolderNow() = 0;
  // The page goes on using itself after this returns (it may end its window): retire a replaced
  // page later rather than destroying it from here.
  virtual void ReportClick(const PageReport& report) = 0;
  // The progress page's timer fired: install now.
  virtual void StartInstallation() = 0;
  virtual StandardPageBehaviour& StandardPages() = 0;
  // The page the wizard last moved to (Back shows a page without making it the current one).
  virtual CSkinPage* CurrentPage() = 0;
};

}  // namespace tw
