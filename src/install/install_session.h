// One installation run: copies of the host values it works from, where the payload and the log
// are, the folders it made, and the reporting every install phase uses (log, status, progress).
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "project/placeholders.h"
#include "install/host_values.h"
#include "install/ownership.h"
#include "install/product_places.h"
#include "install/rollback.h"
#include "install/stored_text_file.h"
#include "platform/registry.h"

namespace tw {

class StagedFile;
class StampedFile;
class FixedDialogs;
class ProjectSettings;
class Trace;
struct HostFlags;
struct Platform;

// The progress page as the install engine sees it. Every call reaches the page on the UI thread.
class InstallProgress {
 public:
  virtual ~InstallProgress() = default;
  virtual void SetStatusText(const std::string& text) = 0;
  virtual void SetProgressRange(int maximum) = 0;
  virtual void SetProgressPos(int position) = 0;
  // The download bar ("IDC_DOWNLOADPROGRESS"): shown with its position, or hidden.
  virtual void ShowDownloadProgress(bool visible, int position) = 0;
  // A running download: the download bar at percent, and the first status text telling the time
  // left and the rate ("2 min 5 sec (1.5 KB of 2.50 MB copied)", "25 KB/Sec").
  virtual void SetDownloadStatus(int percent, const std::string& timeLeft, const std::string& rate) = 0;
};

// An INI file the project writes entries into: its identifier (the file's name as the project's
// tree shows it), its full path, whether it was there before the installation, and whether its
// log entry has been decided (at its first entry written).
struct IniFile {
  std::string Identifier, FullPath;
  bool ExistedBefore = false, Decided = false;
  bool Kept = false;  // its content before the first entry is kept for a rollback
};

struct InstallSession {
  InstallSession(Platform& platform, HostFlags& flags, Trace& trace, FixedDialogs& dialogs,
                 const ProjectSettings& settings, InstallProgress& progress)
      : host(trace),
        platform(platform),
        flags(flags),
        trace(trace),
        dialogs(dialogs),
        settings(settings),
        progress(progress) {}
  ~InstallSession();
  InstallSession(const InstallSession&) = delete;
  InstallSession& operator=(const InstallSession&) = delete;

  // --- copies of the host values, taken when the installation starts ---
  HostValues host;  // host.FoldersMadeByWizard: made for this installation before it started
  InstallPlaceholderCopy placeholders;  // placeholders.values.installDir is the chosen folder
  std::function<void()> RemoveWorkFolder;  // the host's removal, which honours KeepWorkDir

  // --- the run's own values ---
  std::string PayloadDir, LogPath, LogDir;
  ProductPlaces Places;  // where the registration, the log and the uninstaller go
  int TotalFiles = 0;
  std::vector<std::string> FolderList;
  std::vector<IniFile> IniFiles;  // at most kMaxIniFiles, in the order registered
  EarlierInstallation Earlier;  // what an earlier installation of the product made
  std::set<std::string> FoldersMade;  // lower-case, without a trailing backslash: made by this run
  RollbackJournal Rollback;  // what this run changed, undone when it fails or is cancelled

  // --- services ---
  Platform& platform;
  HostFlags& flags;
  Trace& trace;
  FixedDialogs& dialogs;
  const ProjectSettings& settings;
  InstallProgress& progress;

  const std::string& InstallDir() const { return placeholders.values.installDir; }
  std::string Expand(const std::string& text) const { return ExpandInstallPlaceholders(text, placeholders); }
  // Appends "key=value\r\n" to the uninstall log in one write that reaches the file at once. The
  // log is opened at the first entry and kept open (a write failure reopens it for the next one);
  // a failure loses the entry and nothing else. A preview, or a run without a log (LogPath empty),
  // writes nothing.
  void WriteLogEntry(const std::string& key, const std::string& value);
  // Closes the log and the record file; the next entry opens them again.
  void CloseLog();

  // --- what the installation owns ---
  // Logs key=value when this run made the thing, or an earlier installation of the product did
  // (whatever this run found); true when logged. Whatever is logged the uninstaller removes. What
  // this run made is also kept for a rollback ("FILE" excepted: madeNow there means written, and
  // the copy tells a new file from a replaced one with MadeFile).
  bool LogIfOwned(const std::string& key, const std::string& value, bool madeNow);
  // Called before the run first writes or deletes a registry value it logs as "REGVAL" (logged,
  // as the log names it): keeps the value's content in the record file, so the uninstaller puts
  // it back rather than deleting it. Nothing is kept for a value that was not there, or that the
  // product made itself (now or earlier).
  void NotePriorValue(RegRoot root, const std::string& key, const std::string& name, const std::string& logged);
  // Keeps a change this run made for a rollback, unless it is a preview (which changes nothing).
  void Made(const std::string& kind, const std::string& value);
  // A file the run wrote: kept for a rollback when there was none before.
  void MadeFile(const std::string& path, bool existedBefore);
  // Whether the run has kept a file that was at path (it replaced it).
  bool Replaced(const std::string& path) const;
  // Before the run writes a value outside the log's reach (its own registration): its content
  // now is kept for a rollback.
  void KeepValue(RegRoot root, const std::string& key, const std::string& name);
  // Moves a staged file into place, keeping what was there aside for a rollback (a rename on the
  // same volume); false as StagedFile::Commit.
  bool CommitKeeping(StagedFile& staged);
  // The same for the staged file still open over a plain file there, kept under a second name;
  // false, the file still open, where only CommitKeeping can do it.
  bool CommitOpenKeeping(StagedFile& staged, StampedFile& file);
  // Starts the record file beside the log: its header, the install folder, and the earlier
  // installation's records of what was there before it.
  void StartPriorRecord();
  // Logs what an earlier installation made that this run has not logged itself, so the log still
  // names everything the product made.
  void LogEarlierLeftovers();
  void SetStatus(const std::string& text);
  // The bytes of the files this run logged as the product's.
  uint64_t LoggedFileBytes();
  // The item's condition, evaluated on the session's copy with the install engine's expansion.
  bool ConditionAllows(const std::string& name);
  // A feature the user switched off is skipped; an empty or unknown name installs ("|" ignored).
  bool FeatureAllows(const std::string& name) const { return host.Features.FeatureAllows(name); }

 private:
  // Appends one line to the record file (opened at its first line and kept open).
  void WritePrior(const std::string& line);
  bool KeepingAside(StagedFile& staged, const std::function<bool(const std::string&)>& commit);
  bool Writes() const;

  std::mutex logLock_;
  std::unique_ptr<StoredTextFile> logFile_, priorFile_;
  std::set<std::string> logged_;  // OwnershipKey of every entry logged
  std::set<std::string> noted_;   // lower-cased "REGVAL" texts whose earlier state is settled
};

}  // namespace tw
