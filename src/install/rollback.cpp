#include "install/rollback.h"

#include "platform/platform.h"
#include "platform/text.h"
#include "project/trace.h"

namespace tw {
namespace {

// "HKEY_CURRENT_USER\Software\Acme" as a root and a key; nothing for an unknown root.
std::optional<std::pair<RegRoot, std::string>> SplitKeyPath(const std::string& text) {
  const std::string path = WithoutTrailingBackslash(text);
  const size_t cut = path.find('\\');
  std::optional<RegRoot> root = RegRootFromName(path.substr(0, cut));
  if (!root || cut == std::string::npos) return std::nullopt;
  return std::make_pair(*root, path.substr(cut + 1));
}

// A file the run made goes whatever attributes it was given; a link is deleted, never followed.
// One a program holds open goes at the next start. A file the run kept for itself is not looked
// for after its deletion (own).
bool RemoveFile(FileSystem& files, const std::string& path, bool own = false) {
  auto remove = [&] { return own ? files.RemoveOwn(path) : files.Remove(path); };
  Removal removal = remove();
  // Read-only is asked about only when the removal was refused: most files are not.
  if (removal == Removal::kRefused) {
    std::optional<uint32_t> attributes = files.Attributes(path);
    if (attributes && (*attributes & kAttrReadOnly) && !(*attributes & kAttrFolder) &&
        files.SetAttributes(path, *attributes & ~kAttrReadOnly))
      removal = remove();
  }
  if (removal == Removal::kInUse) return files.RemoveAtRestart(path);
  return removal == Removal::kRemoved || removal == Removal::kMissing;
}

}  // namespace

void RollbackJournal::Made(const std::string& kind, const std::string& value) {
  std::lock_guard<std::mutex> lock(lock_);
  steps_.push_back({kind, value, "", {}});
}

void RollbackJournal::KeepContent(const std::string& path, const std::string& content) {
  std::lock_guard<std::mutex> lock(lock_);
  steps_.push_back({"CONTENT", path, content, {}});
}

void RollbackJournal::NoteValue(const std::string& logged, RegRoot root, const std::string& key,
                                const std::string& name, std::optional<RegValue> before) {
  std::lock_guard<std::mutex> lock(lock_);
  values_.emplace(Lower(logged), NotedValue{root, key, name, std::move(before)});
}

void RollbackJournal::SetAside(const std::string& original, const std::string& kept) {
  std::lock_guard<std::mutex> lock(lock_);
  setAsideFrom_.insert(Lower(original));
  // Undone in its place among the other changes: a file the run wrote twice gets its first version
  // back before that one goes.
  steps_.push_back({"SETASIDE", original, kept, {}});
}

bool RollbackJournal::HasSetAside(const std::string& path) const {
  std::lock_guard<std::mutex> lock(lock_);
  return setAsideFrom_.count(Lower(path)) > 0;
}

void RollbackJournal::KeepService(const ServiceSpec& before) {
  std::lock_guard<std::mutex> lock(lock_);
  steps_.push_back({"SERVICECONFIG", before.name, "", before});
}

void RollbackJournal::TakeFrom(RollbackJournal& other) {
  std::scoped_lock both(lock_, other.lock_);
  steps_ = std::move(other.steps_);
  values_ = std::move(other.values_);
  setAsideFrom_ = std::move(other.setAsideFrom_);
  other.steps_.clear();
  other.values_.clear();
  other.setAsideFrom_.clear();
}

void RollbackJournal::Commit(Platform& platform) {
  std::lock_guard<std::mutex> lock(lock_);
  // A program replaced while it ran is still mapped from its old file: that goes at the next start.
  for (const Step& step : steps_)
    if (step.kind == "SETASIDE") RemoveFile(platform.files, step.content, true);
  setAsideFrom_.clear();
  steps_.clear();
  values_.clear();
}

RollbackOutcome RollbackJournal::Undo(Platform& platform, Trace& trace) {
  std::lock_guard<std::mutex> lock(lock_);
  RollbackOutcome outcome;
  for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) {
    const bool undone = UndoStep(platform, *step, outcome, trace);
    undone ? ++outcome.undone : ++outcome.failed;
  }
  steps_.clear();
  values_.clear();
  setAsideFrom_.clear();
  return outcome;
}

