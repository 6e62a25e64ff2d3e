#include "app/page_flow.h"

#include <algorithm>
#include <cstdint>

#include "app/main_frame.h"
#include "install/cabinet_extractor.h"
#include "install/install_driver.h"
#include "install/install_session.h"
#include "install/merge_modules.h"
#include "skin/skin_page.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

const char kStartPage[] = "start.lcd";
const char kRestartQuestion[] =
    "You must restart your system for the configuration changes made to <ProductName> to take effect. "
    "Click Yes to restart now or No if you plan to restart later.";

// The progress page as the install engine sees it: every change reaches the page on the UI thread.
class PageProgress : public InstallProgress {
 public:
  PageProgress(Ui& ui, CSkinPage* page) : ui_(ui), page_(page) {}
  void SetStatusText(const std::string& text) override {
    OnPage([&](CSkinPage& page) { page.SetStatusText(text, 0); });
  }
  void SetProgressRange(int maximum) override {
    range_ = maximum;
    shown_ = -1;
    OnPage([&](CSkinPage& page) { page.SetProgressRange(maximum); });
  }
  // Each step is a hand-over to the UI thread and a wait for it; a step per file would cost a big
  // installation more than its files do, so only the steps that move the bar by a hundredth reach
  // the page (and the first and the last always do).
  void SetProgressPos(int position) override {
    if (!MovesBar(position)) return;
    shown_ = position;
    OnPage([&](CSkinPage& page) { page.SetProgressPos(position); });
  }
  void ShowDownloadProgress(bool visible, int position) override {
    OnPage([&](CSkinPage& page) {
      if (SkinControl* bar = page.ControlByName("IDC_DOWNLOADPROGRESS"))
        bar->Update([&](WidgetLook& look) {
          look.visible = visible;
          look.rangeMax = 100;
          look.position = position;
        });
    });
  }
  void SetDownloadStatus(int percent, const std::string& timeLeft, const std::string& rate) override {
    OnPage([&](CSkinPage& page) {
      if (SkinControl* bar = page.ControlByName("IDC_DOWNLOADPROGRESS"))
        bar->Update([&](WidgetLook& look) { look.position = percent; });
      page.SetStatusText("Estimated time left: " + timeLeft + " - " + rate, 0);
    });
  }

 private:
  bool MovesBar(int position) const {
    if (shown_ < 0 || position <= 0 || position >= range_) return true;
    return int64_t{position} * 100 / range_ != int64_t{shown_} * 100 / range_;
  }
  template <typename Work>
  void OnPage(Work work) {
    if (page_) ui_.CallOnUiThread([&] { work(*page_); });
  }
  Ui& ui_;
  CSkinPage* page_;
  int range_ = 0;
  int shown_ = -1;  // the position the page shows; -1 before the first
};

// Fills a session with copies of the host values, so the run is not affected by the wizard.
void FillSession(InstallSession& session, CMainFrame& frame) {
  session.host = frame.Host();
  session.placeholders = frame.PlaceholderCopy();
  session.RemoveWorkFolder = [&frame] { frame.RemoveWorkFolder(WorkFolderRemoval::UnlessKept); };
}

// Typical and Minimal skip the custom setup page; Custom, or no choice yet, shows it.
bool QuickSetup(SetupType type) { return type == SetupType::kTypical || type == SetupType::kMinimal; }

}  // namespace

PageFlow::PageFlow(CMainFrame& frame) : frame_(frame), standardPages_(frame) {}

PageFlow::~PageFlow() = default;

Platform& PageFlow::GetPlatform() { return frame_.GetPlatform(); }
HostFlags& PageFlow::Flags() { return frame_.Flags(); }
const ProjectSettings& PageFlow::Settings() const { return frame_.Settings(); }
std::string PageFlow::ExpandPlaceholders(const std::string& text) const { return frame_.ExpandPlaceholders(text); }
bool PageFlow::ConfirmCancel() { return frame_.Dialogs().ConfirmCancel(); }
void PageFlow::RemoveWorkFolderNow() { frame_.RemoveWorkFolder(WorkFolderRemoval::Always); }

void PageFlow::LoadPageList() {
  pageCount_ = std::min(ToNumber(frame_.ReadSetting("DIALOGLIST", "TOTAL1")), kMaxPages);
  pageList_.clear();
  for (int i = 0; i < pageCount_; ++i) pageList_.push_back(frame_.ReadSetting("DIALOGLIST", "W" + std::to_string(i)));
  pageIndex_ = -1;
}

