#include "uninstall/reversal.h"

#include <algorithm>
#include <optional>

#include "platform/platform.h"
#include "project/trace.h"
#include "platform/text.h"
#include "uninstall/removal_guard.h"

namespace tw {
namespace {

// A plain name: no folder, no drive, nothing that climbs out of the folder it is joined to.
bool IsPlainName(const std::string& name) {
  return !name.empty() && name.size() < 256 && name != "." && name != ".." &&
         name.find_first_of("\\/:") == std::string::npos;
}

// How many levels below the drive a path is, counting either separator.
size_t Depth(const std::string& path) {
  std::string trimmed = path;
  while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/')) trimmed.pop_back();
  return static_cast<size_t>(std::count_if(trimmed.begin(), trimmed.end(), [](char c) { return c == '\\' || c == '/'; }));
}

class Reverser {
 public:
  Reverser(Platform& platform, Trace& trace, const RemovalGuard& guard, const UninstallLog& log,
           const PriorRecords& prior, const std::set<std::string>& sharedFiles, const std::string& logDir,
           const ReversalProgress& progress)
      : platform_(platform),
        trace_(trace),
        guard_(guard),
        log_(log),
        prior_(prior),
        sharedFiles_(sharedFiles),
        logDir_(logDir),
        progress_(progress) {
    for (const LogEntry& entry : log.entries)
      if (entry.key != "TOTALFILE" && entry.key != "RUN3RDCMD" && entry.key != "REMOVEALL") ++total_;
  }

  ReversalOutcome Run() {
    for (const SkippedLine& skipped : log_.skipped)
      trace_.Write("uninstall", "skip-line", {{"line", std::to_string(skipped.line)}, {"reason", skipped.reason}});
    EachReversed({"RUN3RD"}, [this](const LogEntry& entry) { RunProgram(entry); });
    EachReversed({"NTSERVICE"}, [this](const LogEntry& entry) { RemoveService(entry); });
    EachReversed({"SHORTCUT", "FILE"}, [this](const LogEntry& entry) { RemoveFile(entry); });
    EachReversed({"REGVAL"}, [this](const LogEntry& entry) { RemoveValue(entry); });
    EachReversed({"REMKEY"}, [this](const LogEntry& entry) { RemoveKey(entry, true); });
    // Created keys and folders from the last entry to the first, but always one before those
    // above it, whatever order the log gave them in (a reinstall logs what it found made last).
    for (const LogEntry* entry : DeepestFirst(log_.Find("REGKEY")))
      Step(*entry, [this](const LogEntry& key) { RemoveKey(key, false); });
    auto dirs = log_.Find("DIR");
    installFolder_ = InstallFolder(dirs);
    removeAll_ = log_.Has("REMOVEALL", "Yes");
    for (const LogEntry* entry : DeepestFirst(dirs))
      Step(*entry, [this](const LogEntry& folder) { RemoveFolder(folder); });
    return outcome_;
  }

 private:
  template <typename Action>
  void EachReversed(std::initializer_list<const char*> keys, Action action) {
    for (auto it = log_.entries.rbegin(); it != log_.entries.rend(); ++it) {
      bool wanted = false;
      for (const char* key : keys) wanted = wanted || it->key == key;
      if (wanted) Step(*it, action);
    }
  }

  template <typename Action>
  void Step(const LogEntry& entry, Action action) {
    ClearSystemError();  // a failure is told with its own entry's reason, never an earlier one's
    action(entry);
    if (progress_) progress_(++done_, total_);
  }

  static std::vector<const LogEntry*> DeepestFirst(const std::vector<const LogEntry*>& entries) {
    std::vector<const LogEntry*> ordered(entries.rbegin(), entries.rend());
    std::stable_sort(ordered.begin(), ordered.end(),
                     [](const LogEntry* a, const LogEntry* b) { return Depth(a->value) > Depth(b->value); });
    return ordered;
  }

  // The folder "remove all" empties: the install folder the record names, and only when the log
  // says the installation made it (a folder the user already had holds more than the product).
  // A log from before the record existed names its install folder first.
  const LogEntry* InstallFolder(const std::vector<const LogEntry*>& dirs) const {
    if (!prior_.headerSeen) return dirs.empty() ? nullptr : dirs.front();
    const std::string wanted = Lower(WithoutTrailingBackslash(prior_.installDir));
    for (const LogEntry* dir : dirs)
      if (!wanted.empty() && Lower(WithoutTrailingBackslash(dir->value)) == wanted) return dir;
    return nullptr;
  }

