#include "uninstall/removal_guard.h"

#include <algorithm>
#include <cctype>

#include "platform/platform.h"
#include "platform/text.h"

namespace tw {
namespace {

// The shell folders no installation owns: the profile and its folders, the Start menu and its
// Programs and Startup folders (the user's and everyone's), the desktops, documents, application
// data, fonts, Program Files and Common Files (both widths), Windows and system folders.
const int kKnownCsidls[] = {0x02, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0b, 0x0d, 0x0e, 0x10, 0x13, 0x14, 0x15,
                            0x16, 0x17, 0x18, 0x19, 0x1a, 0x1b, 0x1c, 0x1f, 0x20, 0x21, 0x22, 0x23, 0x24,
                            0x25, 0x26, 0x27, 0x28, 0x29, 0x2a, 0x2b, 0x2c, 0x2d, 0x2e, 0x2f, 0x30};

constexpr int kProfileCsidl = 0x28;
const char kCurrentVersion[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
const char* const kFolderValues[] = {"ProgramFilesDir", "CommonFilesDir", "ProgramFilesDir (x86)",
                                     "CommonFilesDir (x86)", "ProgramW6432Dir", "CommonW6432Dir"};

// Keys that hold other programs' entries; they and every key above them stay. These lists are
// compared as case keys, however the log spells them.
const char* const kKnownKeys[] = {
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\uninstall",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\run",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\runonce",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\app paths",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\explorer",
    "hkey_local_machine\\software\\microsoft\\windows nt\\currentversion",
    "hkey_local_machine\\software\\wow6432node\\microsoft\\windows\\currentversion\\uninstall",
    "hkey_local_machine\\software\\classes\\clsid",
    "hkey_local_machine\\software\\policies\\microsoft",
    "hkey_local_machine\\system\\currentcontrolset\\services",
    "hkey_local_machine\\system\\currentcontrolset\\control\\session manager\\environment",
    "hkey_current_user\\software\\microsoft\\windows\\currentversion\\run",
    "hkey_current_user\\software\\microsoft\\windows\\currentversion\\runonce",
    "hkey_current_user\\software\\microsoft\\windows\\currentversion\\explorer",
    "hkey_current_user\\software\\classes\\clsid",
    "hkey_current_user\\software\\policies\\microsoft",
    "hkey_current_user\\software\\microsoft\\windows nt\\currentversion\\winlogon",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\policies",
    "hkey_current_user\\software\\microsoft\\windows\\currentversion\\policies",
};

// Keys whose values start programs or set the system's rules: not one of their values is removed.
const char* const kAutorunValueKeys[] = {
    "hkey_local_machine\\software\\microsoft\\windows nt\\currentversion\\winlogon",
    "hkey_current_user\\software\\microsoft\\windows nt\\currentversion\\winlogon",
    "hkey_local_machine\\software\\microsoft\\windows\\currentversion\\policies",
    "hkey_current_user\\software\\microsoft\\windows\\currentversion\\policies",
    "hkey_local_machine\\software\\policies",
    "hkey_current_user\\software\\policies",
};

// Keys directly under HKEY_CLASSES_ROOT that the system's own file types and objects need.
const char* const kKnownClasses[] = {"*",        "allfilesystemobjects", "appid",   "applications", "clsid",
                                     "directory", "drive",               "folder",  "interface",    "typelib",
                                     "mime",      "systemfileassociations", "installer", "exefile", "dllfile",
                                     "lnkfile",   "batfile",             "cmdfile", "comfile",      "msi.package",
                                     ".exe",      ".dll",                ".lnk",    ".bat",         ".cmd",
                                     ".com",      ".msi",                ".sys",    ".scr",         ".url"};

// Environment keys and the values in them that the system itself owns.
const char* const kEnvironmentKeys[] = {
    "hkey_local_machine\\system\\currentcontrolset\\control\\session manager\\environment",
    "hkey_current_user\\environment"};
const char* const kSystemVariables[] = {"path", "pathext", "comspec", "windir", "temp", "tmp",
                                        "os", "psmodulepath", "systemroot"};

bool IsAtOrAbove(const std::string& path, const std::string& known) {
  return known == path || (known.size() > path.size() && known.compare(0, path.size(), path) == 0 &&
                           known[path.size()] == '\\');
}

bool IsInside(const std::string& path, const std::string& folder) {
  return !folder.empty() && path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
         path[folder.size()] == '\\';
}

std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  size_t begin = 0;
  for (;;) {
    size_t cut = text.find('\\', begin);
    parts.push_back(text.substr(begin, cut == std::string::npos ? std::string::npos : cut - begin));
    if (cut == std::string::npos) return parts;
    begin = cut + 1;
  }
}

// Why a path component could alias another entry; empty when it is plain.
std::string JudgeComponent(const std::string& part) {
  if (part == "." || part == "..") return "dot-component";
  if (part.back() == '.' || part.back() == ' ') return "trailing-dot-or-blank";
  if (part.find_first_of(":*?\"<>|") != std::string::npos) return "reserved-character";
  size_t tilde = part.find('~');
  if (tilde != std::string::npos && tilde + 1 < part.size() && std::isdigit(static_cast<unsigned char>(part[tilde + 1])))
    return "short-name";
  return "";
}

// The text after prefix when full starts with it as whole components ("" when it is all of it).
std::optional<std::string> After(const std::string& full, const std::string& prefix) {
  if (full == prefix) return std::string();
  if (full.size() > prefix.size() && full.compare(0, prefix.size(), prefix) == 0 && full[prefix.size()] == '\\')
    return full.substr(prefix.size());
  return std::nullopt;
}

std::optional<std::string> Refuse(std::string* reason, const char* why) {
  if (reason) *reason = why;
  return std::nullopt;
}

}  // namespace

std::optional<RegKeyPath> ParseRegKeyPath(const std::string& text) {
  std::string path = text;
  if (!path.empty() && path.back() == '\\') path.pop_back();
  size_t cut = path.find('\\');
  auto root = RegRootFromName(path.substr(0, cut));
  if (!root) return std::nullopt;
  RegKeyPath parsed{*root, cut == std::string::npos ? "" : path.substr(cut + 1)};
  if (cut != std::string::npos) {
    for (const std::string& part : Split(parsed.key))
      if (part.empty()) return std::nullopt;
  }
  return parsed;
}

std::optional<std::string> PlainPath(const std::string& path, std::string* reason) {
  std::string plain;
  for (char c : path) {
    if (c == '/') c = '\\';
    if (c == '\\' && !plain.empty() && plain.back() == '\\') continue;
    plain += c;
  }
  if (plain.size() > 1 && plain.back() == '\\') plain.pop_back();
  if (plain.size() < 2 || !std::isalpha(static_cast<unsigned char>(plain[0])) || plain[1] != ':' ||
      (plain.size() > 2 && plain[2] != '\\'))
    return Refuse(reason, "not-a-drive-path");
  if (plain.size() <= 3) return Refuse(reason, "drive-root");
  std::vector<std::string> parts = Split(plain.substr(3));
  for (const std::string& part : parts) {
    std::string why = JudgeComponent(part);
    if (!why.empty()) {
      if (reason) *reason = why;
      return std::nullopt;
    }
  }
  return plain;
}

RemovalGuard::RemovalGuard(const Platform& platform) : platform_(platform) {
  auto add = [this](const std::string& folder) {
    if (auto plain = PlainPath(folder)) knownFolders_.push_back(Fold(*plain));
  };
  const SystemInfo& system = platform.system;
  windowsFolder_ = Fold(PlainPath(system.WindowsFolder()).value_or(""));
  currentProfile_ = Fold(PlainPath(system.SpecialFolder(kProfileCsidl)).value_or(""));
  profilesRoot_ = currentProfile_.substr(0, std::min(currentProfile_.rfind('\\'), currentProfile_.size()));
  add(system.WindowsFolder());
  add(system.SystemFolder());
  add(system.TempFolder());
  for (int csidl : kKnownCsidls) add(system.SpecialFolder(csidl));
  for (const char* name : kFolderValues)
    add(platform.registry.ReadString(RegRoot::LocalMachine, kCurrentVersion, name).value_or(""));
  auto foldAll = [this](auto& list) {
    std::vector<std::string> keys;
    for (const char* text : list) keys.push_back(Fold(text));
    return keys;
  };
  knownKeys_ = foldAll(kKnownKeys);
  autorunKeys_ = foldAll(kAutorunValueKeys);
  knownClasses_ = foldAll(kKnownClasses);
  environmentKeys_ = foldAll(kEnvironmentKeys);
  systemVariables_ = foldAll(kSystemVariables);
}

std::string RemovalGuard::Fold(const std::string& text) const { return platform_.system.CaseKey(text); }

bool RemovalGuard::Listed(const std::vector<std::string>& keys, const std::string& key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

// A drive letter standing for a folder (subst) is read as that folder, again while it is one; a
// network drive may reach this machine's own folders through a share, so nothing on one is taken.
std::optional<std::string> RemovalGuard::ResolveDrive(const std::string& plain, std::string* reason) const {
  std::string path = plain;
  for (int hops = 0; hops < 8; ++hops) {
    std::optional<std::string> target = platform_.system.DriveTarget(path[0]);
    if (!target) return path;
    if (target->rfind("\\\\", 0) == 0) return Refuse(reason, "network-drive");
    std::optional<std::string> resolved = PlainPath(*target + path.substr(2), reason);
    if (!resolved) return std::nullopt;
    path = *resolved;
  }
  return Refuse(reason, "drive-loop");
}

// The names one key goes by, as case keys: as written, and as the same key is reached through the
// other roots, so that no spelling gets past a protected list. A user's hive under HKEY_USERS is
// that user's HKEY_CURRENT_USER (its "_Classes" hive part of HKEY_CLASSES_ROOT), Software\Classes
// of either is HKEY_CLASSES_ROOT, the 32-bit view is the machine's software, and every numbered
// control set may be the current one.
std::vector<std::string> RemovalGuard::KeyForms(const RegKeyPath& key) const {
  std::string form = Fold(std::string(RegRootName(key.root)) + (key.key.empty() ? "" : "\\" + key.key));
  std::vector<std::string> forms{form};
  auto rewrite = [&](const char* from, const char* to) {
    if (std::optional<std::string> rest = After(form, Fold(from))) {
      form = Fold(to) + *rest;
      forms.push_back(form);
    }
  };
  if (std::optional<std::string> rest = After(form, Fold("hkey_users")); rest && !rest->empty()) {
    size_t cut = rest->find('\\', 1);
    const std::string hive = rest->substr(1, cut == std::string::npos ? std::string::npos : cut - 1);
    const std::string below = cut == std::string::npos ? "" : rest->substr(cut);
    const std::string classesSuffix = Fold("_classes");
    bool classes = hive.size() > classesSuffix.size() &&
                   hive.compare(hive.size() - classesSuffix.size(), classesSuffix.size(), classesSuffix) == 0;
    form = Fold(classes ? "hkey_classes_root" : "hkey_current_user") + below;
    forms.push_back(form);
  }
  rewrite("hkey_local_machine\\software\\wow6432node", "hkey_local_machine\\software");
  rewrite("hkey_local_machine\\software\\classes", "hkey_classes_root");
  rewrite("hkey_current_user\\software\\classes", "hkey_classes_root");
  const std::string sets = Fold("hkey_local_machine\\system\\controlset");
  if (form.compare(0, sets.size(), sets) == 0) {
    size_t end = form.find_first_not_of("0123456789", sets.size());
    if (end != sets.size() && (end == std::string::npos || form[end] == '\\'))
      forms.push_back(form = Fold("hkey_local_machine\\system\\currentcontrolset") +
                             form.substr(std::min(end, form.size())));
  }
  return forms;
}

std::optional<std::string> RemovalGuard::CheckLinks(const std::string& plain) const {
  // Every level from the drive down: a link anywhere on the way would lead the removal elsewhere.
  for (size_t cut = plain.find('\\', 3);; cut = plain.find('\\', cut + 1)) {
    const std::string level = plain.substr(0, cut);
    auto attributes = platform_.files.Attributes(level);
    if (attributes && (*attributes & kAttrReparsePoint)) return "link";
    if (cut == std::string::npos) return std::nullopt;
  }
}

std::optional<std::string> RemovalGuard::CheckPath(const std::string& path, bool folder) const {
  std::string reason;
  auto plain = PlainPath(path, &reason);
  if (plain) plain = ResolveDrive(*plain, &reason);
  if (!plain) return reason;
  const std::string key = Fold(*plain);
  for (const std::string& known : knownFolders_)
    if (IsAtOrAbove(key, known)) return std::string("well-known-folder");
  if (IsInside(key, windowsFolder_)) return std::string("inside-windows-folder");
  if (auto why = CheckProfiles(key, folder)) return why;
  if (auto link = CheckLinks(*plain)) return link;
  auto attributes = platform_.files.Attributes(*plain);
  if (attributes && folder != ((*attributes & kAttrFolder) != 0)) return std::string(folder ? "not-a-folder" : "a-folder");
  return std::nullopt;
}

// Every user's profile and the folders it is made of (Desktop, Documents, Downloads, AppData and
// the folders in AppData) are that user's; nothing in another user's profile was installed by an
// installation the current user ran. The shared "Public" profile is everyone's to install into.
std::optional<std::string> RemovalGuard::CheckProfiles(const std::string& key, bool folder) const {
  if (profilesRoot_.size() < 3 || !IsInside(key, profilesRoot_)) return std::nullopt;
  const std::vector<std::string> parts = Split(key.substr(profilesRoot_.size() + 1));
  if (folder && (parts.size() <= 2 || (parts.size() == 3 && parts[1] == Fold("appdata"))))
    return std::string("user-folder");
  if (parts[0] != Fold("public") && key != currentProfile_ && !IsInside(key, currentProfile_))
    return std::string("another-users-profile");
  return std::nullopt;
}

std::optional<std::string> RemovalGuard::CheckFile(const std::string& path) const { return CheckPath(path, false); }

std::optional<std::string> RemovalGuard::CheckFolder(const std::string& path) const { return CheckPath(path, true); }

std::optional<std::string> RemovalGuard::CheckKey(const RegKeyPath& key, bool wholeTree) const {
  const std::string classesRoot = Fold("hkey_classes_root");
  for (const std::string& full : KeyForms(key)) {
    const std::string below = full.substr(std::min(full.find('\\'), full.size()));
    if (below.empty()) return std::string("root-key");
    if (below.find('\\', 1) == std::string::npos) {
      bool classKey = full.compare(0, classesRoot.size(), classesRoot) == 0 && wholeTree;
      if (!classKey || Listed(knownClasses_, below.substr(1))) return std::string("top-level-key");
    }
    for (const std::string& known : knownKeys_)
      if (IsAtOrAbove(full, known)) return std::string("well-known-key");
  }
  return std::nullopt;
}

std::optional<std::string> RemovalGuard::CheckValue(const RegKeyPath& key, const std::string& name) const {
  if (key.key.empty()) return std::string("root-key");
  for (const std::string& full : KeyForms(key)) {
    for (const std::string& autorun : autorunKeys_)
      if (full == autorun || IsInside(full, autorun)) return std::string("autorun-value");
    if (Listed(environmentKeys_, full) && Listed(systemVariables_, Fold(name))) return std::string("system-variable");
  }
  return std::nullopt;
}

}  // namespace tw