void PageFlow::LoadFileActions() { fileActions_.LoadFileActions(frame_.Settings()); }

FileActionContext PageFlow::ActionContext() {
  return FileActionContext{frame_.GetPlatform(),
                           frame_.GetTrace(),
                           frame_.Host().OsTag,
                           frame_.Host().InstallDir,
                           [this](const std::string& text) { return ExpandPlaceholders(text); },
                           [this](const std::string& name) { return frame_.ConditionAllows(name); },
                           [this] { AbortSetup(); }};
}

const std::string& PageFlow::CurrentPageFile() const {
  static const std::string start = kStartPage, none;
  if (pageIndex_ < 0) return start;
  return pageIndex_ < pageCount_ ? pageList_[static_cast<size_t>(pageIndex_)] : none;
}

CSkinPage& PageFlow::MakePage(const std::string& file, int position, int count, bool visible) {
  pages_.erase(std::remove_if(pages_.begin(), pages_.end(),
                              [this](const std::unique_ptr<CSkinPage>& page) {
                                return page.get() != current_ && page.get() != front_ && !page->Window().IsOpen();
                              }),
               pages_.end());
  pages_.push_back(std::make_unique<CSkinPage>(*this));
  CSkinPage& page = *pages_.back();
  page.LoadLayout(frame_.Host().ThemeDir, file, position, count);
  frame_.GetTrace().Write("wizard", "page", {{"file", file}, {"shown", visible ? "yes" : "hidden"}});
  if (visible) {
    page.Show();
    front_ = &page;
  }
  return page;
}

PageWindow* PageFlow::DialogOwner() { return front_ && front_->Window().IsOpen() ? &front_->Window() : nullptr; }

CSkinPage& PageFlow::ShowPage(const std::string& file, int position, int count, bool visible) {
  current_ = &MakePage(file, position, count, visible);
  return *current_;
}

bool PageFlow::ShowStartPage() {
  OnPageEntry();
  HostFlags& flags = frame_.Flags();
  // An abort on arrival has shown the completion page and removed the work folder: nothing is
  // unpacked for pages that will never come.
  if (flags.useDiskImages == kOn || frame_.Host().Ended) return true;
  // The support files come out of the payload cabinet: out of its start, checked with the project
  // files, or else out of a cabinet that must have passed its check.
  if (frame_.Host().PayloadCabinet.headSize == 0 && !frame_.WaitForPayloadCheck()) return false;
  CSkinPage& page = ShowPage(kStartPage, -1, 50, flags.silentInstall != kOn);
  PageProgress progress(frame_.GetPlatform().ui, &page);
  InstallSession session(frame_.GetPlatform(), flags, frame_.GetTrace(), frame_.Dialogs(), frame_.Settings(), progress);
  FillSession(session, frame_);
  if (!CabinetExtractor(session).ExtractCabinets()) {
    frame_.RemoveWorkFolder(WorkFolderRemoval::Always);
    frame_.GetPlatform().ui.PostQuit(1);
    return false;
  }
  // A splash keeps the start page up until it closes; without one the page goes now.
  if (frame_.Host().SplashShown) {
    flags.startPageReady = kOn;
    WaitForSplash(true);
  } else {
    current_->End();
  }
  return true;
}

void PageFlow::WaitForSplash(bool closeStartPage) {
  Ui& ui = frame_.GetPlatform().ui;
  splashTimer_ = ui.StartTimer(1000, [this, &ui, closeStartPage] {
    if (frame_.Flags().splashDone != kOn) return;
    ui.StopTimer(splashTimer_);
    frame_.GetTrace().Write("wizard", "splash-done");
    if (closeStartPage && current_) current_->End();
    NextPage();
  });
}

void PageFlow::ShowMergeModulePage() {
  ShowPage("3rdparty.lcd", -1, 50, frame_.Flags().silentInstall != kSilentRunning);
  Ui& ui = frame_.GetPlatform().ui;
  mergeModuleTimer_ = ui.StartTimer(1000, [this, &ui] {
    // Stopped first: the UI keeps serving messages while the programs run.
    ui.StopTimer(mergeModuleTimer_);
    RunMergeModulesNow();
  });
}

