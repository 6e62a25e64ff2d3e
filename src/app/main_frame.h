// CMainFrame: the never-shown host of the wizard. It owns the host state (folders, project values,
// the work folder) and runs start-up from the machine's folders to the first wizard page.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "install/host_values.h"
#include "install/install_session.h"
#include "install/product_places.h"
#include "project/conditions.h"
#include "project/features.h"
#include "project/host_flags.h"
#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/special_folders.h"
#include "project/trace.h"
#include "platform/platform.h"
#include "support/fixed_dialogs.h"

namespace tw {

class CBackground;
class CRijndaelMethod;
class CSplashWindow;
class PageFlow;
class PayloadCheck;

enum class WorkFolderRemoval { Always, UnlessKept };

class CMainFrame : private ActionHost {
 public:
  CMainFrame(Platform& platform, Trace& trace, HostFlags& flags, const CommandLine& commandLine);
  ~CMainFrame();

  // Start-up in its fixed order; 0 when the wizard may go on, -1 when the process must end.
  int OnCreate();
  // Runs the wizard's start sequence; -1 when a check refused the machine.
  int StartWizard();
  // The language step of start-up: true when it opened the language page or applied a language
  // (the wizard is then started from there), false when start-up starts the wizard itself.
  bool SelectLanguage();
  // Makes file the language file, rewrites the layout captions from it, then starts the wizard.
  void ApplyLanguage(const std::string& file);
  // A single-file build waits here for its payload cabinet's check before anything reads the
  // cabinet; false when it failed (start-up has then ended as for a damaged file). True at once
  // for a folder build.
  bool WaitForPayloadCheck();
  // Removes the work folder and all it holds. UnlessKept leaves it while merge modules need it.
  void RemoveWorkFolder(WorkFolderRemoval mode);
  // Expands the placeholders of a project text with the current host values.
  std::string ExpandPlaceholders(const std::string& text) const;
  // Where this product's registration, log and uninstaller go, for the scope the run installs in.
  ProductPlaces Places() const;
  // The copy of the values the install engine expands with, taken when installation starts.
  InstallPlaceholderCopy PlaceholderCopy() const;
  // Reads a project setting (empty when missing; cut to bufferSize - 1).
  std::string ReadSetting(const std::string& section, const std::string& key,
                          int bufferSize = kValueBuffer) const {
    return settings_.ReadSetting(section, key, bufferSize);
  }
  int ReadCount(const std::string& section) const { return settings_.ReadCount(section); }
  // Fills the product values from "APPINFO", "BUILDING" and "DIALOGLIST", in their fixed order.
  void LoadProjectValues();
  // Whether an item that names a condition may run; runs the condition's actions when it holds.
  bool ConditionAllows(const std::string& name);
  // Evaluates the conditions attached to a page (or to the Finish button).
  void RunPageConditions(const std::string& pageFile);
  // Ends the setup as cancelled: from now on only the finish event counts.
  void AbortSetup();
  // The fixed dialogs, reading the current language file and expanding with the host values.
  FixedDialogs& Dialogs() { return dialogs_; }
  const ProjectSettings& Settings() const { return settings_; }
  Platform& GetPlatform() { return platform_; }
  // The page sequence; null until the wizard (or the language page) has started.
  PageFlow* Flow() { return flow_.get(); }
  Trace& GetTrace() { return trace_; }
  HostFlags& Flags() { return flags_; }

  // The host values, read by the wizard and copied whole into the installation run.
  const HostValues& Host() const { return host_; }
  // The wizard's writes to the host values: the user's choices, or an earlier installation's folder.
  void SetInstallDir(const std::string& folder) { host_.InstallDir = folder; }
  void ChooseSetupType(SetupType type) { host_.SetupTypeChoice = type; }
  void SetUserName(const std::string& name) { host_.UserName = name; }
  void SetCompanyName(const std::string& name) { host_.CompanyName = name; }
  void ChooseLaunchFile(bool chosen) { host_.LaunchChosen = chosen; }
  void ChooseReadme(bool chosen) { host_.ReadmeChosen = chosen; }
  void SetFeatureState(const std::string& feature, int state) { host_.Features.SetFeatureState(feature, state); }
  // Where the folder dialog records the folders it made, so the installation logs them too.
  std::vector<std::string>* FoldersMadeByWizard() { return &host_.FoldersMadeByWizard; }
  void NoteRestartStarted(bool started) { host_.RestartStarted = started; }

 private:
  void ResolveFolders();
  PageFlow& EnsureFlow();
  void MoveThemeFiles();
  // The theme folder beside the project files, made (and the "^!" files moved in) on first run.
  void PrepareThemeFolder();
  // Points the folders the project is read from at folder (ends in "\\").
  void UseSetupFolder(const std::string& folder);
  void CreateWorkFolder();
  // A single-file build's small files into the work folder, its cabinet check started; false when
  // the program's file is damaged (start-up has then ended).
  bool TakeSingleFile();
  // error: the system's reason when a platform call failed (shown below the message), else none.
  void EndDamagedSetup(const std::string& checkedLanguageFile, SystemError error);
  bool ReadProjectFiles();
  void EndMissingFiles(SystemError error);
  void ShowStartupMessage(const std::string& message, SystemError error, unsigned style);
  void ResolveMachineValues();
  std::string ReadCompanyName() const;
  PlaceholderValues CurrentPlaceholderValues() const;
  void EndStartup(const std::string& message, SystemError error);
  // One setup of a product at a time, on the whole machine; false (after a message, unless
  // unattended) when another is running.
  bool TakeProductLock();
  bool MachineQualifies();
  void OpenBackground();
  void OpenSplash();
  void OpenDecorations();
  void Abort() override;
  void ShowInfo(const std::string& text) override { dialogs_.ShowInfo(text); }
  ConditionTable::Expander Expander();
  ConditionTable::ActionRunner ActionRunner();

  Platform& platform_;
  Trace& trace_;
  HostFlags& flags_;
  HostValues host_;  // before dialogs_, which reads the language file's path from it
  std::unique_ptr<CRijndaelMethod> crypt_;
  ProjectSettings settings_;
  FixedDialogs dialogs_;
  std::unique_ptr<PageFlow> flow_;
  std::unique_ptr<MachineLock> productLock_;  // held until the process ends
  std::unique_ptr<CSplashWindow> splash_;
  std::unique_ptr<PayloadCheck> payloadCheck_;
  std::unique_ptr<CBackground> background_;
  // Last, so the billboard thread is stopped and joined first, while all it uses is still there.
  std::unique_ptr<UiThread> billboards_;
};

}  // namespace tw