  void Note(const LogEntry& entry, const char* result, const std::string& reason = "", SystemError error = {}) {
    if (reason.empty())
      trace_.Write("uninstall", "entry", {{"line", std::to_string(entry.line)}, {"key", entry.key}, {"value", entry.value},
                                          {"result", result}}, error);
    else
      trace_.Write("uninstall", "entry", {{"line", std::to_string(entry.line)}, {"key", entry.key}, {"value", entry.value},
                                          {"result", result}, {"reason", reason}});
  }
  void Refuse(const LogEntry& entry, const std::string& reason) {
    ++outcome_.refused;
    Note(entry, "refused", reason);
  }
  void Done(const LogEntry& entry, const char* result) {
    ++outcome_.removed;
    Note(entry, result);
  }
  void Fail(const LogEntry& entry, const char* result) {
    ++outcome_.failed;
    outcome_.failedLines.push_back(entry.line);
    Note(entry, result, "", LastSystemError());
  }

  // The command line that follows this program's entry, up to the next program.
  std::string CommandFor(const LogEntry& program) const {
    bool after = false;
    for (const LogEntry& entry : log_.entries) {
      if (&entry == &program) {
        after = true;
      } else if (after && entry.key == "RUN3RD") {
        break;
      } else if (after && entry.key == "RUN3RDCMD") {
        return entry.value;
      }
    }
    return "";
  }

  void RunProgram(const LogEntry& entry) {
    if (!IsPlainName(entry.value)) return Refuse(entry, "not-a-file-name");
    const std::string program = logDir_ + entry.value;
    if (!platform_.files.Exists(program) || platform_.files.IsFolder(program)) return Fail(entry, "missing");
    const std::string command = CommandFor(entry);
    // The program gets its own path as its first argument, as any started program expects.
    const bool ran =
        platform_.shell.RunAndWait(program, "\"" + program + "\"" + (command.empty() ? "" : " " + command)).has_value();
    ran ? Done(entry, "ran") : Fail(entry, "not-started");
  }

  // A service is the product's when the program it runs is a file the log installed: a log naming
  // "Spooler", or another product's service, removes nothing.
  bool RunsAnInstalledFile(const std::string& name) const {
    std::optional<ServiceSpec> service = platform_.services.Configuration(name);
    if (!service) return true;  // no such service: nothing to take
    std::string program = Lower(service->path);
    if (!program.empty() && program.front() == '"') {
      program = program.substr(1, program.find('"', 1) - 1);
    } else if (size_t exe = program.find(".exe"); exe != std::string::npos) {
      program.erase(exe + 4);
    }
    for (const LogEntry* file : log_.Find("FILE"))
      if (Lower(file->value) == program) return true;
    return false;
  }

  void RemoveService(const LogEntry& entry) {
    if (!IsPlainName(entry.value)) return Refuse(entry, "not-a-service-name");
    if (!RunsAnInstalledFile(entry.value)) return Refuse(entry, "not-the-products-service");
    switch (platform_.services.Remove(entry.value)) {
      case ServiceRemoval::Removed: return Done(entry, "removed");
      case ServiceRemoval::Missing: return Done(entry, "missing");
      case ServiceRemoval::NoManager: return Fail(entry, "no-manager");
      case ServiceRemoval::Refused: return Fail(entry, "refused-by-manager");
    }
  }

  // An entry a program holds open now is left for the next start; one the system refused for any
  // other reason stays, and the removal has failed.
  void RemoveFile(const LogEntry& entry) {
    if (auto refusal = guard_.CheckFile(entry.value)) return Refuse(entry, *refusal);
    // Another installed product still needs it; the last of them to go takes it.
    if (sharedFiles_.count(Lower(entry.value))) return Done(entry, "kept-shared");
    FileSystem& files = platform_.files;
    auto attributes = files.Attributes(entry.value);
    if (!attributes) return Done(entry, "missing");
    if (*attributes & kAttrReadOnly) files.SetAttributes(entry.value, *attributes & ~kAttrReadOnly);
    switch (files.Remove(entry.value)) {
      case Removal::kRemoved: return Done(entry, "removed");
      case Removal::kMissing: return Done(entry, "missing");
      case Removal::kInUse: return RemoveAtRestart(entry, entry.value);
      case Removal::kRefused: return Fail(entry, "failed");
    }
  }

  void RemoveAtRestart(const LogEntry& entry, const std::string& path) {
    if (platform_.files.RemoveAtRestart(path)) {
      outcome_.restartNeeded = true;
      Done(entry, "at-restart");
    } else {
      Fail(entry, "failed");
    }
  }