void PageFlow::RunMergeModulesNow() {
  bool done = true;
  // A preview shows the page but runs no other product's installer.
  if (frame_.Flags().previewMode == kOn)
    frame_.GetTrace().Write("install", "mergemod-skipped", {{"reason", "preview"}});
  else
    done = RunMergeModules(MergeModuleContext{frame_.Settings(), frame_.GetPlatform(), frame_.GetTrace(),
                                              frame_.Host().SetupDir, frame_.Host().OsTag, frame_.Host().Features,
                                              [this](const std::string& name) { return frame_.ConditionAllows(name); },
                                              frame_.PlaceholderCopy().values, frame_.Host().UserVariables});
  EndMergedInstallation(done);
  frame_.Flags().keepWorkDir = 0;
  frame_.RemoveWorkFolder(WorkFolderRemoval::Always);
  if (current_) current_->End();
  if (!done) {
    ShowCancelledCompletion();
    return;
  }
  // A silent run has no page to go on to: it finishes as it would without merge modules.
  if (frame_.Flags().silentInstall == kSilentRunning)
    Finish();
  else
    NextPage();
}

// The installation stands or falls with its merge modules: a failed one takes it all back, and the
// run ends as failed.
void PageFlow::EndMergedInstallation(bool done) {
  Platform& platform = frame_.GetPlatform();
  std::unique_ptr<RollbackJournal> journal = std::move(mergeRollback_);
  if (done) {
    if (journal) journal->Commit(platform);
    return;
  }
  frame_.GetTrace().Write("install", "aborted", {{"reason", "merge-module"}});
  HostFlags& flags = frame_.Flags();
  flags.runFailed = kOn;
  flags.cancelled = kOn;
  if (journal) UndoChanges(*journal, platform, frame_.GetTrace());
}

void PageFlow::ShowLanguagePage() { ShowPage("askuser.lcd", -1, 50, true); }

void PageFlow::NextPage() {
  HostFlags& flags = frame_.Flags();
  if (frame_.Host().Ended || flags.cancelled == kOn) {
    // A silent run has no page left to wait on a click: an error before the first page ends it.
    if (flags.unattended == kOn) ShowCancelledCompletion();
    return;
  }
  bool quickSetup = QuickSetup(frame_.Host().SetupTypeChoice);
  if (quickSetup && CurrentPageFile() == "setuptype.lcd") ++pageIndex_;
  ++pageIndex_;
  OnPageEntry();
  if (flags.cancelled == kOn) return;
  if (flags.silentInstall == kOn) {
    flags.silentInstall = kSilentRunning;
    ShowPage("progress.lcd", -1, 50, false);
    return;
  }
  ShowPage(CurrentPageFile(), pageIndex_, pageCount_, true);
}

void PageFlow::PreviousPage() {
  --pageIndex_;
  bool quickSetup = QuickSetup(frame_.Host().SetupTypeChoice);
  if (quickSetup && CurrentPageFile() == "customsetup.lcd") --pageIndex_;
  if (pageIndex_ < 1) pageIndex_ = 0;
  // Going back shows the page again; the current page stays the one the sequence last reached.
  MakePage(CurrentPageFile(), pageIndex_, pageCount_, true);
}

void PageFlow::OnPageEntry() {
  const std::string page = CurrentPageFile();
  FileActionContext context = ActionContext();
  fileActions_.RunPageActions(page, context);
  if (!page.empty()) frame_.RunPageConditions(page);
}

// One cancelled completion page, however the cancel arrives (the page that asked, the engine
// stopping after it, an abort action), and none once the wizard is finishing.
void PageFlow::ShowCancelledCompletion() {
  // A silent run shows no window, so it finishes at once, as Finish on that page would.
  if (frame_.Flags().unattended == kOn) {
    Finish();
    return;
  }
  if (cancelledShown_ || finished_) return;
  cancelledShown_ = true;
  ++pageIndex_;
  ShowPage("complete.lcd", pageCount_, pageCount_, true);
}

void PageFlow::AbortSetup() {
  frame_.AbortSetup();
  if (current_) current_->End();
  ShowCancelledCompletion();
}

void PageFlow::ReportClick(const PageReport& report) {
  frame_.GetTrace().Write("wizard", "event", {{"name", report.name}, {"action", std::to_string(report.action)},
                                               {"page", report.layoutFile}});
  if (report.name == "IDC_FINISH") {
    Finish();
    return;
  }
  if (frame_.Host().Ended || report.name == "IDYES" || report.name == "IDNO") return;
  if (report.name == "IDC_BACK" || report.action == 2) {
    PreviousPage();
  } else if (report.name == "IDC_NEXT" || report.action == 1) {
    // A cancel under a running installation waits for the engine to stop: its end shows the page.
    if (frame_.Flags().cancelled != kOn)
      NextPage();
    else if (!installing_)
      ShowCancelledCompletion();
  }
}

