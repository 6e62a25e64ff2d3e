// What the uninstaller never removes, whatever a log says: drive roots and the machine's
// well-known folders (and the folders above them), every user's profile and its own folders,
// anything in another user's profile, anything inside the Windows folder, registry roots and the
// keys one level below them, well-known keys however spelled, autorun values, the system's
// environment values, anything on a network drive, and any path that passes through a link or
// reparse point. A substituted drive is checked as the folder it stands for, and names are
// compared without case in every script. Each check gives
// the reason for a refusal, or nothing when the removal may go ahead.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace tw {

struct Platform;

// A registry key named the way the log names it: root name, backslash, key path.
struct RegKeyPath {
  RegRoot root = RegRoot::CurrentUser;
  std::string key;  // without a trailing backslash; empty for the root itself
};

// "HKEY_CURRENT_USER\Software\x" -> root and key; nothing for an unknown root or an empty part.
std::optional<RegKeyPath> ParseRegKeyPath(const std::string& text);
// A drive path made plain: "/" as "\", repeated backslashes as one, no trailing backslash.
// Nothing (with the reason) for anything that could name another entry than it seems to: a
// relative or network path, "." or "..", a component ending in a dot or blank, a stream, a
// wildcard, a short "~1" name.
std::optional<std::string> PlainPath(const std::string& path, std::string* reason = nullptr);

class RemovalGuard {
 public:
  // Reads the machine's well-known folders once.
  explicit RemovalGuard(const Platform& platform);

  // A file or shortcut named by the log.
  std::optional<std::string> CheckFile(const std::string& path) const;
  // A folder named by the log (removed when empty, or with all it holds).
  std::optional<std::string> CheckFolder(const std::string& path) const;
  // A key to delete. wholeTree marks a "remove with its subkeys" entry: a file type or extension
  // key directly under HKEY_CLASSES_ROOT is then allowed, as associations make them.
  std::optional<std::string> CheckKey(const RegKeyPath& key, bool wholeTree) const;
  // A value name in a key.
  std::optional<std::string> CheckValue(const RegKeyPath& key, const std::string& name) const;

 private:
  std::optional<std::string> CheckPath(const std::string& path, bool folder) const;
  std::optional<std::string> ResolveDrive(const std::string& plain, std::string* reason) const;
  std::optional<std::string> CheckLinks(const std::string& plain) const;
  std::optional<std::string> CheckProfiles(const std::string& key, bool folder) const;
  std::vector<std::string> KeyForms(const RegKeyPath& key) const;
  // The system's case key of text: names compare equal, in any script, when their keys do.
  std::string Fold(const std::string& text) const;
  static bool Listed(const std::vector<std::string>& keys, const std::string& key);

  const Platform& platform_;
  // All below are case keys; folders without a trailing backslash.
  std::string windowsFolder_;
  std::vector<std::string> knownFolders_;
  std::string currentProfile_, profilesRoot_;  // profilesRoot_ holds every profile
  std::vector<std::string> knownKeys_, autorunKeys_, knownClasses_, environmentKeys_, systemVariables_;
};

}  // namespace tw
