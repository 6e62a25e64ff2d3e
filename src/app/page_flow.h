// The wizard's page sequence: the page list, the start page and its extraction, Next and Back,
// page-entry work, the click reports of the pages, the installation and the finish.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/file_actions.h"
#include "app/standard_pages.h"
#include "install/file_data.h"
#include "install/rollback.h"
#include "skin/page_host.h"

namespace tw {

class CMainFrame;
class PageWindow;

constexpr int kMaxPages = 20;

class PageFlow : public PageHost {
 public:
  explicit PageFlow(CMainFrame& frame);
  ~PageFlow() override;

  void LoadPageList();
  void LoadFileActions();
  // The start page's entry work and the cabinet build's unpacking; false when that failed (the
  // quit message is then posted).
  bool ShowStartPage();
  // Shows the first page once the splash has closed, polling every second; closeStartPage: the
  // start page is still up and goes then.
  void WaitForSplash(bool closeStartPage);
  // The page shown while merge modules install after the engine's run; its timer runs them.
  void ShowMergeModulePage();
  // The language page ("askuser.lcd"), before the wizard starts.
  void ShowLanguagePage();
  void NextPage();
  void PreviousPage();
  void ShowCancelledCompletion();
  void AbortSetup();
  void OnPageEntry();
  void Finish();

  int PageIndex() const { return pageIndex_; }
  const std::vector<std::string>& PageList() const { return pageList_; }
  const std::vector<FileEntry>& FileList() const { return fileList_; }

  // --- PageHost ---
  Platform& GetPlatform() override;
  HostFlags& Flags() override;
  const ProjectSettings& Settings() const override;
  std::string ExpandPlaceholders(const std::string& text) const override;
  bool ConfirmCancel() override;
  void RemoveWorkFolderNow() override;
  void ReportClick(const PageReport& report) override;
  void StartInstallation() override;
  StandardPageBehaviour& StandardPages() override { return standardPages_; }
  CSkinPage* CurrentPage() override { return current_; }

  // The page shown last, by Next or by Back (which leaves CurrentPage as it was).
  CSkinPage* FrontPage() { return front_; }
  // The page window the user works in now (the page shown last, while it is open), which owns the
  // dialogs; null when there is none.
  PageWindow* DialogOwner();

 private:
  // Creates, loads and shows (or hides) a page. Pages whose windows have ended are let go first;
  // the page whose click led here is still open, so it is never destroyed under its own feet.
  CSkinPage& MakePage(const std::string& file, int position, int count, bool visible);
  // MakePage, and the new page becomes the current one.
  CSkinPage& ShowPage(const std::string& file, int position, int count, bool visible);
  FileActionContext ActionContext();
  const std::string& CurrentPageFile() const;
  void RunMergeModulesNow();
  void EndMergedInstallation(bool done);

  CMainFrame& frame_;
  WizardPages standardPages_;
  std::vector<std::string> pageList_;
  int pageCount_ = 0;
  int pageIndex_ = -1;
  FileActionTable fileActions_;
  std::vector<FileEntry> fileList_;  // the payload list, kept for the whole process
  std::vector<std::unique_ptr<CSkinPage>> pages_;
  CSkinPage* current_ = nullptr;
  CSkinPage* front_ = nullptr;  // the page shown last, by Next or by Back
  bool installing_ = false;
  bool cancelledShown_ = false;
  bool finished_ = false;
  int splashTimer_ = 0;
  int mergeModuleTimer_ = 0;
  // What the installation changed, held until its merge modules are done: committed then, or
  // undone when one fails.
  std::unique_ptr<RollbackJournal> mergeRollback_;
};

}  // namespace tw
