#include "install/install_driver.h"

#include "project/host_flags.h"
#include "project/os_tag.h"
#include "project/trace.h"
#include "install/associations.h"
#include "install/cabinet_extractor.h"
#include "install/environment.h"
#include "install/file_data.h"
#include "install/ini_entries.h"
#include "install/install_session.h"
#include "install/payload_copy.h"
#include "install/registry_entries.h"
#include "install/shortcuts.h"
#include "install/services.h"
#include "install/uninstall_registration.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "support/download.h"
#include "support/fixed_dialogs.h"

namespace tw {
namespace {

const char kInstallingLock[] = "Tarnwick-Installing";
const char kSetAsideSuffix[] = ".~twkeep";
constexpr int kInstallingWaitSeconds = 600;

// Web entries of the file list are fetched on a transfer thread of their own; the trace tells how
// each transfer ended.
UrlDownloader Downloader(InstallSession& session) {
  return [&session](const std::string& url, const std::string& target) {
    DownloadContext context{session.platform, session.flags.cancelRequested, session.trace,
                            [&session](const DownloadStatus& status) {
                              session.progress.SetDownloadStatus(status.percent, status.timeLeft, status.rate);
                            },
                            [&session](StagedFile& staged) { return session.CommitKeeping(staged); }};
    DownloadOutcome outcome = DownloadFile(context, url, target);
    static const char* const kResults[] = {"ok", "failed", "cancelled"};
    session.trace.Write("install", "download",
                        {{"url", url},
                         {"target", target},
                         {"result", kResults[outcome.result]},
                         {"status", outcome.status ? std::to_string(*outcome.status) : "none"},
                         {"bytes", std::to_string(outcome.bytes)},
                         {"step", outcome.failedStep.empty() ? "none" : outcome.failedStep}},
                        outcome.error);
    // The transfer failed on a thread of its own: its reason is handed to this one, for the
    // dialog that may follow.
    NoteSystemError(outcome.error.code);
    return outcome.result;
  };
}

// A split build whose cabinets could not be unpacked has installed part of its files at best: the
// run ends as aborted, so the wizard does not report a success.
bool ExtractSplitBuild(InstallSession& session, const std::vector<FileEntry>& fileList) {
  if (CabinetExtractor(session, &fileList).ExtractCabinets()) return true;
  session.trace.Write("install", "aborted", {{"reason", "extraction-failed"}});
  if (session.RemoveWorkFolder) session.RemoveWorkFolder();
  session.flags.cancelled = kOn;
  return false;
}

// Copy phase: a split build unpacks its cabinets into the install folder, any other build copies
// the payload files. False ends the run (a failed extraction, a cancel or an abort).
bool PutPayloadInPlace(InstallSession& session, std::vector<FileEntry>& fileList) {
  session.SetStatus("Please Wait, Copying Files...");
  // A preview puts nothing in place, a split build's cabinets included: they unpack straight into
  // the install folder.
  if (session.flags.previewMode == kOn) return true;
  if (session.flags.splitFiles == kOn) return ExtractSplitBuild(session, fileList);
  return CopyPayloadFiles(session, fileList, Downloader(session));
}

// The engine could not run at all: the box says why, and the run ends as failed rather than as an
// installation the wizard could report done.
void EndWithEngineError(InstallSession& session, int number, const std::string& message, SystemError error) {
  ShowEngineError(session, number, message, error);
  session.trace.Write("install", "aborted", {{"reason", "engine-error"}, {"number", std::to_string(number)}});
  session.flags.runFailed = kOn;
  session.flags.cancelled = kOn;
}

// The user's Cancel on the progress page is answered between one kind of change and the next, so
// that a run given up does not go on changing the machine only to undo it all.
bool CancelledBefore(InstallSession& session, const char* phase) {
  if (session.flags.cancelRequested != 1) return false;
  session.trace.Write("install", "stopped", {{"reason", "cancel"}, {"before", phase}});
  session.flags.cancelled = kOn;
  return true;
}

// False when the user cancelled on the way.
bool MakeSystemChanges(InstallSession& session) {
  bool preview = session.flags.previewMode == kOn;
  if (CancelledBefore(session, "shortcuts")) return false;
  session.SetStatus("Please Wait, Creating Shortcuts...");
  if (!preview) CreateShortcuts(session);
  if (CancelledBefore(session, "system")) return false;
  session.SetStatus("Please Wait, Setting system...");
  // A preview leaves the machine as it was and registers nothing that could remove a service again.
  if (preview) return true;
  using Step = void (*)(InstallSession&);
  const std::pair<const char*, Step> steps[] = {{"ini", WriteIniEntries},
                                                 {"registry-keys", CreateRegistryKeys},
                                                 {"registry-values", WriteRegistryValues},
                                                 {"associations", RegisterAssociations},
                                                 {"environment", SetEnvironmentVariables},
                                                 {"services", InstallServices}};
  for (const auto& [phase, step] : steps) {
    if (CancelledBefore(session, phase)) return false;
    step(session);
  }
  return true;
}

// One installation phase at a time on the machine, whatever the product: two at once would race
// for the files they share, the service manager and the uninstaller in the Windows folder. The
// wait ends after ten minutes, or when the user cancels.
std::unique_ptr<MachineLock> WaitForOtherInstallations(InstallSession& session) {
  Shell& shell = session.platform.shell;
  std::unique_ptr<MachineLock> lock = shell.TakeMachineLock(kInstallingLock, 0);
  if (lock) return lock;
  session.SetStatus("Waiting for another installation to finish...");
  session.trace.Write("install", "waiting", {{"for", "another-installation"}});
  for (int second = 0; second < kInstallingWaitSeconds && !lock; ++second) {
    if (session.flags.cancelRequested == 1) {
      session.flags.cancelled = kOn;
      return nullptr;
    }
    lock = shell.TakeMachineLock(kInstallingLock, 1000);
  }
  if (lock) return lock;
  session.trace.Write("install", "aborted", {{"reason", "another-installation"}});
  session.flags.anotherRun = kOn;
  session.flags.runFailed = kOn;
  session.flags.cancelled = kOn;
  return nullptr;
}

// Every run starts a new log and record file. What an earlier installation of the product (a
// retry, a repair) logged is read first, so that what it made stays owned.
// The earlier log and record file are set aside rather than deleted, so that a run that fails
// can put them back.
void StartNewLog(InstallSession& session) {
  FileSystem& files = session.platform.files;
  session.Earlier = ReadEarlierInstallation(files, session.platform.system, session.trace, session.LogDir);
  for (const std::string& path : {session.LogPath, session.LogDir + kPriorFileName}) {
    const std::string kept = path + kSetAsideSuffix;
    if (files.Exists(kept)) files.Remove(kept);  // left by a run that ended without a word
    if (!files.Exists(path)) {
      session.Made("FILE", path);
    } else if (files.Move(path, kept)) {
      session.Rollback.SetAside(path, kept);
    } else {
      files.Remove(path);
    }
  }
}

// A run that failed or was cancelled puts back what it changed, newest first; one that
// succeeded lets go of what it set aside, unless merge modules are still to run.
void EndChanges(InstallSession& session) {
  const bool failed = session.flags.cancelled == kOn && session.flags.previewMode != kOn;
  if (!failed) {
    // However the run ended, what the earlier installation made is still the product's.
    session.LogEarlierLeftovers();
    session.CloseLog();
    if (session.flags.keepWorkDir != kOn) session.Rollback.Commit(session.platform);
    return;
  }
  session.SetStatus("Undoing the changes...");
  session.CloseLog();
  UndoChanges(session.Rollback, session.platform, session.trace);
}

}  // namespace

void UndoChanges(RollbackJournal& journal, Platform& platform, Trace& trace) {
  RollbackOutcome outcome;
  platform.ui.RunAndPump([&] { outcome = journal.Undo(platform, trace); });
  trace.Write("rollback", "end",
              {{"undone", std::to_string(outcome.undone)},
               {"failed", std::to_string(outcome.failed)},
               {"restart", outcome.restartNeeded ? "needed" : "no"}});
}

void ShowEngineError(InstallSession& session, int number, const std::string& message, SystemError error) {
  const std::string text = "Error Number: " + std::to_string(number) + "\r\nMessage: " + message;
  session.trace.Write("dialog", "engine-error", {{"text", text}}, error);
  session.platform.ui.ShowMessageBox(WithReason(text, session.platform.system.ErrorText(error)), "Setup", kMbOk);
}

void StartInstall(InstallSession& session, std::vector<FileEntry>& fileList) {
  session.PayloadDir = session.host.TempDir + session.host.WorkName + "\\";
  if (session.flags.useDiskImages == kOn) session.PayloadDir = session.host.SetupDir + "DiskImage1\\";
  if (session.flags.splitFiles == kOn) session.PayloadDir = session.host.SetupDir;
  // The log's folder is named by the product code. Without one that names a folder of its own the
  // run keeps no log: it would share (and delete) another product's, or land outside Installer.
  session.Places = PlacesFor(session.Expand("<WindowsFolder>"),
                             session.platform.system.SpecialFolder(kLocalAppDataCsidl), session.host.ProductCode,
                             session.host.PerUser);
  if (IsPlainFileName(session.host.ProductCode)) {
    session.LogDir = session.Places.logDir;
    session.LogPath = session.LogDir + "uninstall.log";
  } else {
    session.LogDir = session.LogPath = "";
    session.trace.Write("install", "log-skipped", {{"reason", "no-product-code"}, {"code", session.host.ProductCode}});
  }
  // A preview changes nothing, so the log of the installed product stays as it is.
  if (session.flags.previewMode != kOn && !session.LogPath.empty()) StartNewLog(session);
  session.trace.Write("install", "start",
                      {{"payload", session.PayloadDir}, {"log", session.LogPath},
                       {"installdir", session.InstallDir()}, {"preview", std::to_string(session.flags.previewMode)}});
  session.platform.ui.RunAndPump([&] {
    // Held for the whole installation phase, by the thread that runs it; a preview changes nothing.
    std::unique_ptr<MachineLock> alone;
    if (session.flags.previewMode != kOn && !(alone = WaitForOtherInstallations(session))) return;
    Iniciar(session, fileList);
  });
  EndChanges(session);
  session.progress.SetProgressPos(session.TotalFiles);
  session.trace.Write("install", "end",
                      {{"cancelled", std::to_string(session.flags.cancelled)},
                       {"peak-kb", std::to_string(session.platform.system.PeakWorkingSetKb())}});
}

void Iniciar(InstallSession& session, std::vector<FileEntry>& fileList) {
  // Each step is tried with the thread's error cleared, so the box gives its own reason or none.
  ClearSystemError();
  if (!session.platform.shell.PrepareThread()) {
    EndWithEngineError(session, 0,
                       "Iniciar() - Tarnwick Can't CO-INITIALIZE; Please restart your computer; If not work, you must "
                       "update your Windows!",
                       LastSystemError());
    return;
  }
  session.host.OsTag = OsTagFor(session.platform.system.Version());
  session.SetStatus("Loading data information...");
  ClearSystemError();
  if (!LoadFileData(session, fileList)) {
    EndWithEngineError(session, 1, "LoadFileData() - Error", LastSystemError());
    return;
  }
  // A split build's files, the run-at-uninstall program among them, come out of its cabinets
  // with the payload, so it is looked for once they are unpacked.
  const bool registerEarly = session.flags.previewMode != kOn && session.flags.splitFiles != kOn;
  if (registerEarly) RegisterUninstallProgram(session);
  session.progress.SetProgressRange(session.TotalFiles);
  if (!PutPayloadInPlace(session, fileList)) return;
  if (session.flags.previewMode != kOn && !registerEarly) RegisterUninstallProgram(session);
  if (!MakeSystemChanges(session) || CancelledBefore(session, "registration")) return;
  session.SetStatus("Finishing settings...");
  if (session.flags.previewMode == kOn) return;
  RegisterUninstall(session);
  session.SetStatus("Removing temporary files...");
  if (session.RemoveWorkFolder) session.RemoveWorkFolder();
}

}  // namespace tw
