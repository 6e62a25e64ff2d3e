// Creating the project's shortcuts and their folders and icons, each logged for the uninstaller.
#include "install/shortcuts.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "project/placeholders.h"
#include "project/project_settings.h"
#include "project/special_folders.h"
#include "project/trace.h"
#include "install/file_data.h"
#include "install/install_session.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tw {
namespace {

constexpr int kShowMaximized = 3;
// A shell link keeps only normal, maximized and minimized-without-activation as its start state.
constexpr int kShowMinimized = 7;

// Stands in for a shell folder until every name has been replaced; holds no letters, so no later
// name can match inside it.
std::string Marker(size_t rule) { return std::string("\x01\x02") + static_cast<char>('0' + rule) + "\x01"; }

// The folder the shortcut goes into, ending in "\\": the location's shell folder names replaced,
// expanded, and its last component (the shortcut's own name) cut off.
std::string ShortcutFolder(InstallSession& session, const std::string& location) {
  std::string folder = session.Expand(ReplaceShellFolders(location, session.host.Folders));
  size_t cut = folder.rfind('\\');
  if (cut != std::string::npos) folder.erase(cut);
  return folder + "\\";
}

// Whether the installation owns the shortcut's folder: a folder of its own below the start menu or
// the desktop. The Programs menu and the startup folder stay the user's, so a shortcut directly in
// one of them owns nothing.
// Only the last component is the shortcut's own name: a program folder named like its shortcut
// ("Programs Menu\\Notes\\Notes") is still a folder of ours.
bool OwnsShortcutFolder(const std::string& rawLocation) {
  if (!Contains(rawLocation, "Start Menu") && !Contains(rawLocation, "Desktop")) return false;
  std::string folder = WithoutTrailingBackslash(rawLocation);
  size_t cut = folder.rfind('\\');
  folder = cut == std::string::npos ? "" : folder.substr(0, cut);
  // Every trailing backslash goes: a location written with one of its own would otherwise make
  // the menu itself look like a folder of ours.
  while (!folder.empty() && folder.back() == '\\') folder.pop_back();
  for (const char* menu : {"Start Menu\\Programs Menu", "Start Menu\\StartUp"})
    if (Contains(folder, menu)) return std::count(folder.begin(), folder.end(), '\\') > 1;
  return folder.find('\\') != std::string::npos;
}

// Copies the shortcut's icon from the payload folder into the install folder. The copy's path, or
// empty when the payload has no such icon.
std::string InstallShortcutIcon(InstallSession& session, const std::string& iconFile) {
  if (iconFile.empty()) return std::string();
  // Only the file name counts, so the icon can never come from or go to another folder.
  const std::string name = LastComponent(iconFile, "\\/:");
  const std::string source = session.PayloadDir + name;
  FileSystem& files = session.platform.files;
  if (name.empty() || name == "." || name == ".." || !files.Exists(source) || files.IsFolder(source)) {
    session.trace.Write("install", "shortcut-icon", {{"icon", iconFile}, {"result", "not-in-payload"}});
    return std::string();
  }
  const std::string copy = session.InstallDir() + name;
  const bool existed = files.Exists(copy);
  ClearSystemError();
  bool copied = files.Copy(source, copy, true);
  if (copied) session.MadeFile(copy, existed);
  session.trace.WriteResult("install", "shortcut-icon", {{"icon", copy}}, copied);
  // Only a copy that arrived is the installation's; a file it could not replace is someone else's.
  session.LogIfOwned("FILE", copy, copied);
  return copy;
}

int ShowCommandFor(const std::string& window) {
  if (window == "Maximized") return kShowMaximized;
  if (window == "Minimized") return kShowMinimized;
  return 0;
}

void LogIfSaved(InstallSession& session, bool saved, bool existed, const char* kind, const std::string& path) {
  session.trace.WriteResult("install", "shortcut", {{"kind", kind}, {"path", path}}, saved);
  if (saved) session.MadeFile(path, existed);
  if (saved) session.WriteLogEntry("SHORTCUT", path);
}

}  // namespace

std::string ReplaceShellFolders(const std::string& location, const SpecialFolders& folders) {
  if (Contains(location, "Active Desktop")) {
    std::string rest = location;
    ReplaceAll(rest, "Active Desktop\\", "");
    return folders.appData + "\\Microsoft\\Internet Explorer\\Quick Launch\\" + rest;
  }
  std::vector<std::pair<const char*, const std::string*>> rules = {
      {"Start Menu\\Programs Menu", &folders.programs},
      {"Start Menu\\StartUp", &folders.startup},
      {"Desktop", &folders.desktop},
      {"Favorites", &folders.favorites},
  };
  // The Programs menu's own path holds "Start Menu"; the rule stays out of its way.
  if (!Contains(location, "Start Menu\\Programs Menu")) rules.emplace_back("Start Menu", &folders.startMenu);
  // Names become markers first and folders come in last: the startup folder lies inside the start
  // menu, and a later rule must never rewrite a folder an earlier one put in.
  std::string text = location;
  for (size_t i = 0; i < rules.size(); ++i) ReplaceAll(text, rules[i].first, Marker(i));
  for (size_t i = 0; i < rules.size(); ++i) ReplaceAll(text, Marker(i), *rules[i].second);
  ReplaceAll(text, "\\\\", "\\");
  return text;
}

void CreateShortcuts(InstallSession& session) {
  for (int i : session.settings.EntryIndices("FOLDERTW")) {
    const std::string n = std::to_string(i);
    auto read = [&](const char* key) { return session.settings.ReadSetting("FOLDERTW", key + n); };
    ShortcutItem item{read("A"), read("B"), read("C"), read("D"), read("E"),
                      read("F"), read("G"), read("H"), read("I"), read("J")};
    if (!session.FeatureAllows(item.feature)) {
      session.trace.Write("install", "shortcut-skipped", {{"name", item.name}, {"feature", item.feature}});
      continue;
    }
    CreateShortcut(session, item);
  }
}

void CreateShortcut(InstallSession& session, const ShortcutItem& item) {
  const std::string folder = ShortcutFolder(session, WithoutTrailingBackslash(item.location));
  const std::string name = session.Expand(item.name);
  const std::string target = session.Expand(item.target);

  if (OwnsShortcutFolder(item.location)) CreateLoggedFolder(session, WithoutTrailingBackslash(folder));

  Shell& shell = session.platform.shell;
  if (Contains(target, "http") || Contains(target, "HTTP")) {
    const std::string urlPath = folder + name + ".url";
    const bool existed = session.platform.files.Exists(urlPath);
    ClearSystemError();
    const bool saved = shell.CreateInternetShortcut(target, urlPath);
    LogIfSaved(session, saved, existed, "url", urlPath);
  }

  ShellLink link;
  link.path = target;
  link.iconLocation = InstallShortcutIcon(session, session.Expand(item.iconFile));
  if (!link.iconLocation.empty()) link.iconIndex = ToNumber(item.iconIndex);
  link.arguments = session.Expand(item.arguments);
  link.description = session.Expand(item.description);
  link.showCommand = ShowCommandFor(item.window);
  link.workingFolder = session.Expand(item.workingFolder);
  const std::string linkPath = folder + name + ".lnk";
  const bool existed = session.platform.files.Exists(linkPath);
  ClearSystemError();  // the icon's copy may have failed just before
  const bool saved = shell.CreateShellLink(link, linkPath);
  LogIfSaved(session, saved, existed, "lnk", linkPath);
}

}  // namespace tw
