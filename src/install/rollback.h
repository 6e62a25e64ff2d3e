// What one installation run changed, kept as it goes, so that a run that fails or is cancelled
// puts the machine back as it found it: what the run made is removed, values it wrote get their
// earlier content back, and the earlier installation's log returns, newest change first.
#pragma once
#include <map>
#include <mutex>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"
#include "platform/services.h"

namespace tw {

class FileSystem;
class Trace;
struct Platform;

struct RollbackOutcome {
  int undone = 0;
  int failed = 0;  // changes that could not be undone (traced one by one)
  bool restartNeeded = false;  // a kept file goes back over one in use only at the next start
};

class RollbackJournal {
 public:
  // The run made the thing a log entry names (the log's key and value: "FILE", "DIR",
  // "REGKEY", "REMKEY", "NTSERVICE", "REGVAL"); it did not exist before. "LOGDIR" is a log folder
  // the run made, removed with everything in it.
  void Made(const std::string& kind, const std::string& value);
  // Before the run first writes or deletes a value (logged as the log names it): its content
  // then, nothing when there was none. Later calls for the same value are ignored.
  void NoteValue(const std::string& logged, RegRoot root, const std::string& key, const std::string& name,
                 std::optional<RegValue> before);
  // A file the run is about to write into, with its whole content now (an INI file the user
  // already had): Undo writes that content back.
  void KeepContent(const std::string& path, const std::string& content);
  // A file the run set aside (a file it replaces, the earlier installation's log) to be put back
  // by Undo, or deleted by Commit.
  void SetAside(const std::string& original, const std::string& kept);
  // Whether something at path was set aside.
  bool HasSetAside(const std::string& path) const;
  // A service the run is about to change (a reinstall updates its own): its configuration now,
  // which Undo gives it back.
  void KeepService(const ServiceSpec& before);

  // Takes over everything other holds, leaving it empty (the changes outlive their run's session
  // while merge modules follow).
  void TakeFrom(RollbackJournal& other);
  // The run succeeded: what was set aside is deleted, and the journal is emptied.
  void Commit(Platform& platform);
  // The run failed: every change undone, newest first, and the journal emptied.
  RollbackOutcome Undo(Platform& platform, Trace& trace);

 private:
  struct Step {
    std::string kind, value, content;  // content: an INI file's text, or where a file was set aside
    ServiceSpec service;  // for "SERVICECONFIG"
  };
  struct NotedValue {
    RegRoot root;
    std::string key, name;
    std::optional<RegValue> before;
  };
  bool UndoStep(Platform& platform, const Step& step, RollbackOutcome& outcome, Trace& trace);
  bool UndoOther(Platform& platform, const Step& step);
  bool RestoreValue(Platform& platform, const std::string& logged);
  enum class PutBack { kBack, kAtRestart, kFailed };
  static PutBack PutBackKept(FileSystem& files, const std::string& original, const std::string& kept);

  mutable std::mutex lock_;
  std::vector<Step> steps_;
  std::map<std::string, NotedValue> values_;  // by the logged text, lower case
  std::set<std::string> setAsideFrom_;  // the originals set aside ("SETASIDE" steps), lower case
};

}  // namespace tw
