// What the standard pages do beyond their layout: here the progress page, which starts the
// installation, and the completion page with its launch and readme choices.
#pragma once
#include "skin/page_host.h"

namespace tw {

class CMainFrame;

class WizardPages : public StandardPageBehaviour {
 public:
  explicit WizardPages(CMainFrame& frame) : frame_(frame) {}

  void Bind(CSkinPage& page) override;
  bool HandleChoiceClick(CSkinPage& page, const std::string& name) override;
  void SetFeatureState(const std::string& feature, int state) override;

 private:
  void BindProgress(CSkinPage& page);
  void BindComplete(CSkinPage& page);
  // Flips the launch (0) or readme (1) choice and the matching box's mark.
  void ToggleLaunchChoice(CSkinPage& page, int choice);

  CMainFrame& frame_;
};

}  // namespace tw
