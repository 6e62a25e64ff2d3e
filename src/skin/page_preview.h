// Shows one skinned page outside the wizard, for theme authors: sample placeholder values, the real
// cancel confirmation, nothing removed or installed, and every click and event told to a printer.
#pragma once
#include <functional>
#include <string>

#include "project/host_flags.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "skin/page_host.h"
#include "support/fixed_dialogs.h"

namespace tw {

// What a preview shows in place of the placeholders ("<ProductName>" is "Sample Product").
PlaceholderValues SamplePlaceholderValues();

class PreviewHost : public PageHost, public StandardPageBehaviour {
 public:
  // One line of what happened, without its line end ("report name=IDC_NEXT id=3001 action=-1").
  using Printer = std::function<void(const std::string& line)>;

  // themeFolder ends in a backslash; the cancel confirmation reads "language.lan" from the folder
  // above it when there is one, as a packed project keeps its language beside its theme.
  PreviewHost(Platform& platform, const std::string& themeFolder, Printer print);
  PreviewHost(const PreviewHost&) = delete;
  PreviewHost& operator=(const PreviewHost&) = delete;

  // The language file the confirmation reads; empty when the theme has none beside it.
  const std::string& LanguageFile() const { return languageFile_; }

  // --- PageHost ---
  Platform& GetPlatform() override { return platform_; }
  HostFlags& Flags() override { return flags_; }
  const ProjectSettings& Settings() const override { return settings_; }
  std::string ExpandPlaceholders(const std::string& text) const override;
  bool ConfirmCancel() override;
  void RemoveWorkFolderNow() override;
  // A confirmed cancel ends the page: there is no wizard to move on to.
  void ReportClick(const PageReport& report) override;
  void StartInstallation() override;
  StandardPageBehaviour& StandardPages() override { return *this; }
  CSkinPage* CurrentPage() override { return page_; }

  // --- StandardPageBehaviour: told, not acted on ---
  // Remembers the page and gives its feature trees sample features to show.
  void Bind(CSkinPage& page) override;
  bool HandleOwnClick(CSkinPage& page, const std::string& name) override;
  bool HandleChoiceClick(CSkinPage& page, const std::string& name) override;
  void ChangeLanguage(CSkinPage& page) override;
  void SetFeatureState(const std::string& feature, int state) override;

 private:
  void Print(const std::string& what, std::initializer_list<Trace::Field> fields);

  Platform& platform_;
  Printer print_;
  HostFlags flags_;
  ProjectSettings settings_;
  PlaceholderValues values_;
  std::string languageFile_;  // before dialogs_, which keeps a reference to it
  Trace trace_;
  FixedDialogs dialogs_;
  CSkinPage* page_ = nullptr;
};

// A readable dump of a loaded page: its window settings, then one line per control record in
// layout order with its kind, id, kind index, rectangle and the look its model decided.
std::string DescribePage(const CSkinPage& page);

}  // namespace tw
