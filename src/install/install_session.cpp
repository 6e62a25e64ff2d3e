#include "install/install_session.h"

#include "project/host_flags.h"
#include "project/trace.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "support/fixed_dialogs.h"
#include "support/staged_file.h"

namespace tw {
namespace {

// How many names "<file>.~twkeep", "<file>.~twkeep2", ... a replaced file may be kept under.
constexpr int kMaxKeptNames = 100;

// Condition actions met during the installation: a cancel aborts the run, a message is shown.
class InstallActions : public ActionHost {
 public:
  explicit InstallActions(InstallSession& session) : session_(session) {}
  void Abort() override { session_.flags.cancelled = kOn; }
  void ShowInfo(const std::string& text) override { session_.dialogs.ShowInfo(text); }

 private:
  InstallSession& session_;
};

}  // namespace

InstallSession::~InstallSession() = default;

// A preview writes nothing: the log belongs to the product as installed. Without a product code
// there is no log at all.
bool InstallSession::Writes() const { return flags.previewMode != kOn && !LogPath.empty(); }

void InstallSession::WriteLogEntry(const std::string& key, const std::string& value) {
  if (!Writes()) {
    trace.Write("install", "log", {{"key", key}, {"value", value}, {"result", LogPath.empty() ? "no-log" : "preview"}});
    return;
  }
  std::lock_guard<std::mutex> lock(logLock_);
  if (!logFile_ || logFile_->Path() != LogPath)
    logFile_ = std::make_unique<StoredTextFile>(platform.files, platform.system, LogPath);
  bool written = logFile_->Write(key + "=" + value + "\r\n");
  logged_.insert(OwnershipKey(key, value));
  trace.Write("install", "log", {{"key", key}, {"value", value}, {"result", written ? "ok" : "lost"}});
}

void InstallSession::CloseLog() {
  std::lock_guard<std::mutex> lock(logLock_);
  logFile_.reset();
  priorFile_.reset();
}

bool InstallSession::LogIfOwned(const std::string& key, const std::string& value, bool madeNow) {
  if (!madeNow && !Earlier.Owns(key, value)) {
    trace.Write("install", "not-owned", {{"key", key}, {"value", value}});
    return false;
  }
  if (madeNow && key != "FILE") Made(key, value);
  WriteLogEntry(key, value);
  return true;
}

void InstallSession::Made(const std::string& kind, const std::string& value) {
  if (flags.previewMode != kOn) Rollback.Made(kind, value);
}

bool InstallSession::Replaced(const std::string& path) const { return Rollback.HasSetAside(path); }

void InstallSession::MadeFile(const std::string& path, bool existedBefore) {
  if (!existedBefore) Made("FILE", path);
}

void InstallSession::KeepValue(RegRoot root, const std::string& key, const std::string& name) {
  if (flags.previewMode == kOn) return;
  const std::string logged = std::string(RegRootName(root)) + "\\" + key + "\\" + name;
  Rollback.NoteValue(logged, root, key, name, platform.registry.ReadRawValue(root, key, name));
  Rollback.Made("REGVAL", logged);
}

bool InstallSession::CommitKeeping(StagedFile& staged) {
  if (flags.previewMode == kOn) return staged.Commit();
  return KeepingAside(staged, [&staged](const std::string& kept) { return staged.CommitKeeping(kept); });
}

bool InstallSession::CommitOpenKeeping(StagedFile& staged, StampedFile& file) {
  if (flags.previewMode == kOn) return false;
  return KeepingAside(staged, [&](const std::string& kept) { return staged.CommitOpenKeeping(file, kept); });
}

// A name of its own: a file left by a run that never ended may still be someone's only copy. The
// keeping refuses a name that is taken, and the next is tried only then (never after any other
// failure, which another name would only repeat). What was kept is journalled even when the commit
// then failed, so nothing kept is ever left behind.
bool InstallSession::KeepingAside(StagedFile& staged, const std::function<bool(const std::string&)>& commit) {
  std::string kept = staged.Destination() + ".~twkeep";
  for (int n = 2;; ++n) {
    const bool committed = commit(kept);
    if (staged.KeptOriginal()) {
      Rollback.SetAside(staged.Destination(), kept);
      return committed;
    }
    if (committed) return true;
    if (n == kMaxKeptNames || !staged.KeepNameTaken()) return false;
    kept = staged.Destination() + ".~twkeep" + std::to_string(n);
  }
}

void InstallSession::WritePrior(const std::string& line) {
  if (!Writes()) return;
  std::lock_guard<std::mutex> lock(logLock_);
  if (!priorFile_) priorFile_ = std::make_unique<StoredTextFile>(platform.files, platform.system, LogDir + kPriorFileName);
  if (!priorFile_->Write(line)) {
    trace.Write("install", "prior-record", {{"result", "lost"}});
  }
}

void InstallSession::StartPriorRecord() {
  WritePrior(FormatPriorHeader());
  WritePrior(FormatInstallDirRecord(InstallDir()));
  for (const auto& [id, value] : Earlier.prior.values) {
    noted_.insert(id);
    WritePrior(FormatValueRecord(value));
  }
  for (const auto& [id, name] : Earlier.prior.names) WritePrior(FormatNameRecord(name));
}

void InstallSession::NotePriorValue(RegRoot root, const std::string& key, const std::string& name,
                                    const std::string& logged) {
  if (flags.previewMode == kOn) return;
  // Written back through the key as the uninstaller parses it: no trailing backslash.
  std::string keyPath = key;
  while (!keyPath.empty() && keyPath.back() == '\\') keyPath.pop_back();
  const std::string fullKey = std::string(RegRootName(root)) + "\\" + keyPath;
  std::optional<RegValue> before = platform.registry.ReadRawValue(root, keyPath, name);
  // A rollback puts back what this run found, whoever made it.
  Rollback.NoteValue(logged, root, keyPath, name, before);
  if (!Writes() || !noted_.insert(Lower(logged)).second || Earlier.Owns("REGVAL", logged)) return;
  if (!before) {
    if (name.find('\\') != std::string::npos) WritePrior(FormatNameRecord({logged, fullKey, name}));
    return;
  }
  WritePrior(FormatValueRecord({logged, fullKey, name, *before}));
  trace.Write("install", "prior-value", {{"value", logged}, {"type", std::to_string(before->type)}});
}

void InstallSession::LogEarlierLeftovers() {
  for (const LogEntry& entry : Earlier.owned) {
    bool logged;
    {
      std::lock_guard<std::mutex> lock(logLock_);
      logged = logged_.count(OwnershipKey(entry.key, entry.value)) > 0;
    }
    if (!logged) WriteLogEntry(entry.key, entry.value);
  }
}

uint64_t InstallSession::LoggedFileBytes() {
  std::vector<std::string> paths;
  {
    std::lock_guard<std::mutex> lock(logLock_);
    for (const std::string& key : logged_)
      if (key.rfind("FILE\t", 0) == 0) paths.push_back(key.substr(5));
  }
  uint64_t total = 0;
  for (const std::string& path : paths) total += platform.files.FileSize(path).value_or(0);
  return total;
}

void InstallSession::SetStatus(const std::string& text) {
  trace.Write("install", "status", {{"text", text}});
  progress.SetStatusText(text);
}

bool InstallSession::ConditionAllows(const std::string& name) {
  InstallActions actions(*this);
  return host.Conditions.ConditionAllows(
      name, [this](const std::string& text) { return Expand(text); },
      [&actions](const std::string& command) { RunAction(command, actions); });
}

}  // namespace tw