// The kept file goes back in place of the run's. When a program holds the run's file (it was
// started from it), the kept one replaces it as the machine next starts.
RollbackJournal::PutBack RollbackJournal::PutBackKept(FileSystem& files, const std::string& original,
                                                      const std::string& kept) {
  std::optional<uint32_t> attributes = files.Attributes(original);
  if (attributes && (*attributes & kAttrReadOnly)) files.SetAttributes(original, *attributes & ~kAttrReadOnly);
  switch (attributes ? files.Remove(original) : Removal::kMissing) {
    case Removal::kRemoved:
    case Removal::kMissing:
      return files.Move(kept, original) ? PutBack::kBack : PutBack::kFailed;
    case Removal::kInUse:
      return files.ReplaceAtRestart(kept, original) ? PutBack::kAtRestart : PutBack::kFailed;
    case Removal::kRefused:
      break;
  }
  return PutBack::kFailed;
}

bool RollbackJournal::UndoStep(Platform& platform, const Step& step, RollbackOutcome& outcome, Trace& trace) {
  FileSystem& files = platform.files;
  ClearSystemError();  // a failure is told with its own step's reason, never an earlier one's
  if (step.kind == "SETASIDE") {
    const PutBack back = PutBackKept(files, step.value, step.content);
    if (back == PutBack::kAtRestart) outcome.restartNeeded = true;
    static const char* const kResults[] = {"ok", "at-restart", "failed"};
    trace.Write("rollback", "put-back", {{"path", step.value}, {"result", kResults[static_cast<int>(back)]}},
                back == PutBack::kFailed ? LastSystemError() : SystemError{});
    return back != PutBack::kFailed;
  }
  const bool undone = UndoOther(platform, step);
  trace.WriteResult("rollback", "undo", {{"kind", step.kind}, {"value", step.value}}, undone);
  return undone;
}

bool RollbackJournal::UndoOther(Platform& platform, const Step& step) {
  FileSystem& files = platform.files;
  if (step.kind == "FILE") return RemoveFile(files, step.value);
  // Made by the run, but something of someone else's may have been put in it since: it stays then.
  if (step.kind == "DIR") return !files.IsFolder(step.value) || files.RemoveFolder(step.value);
  if (step.kind == "LOGDIR") return !files.IsFolder(step.value) || files.RemoveTree(step.value, LeftInUse::kStays);
  if (step.kind == "NTSERVICE") return platform.services.Remove(step.value) != ServiceRemoval::Refused;
  if (step.kind == "SERVICECONFIG") return platform.services.Update(step.service);
  if (step.kind == "REGVAL") return RestoreValue(platform, step.value);
  if (step.kind == "CONTENT") return files.WriteAll(step.value, step.content);
  std::optional<std::pair<RegRoot, std::string>> key = SplitKeyPath(step.value);
  if (!key) return false;
  // A key that was not there before holds nothing of anyone else's.
  return !platform.registry.CanOpen(key->first, key->second, RegAccess::Read) ||
         platform.registry.DeleteTree(key->first, key->second);
}

bool RollbackJournal::RestoreValue(Platform& platform, const std::string& logged) {
  auto noted = values_.find(Lower(logged));
  if (noted == values_.end()) return false;
  const NotedValue& value = noted->second;
  Registry& registry = platform.registry;
  if (!value.before)
    return !registry.CanOpen(value.root, value.key, RegAccess::Read) ||
           registry.DeleteValue(value.root, value.key, value.name) ||
           !registry.ReadRawValue(value.root, value.key, value.name);
  return registry.WriteRawValue(value.root, value.key, value.name, *value.before);
}

}  // namespace tw
