// The removal's progress window: the theme's "uninstall.lcd" page from the product's log folder,
// with its bar and text. While the removal runs nothing on it ends the run; once it is done, its
// button, close box or Esc close it.
#pragma once
#include <memory>
#include <string>

#include "project/host_flags.h"
#include "project/project_settings.h"
#include "skin/page_host.h"

namespace tw {

class CSkinPage;

class UninstallPage : public PageHost {
 public:
  // productName stands for "<ProductName>" in the page's texts.
  UninstallPage(Platform& platform, const std::string& productName);
  ~UninstallPage() override;

  // Loads and shows the page from folder; false (nothing shown) when it has no such layout.
  bool Open(const std::string& folder);
  void SetProgress(int done, int total);
  // The run is over: text tells how it went, the button takes label and closes the page with
  // exitCode through the message loop.
  void Finish(const std::string& text, const std::string& label, int exitCode);
  CSkinPage* Page() { return page_.get(); }

  // --- PageHost ---
  Platform& GetPlatform() override { return platform_; }
  HostFlags& Flags() override { return flags_; }
  const ProjectSettings& Settings() const override { return settings_; }
  std::string ExpandPlaceholders(const std::string& text) const override;
  // The close box or Esc: once the removal is done they close the page; before, the removal goes on
  // (a half-undone installation is worse than none) and the page closes when it ends.
  bool ConfirmCancel() override;
  void RemoveWorkFolderNow() override {}
  void ReportClick(const PageReport& report) override;
  void StartInstallation() override {}
  StandardPageBehaviour& StandardPages() override { return standard_; }
  CSkinPage* CurrentPage() override { return page_.get(); }

 private:
  Platform& platform_;
  std::string productName_;
  HostFlags flags_;
  ProjectSettings settings_;
  StandardPageBehaviour standard_;
  std::unique_ptr<CSkinPage> page_;
  bool finished_ = false;
  bool closeAsked_ = false;
  int exitCode_ = 0;
};

}  // namespace tw
