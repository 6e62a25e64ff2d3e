#include "uninstall/uninstall_page.h"

#include "platform/platform.h"
#include "project/placeholders.h"
#include "skin/skin_page.h"

namespace tw {

constexpr char kLayout[] = "uninstall.lcd";

UninstallPage::UninstallPage(Platform& platform, const std::string& productName)
    : platform_(platform), productName_(productName) {}

UninstallPage::~UninstallPage() = default;

std::string UninstallPage::ExpandPlaceholders(const std::string& text) const {
  PlaceholderValues values;
  values.productName = productName_;
  return ExpandPlaceholderText(text, values, {}, Expansion::Wizard);
}

bool UninstallPage::Open(const std::string& folder) {
  if (!platform_.files.Exists(folder + kLayout)) return false;
  page_ = std::make_unique<CSkinPage>(*this);
  page_->LoadLayout(folder, kLayout, 0, 1);
  page_->SelectInstallProgress(0);
  if (SkinControl* button = page_->ControlByName("IDYES")) button->SetEnabled(false);
  page_->Show();
  return true;
}

void UninstallPage::SetProgress(int done, int total) {
  if (!page_) return;
  page_->SetProgressRange(total);
  page_->SetProgressPos(done);
}

void UninstallPage::Finish(const std::string& text, const std::string& label, int exitCode) {
  finished_ = true;
  exitCode_ = exitCode;
  if (!page_) return;
  // The close box may already have taken the window while the removal ran.
  if (closeAsked_) return platform_.ui.PostQuit(exitCode);
  if (SkinControl* status = page_->ControlByName("IDC_STATIC1")) status->SetText(text);
  if (SkinControl* button = page_->ControlByName("IDYES")) {
    if (!label.empty()) button->SetText(label);
    button->SetEnabled(true);
  }
}

bool UninstallPage::ConfirmCancel() {
  closeAsked_ = !finished_;
  return finished_;
}

void UninstallPage::ReportClick(const PageReport& report) {
  if (!finished_) return;
  // The window goes with the process; ending it here would pull it from under the click.
  platform_.ui.PostQuit(exitCode_);
}

}  // namespace tw