  void RemoveValue(const LogEntry& entry) {
    if (const PriorValue* before = prior_.Find(entry.value)) return RestoreValue(entry, *before);
    std::optional<ValueName> value = prior_.Split(entry.value);
    std::optional<RegKeyPath> key = value ? ParseRegKeyPath(value->key) : std::nullopt;
    if (!key) return Refuse(entry, "not-a-value-path");
    if (auto refusal = guard_.CheckValue(*key, value->name)) return Refuse(entry, *refusal);
    if (!platform_.registry.CanOpen(key->root, key->key, RegAccess::Read)) return Done(entry, "missing");
    platform_.registry.DeleteValue(key->root, key->key, value->name) ? Done(entry, "removed") : Done(entry, "absent");
  }

  // A value that was there before the installation wrote it gets its old content back.
  void RestoreValue(const LogEntry& entry, const PriorValue& before) {
    auto key = ParseRegKeyPath(before.key);
    if (!key) return Refuse(entry, "not-a-value-path");
    if (auto refusal = guard_.CheckValue(*key, before.name)) return Refuse(entry, *refusal);
    Registry& registry = platform_.registry;
    const bool keyThere =
        registry.CanOpen(key->root, key->key, RegAccess::Write) || registry.CreateKey(key->root, key->key);
    const bool restored = keyThere && registry.WriteRawValue(key->root, key->key, before.name, before.value);
    restored ? Done(entry, "restored") : Fail(entry, "not-restored");
  }

  void RemoveKey(const LogEntry& entry, bool wholeTree) {
    auto key = ParseRegKeyPath(entry.value);
    if (!key) return Refuse(entry, "not-a-key-path");
    if (auto refusal = guard_.CheckKey(*key, wholeTree)) return Refuse(entry, *refusal);
    Registry& registry = platform_.registry;
    if (!registry.CanOpen(key->root, key->key, RegAccess::Read)) return Done(entry, "missing");
    if (!wholeTree && !registry.IsEmptyKey(key->root, key->key)) return Done(entry, "kept-not-empty");
    registry.DeleteTree(key->root, key->key) ? Done(entry, "removed") : Fail(entry, "failed");
  }

  void RemoveFolder(const LogEntry& entry) {
    if (auto refusal = guard_.CheckFolder(entry.value)) return Refuse(entry, *refusal);
    FileSystem& files = platform_.files;
    if (!files.IsFolder(entry.value)) return Done(entry, "missing");
    if (removeAll_ && &entry == installFolder_) return RemoveAll(entry);
    if (files.RemoveFolder(entry.value)) return Done(entry, "removed");
    // A folder still holding files that go at the next start goes with them, if it is empty then.
    if (outcome_.restartNeeded) return RemoveAtRestart(entry, entry.value);
    Done(entry, "kept-not-empty");
  }

  void RemoveAll(const LogEntry& entry) {
    TreeRemoval tree = platform_.files.RemoveTree(entry.value, LeftInUse::kAtRestart);
    trace_.Write("uninstall", "remove-all",
                 {{"path", entry.value}, {"in-use", std::to_string(tree.inUse)},
                  {"refused", std::to_string(tree.refused)}, {"at-restart", std::to_string(tree.atRestart)}});
    outcome_.restartNeeded = outcome_.restartNeeded || tree.atRestart > 0;
    if (tree.removed) return Done(entry, "removed-all");
    if (tree.refused == 0 && tree.atRestart > 0) return Done(entry, "at-restart");
    Fail(entry, "failed");
  }

  Platform& platform_;
  Trace& trace_;
  const RemovalGuard& guard_;
  const UninstallLog& log_;
  const PriorRecords& prior_;
  const std::set<std::string>& sharedFiles_;
  const std::string logDir_;
  const ReversalProgress& progress_;
  ReversalOutcome outcome_;
  int done_ = 0, total_ = 0;
  const LogEntry* installFolder_ = nullptr;
  bool removeAll_ = false;
};

}  // namespace

ReversalOutcome ReverseLog(Platform& platform, Trace& trace, const RemovalGuard& guard, const UninstallLog& log,
                           const PriorRecords& prior, const std::set<std::string>& sharedFiles,
                           const std::string& logDir, const ReversalProgress& progress) {
  return Reverser(platform, trace, guard, log, prior, sharedFiles, logDir, progress).Run();
}

}  // namespace tw