void PageFlow::StartInstallation() {
  Platform& platform = frame_.GetPlatform();
  HostFlags& flags = frame_.Flags();
  // An error while the hidden progress page was made has already ended a silent run.
  if (flags.unattended == kOn && flags.cancelled == kOn) {
    ShowCancelledCompletion();
    return;
  }
  // Nothing is installed from a payload that has not passed its check.
  if (!frame_.WaitForPayloadCheck()) return;
  PageProgress progress(platform.ui, current_);
  {
    InstallSession session(platform, flags, frame_.GetTrace(), frame_.Dialogs(), frame_.Settings(), progress);
    FillSession(session, frame_);
    installing_ = true;
    StartInstall(session, fileList_);
    installing_ = false;
    if (flags.cancelled != kOn && flags.keepWorkDir == kOn) {
      mergeRollback_ = std::make_unique<RollbackJournal>();
      mergeRollback_->TakeFrom(session.Rollback);
    }
  }
  if (flags.cancelled == kOn) {
    // However the run stopped, nothing is left for the work folder to serve (merge modules follow
    // only a completed run), and it holds the decrypted project.
    frame_.RemoveWorkFolder(WorkFolderRemoval::Always);
    ShowCancelledCompletion();
  } else if (flags.keepWorkDir == kOn) {
    ShowMergeModulePage();
    flags.keepWorkDir = 0;
  } else if (flags.silentInstall == kSilentRunning) {
    Finish();
  } else {
    NextPage();
  }
}

// Finish runs once: a second click, queued behind the first or arriving while its restart question
// is open, finds it done. The launch and readme files are expanded now, with the folder the user
// chose. The pages go with it, so nothing more can be clicked while the process ends.
void PageFlow::Finish() {
  if (finished_) return;
  finished_ = true;
  FileActionContext context = ActionContext();
  fileActions_.RunPageActions(kAfterFinishPage, context);
  frame_.RunPageConditions(kAfterFinishPage);
  Platform& platform = frame_.GetPlatform();
  const std::string launch = ExpandPlaceholders(frame_.Host().LaunchFile);
  if (frame_.Host().LaunchChosen && platform.files.Exists(launch) && !platform.files.IsFolder(launch)) {
    size_t cut = launch.find_last_of('\\');
    ClearSystemError();
    bool opened = platform.shell.OpenWith(launch, ExpandPlaceholders(frame_.Host().LaunchParameters),
                                          cut == std::string::npos ? "" : launch.substr(0, cut));
    frame_.GetTrace().WriteResult("wizard", "launch", {{"file", launch}}, opened);
  }
  const std::string readme = ExpandPlaceholders(frame_.Host().ReadmeFile);
  if (frame_.Host().ReadmeChosen && platform.files.Exists(readme) && !platform.files.IsFolder(readme)) {
    ClearSystemError();
    bool opened = platform.shell.OpenWith(readme, "", "");
    frame_.GetTrace().WriteResult("wizard", "readme", {{"file", readme}}, opened);
  }
  // With /NORESTART nobody is asked: the exit code tells the caller a restart is needed.
  if (frame_.Flags().cancelled != kOn && frame_.Host().RestartRequired && !frame_.Host().CommandLineNoRestart &&
      frame_.Dialogs().AskQuestion(ExpandPlaceholders(kRestartQuestion)) == 1) {
    ClearSystemError();
    frame_.NoteRestartStarted(platform.shell.Restart());
    frame_.GetTrace().WriteResult("wizard", "restart", {}, frame_.Host().RestartStarted);
    if (!frame_.Host().RestartStarted)
      platform.ui.ShowMessageBox(WithReason("Can't restart! Please restart manually your computer!",
                                            platform.system.ErrorText(LastSystemError())),
                                 "Setup", kMbOk);
  }
  for (auto& page : pages_) page->End();
  frame_.GetTrace().Write("wizard", "finish", {{"cancelled", std::to_string(frame_.Flags().cancelled)}});
  platform.ui.PostQuit(0);
}

}  // namespace tw
