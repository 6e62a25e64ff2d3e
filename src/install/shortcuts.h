// The project's shortcuts ("FOLDERTW"): shell links and Internet shortcuts in the user's shell
// folders, the shortcut folders the installation owns and the shortcut icons, all logged.
#pragma once
#include <string>

namespace tw {

struct InstallSession;
struct SpecialFolders;

// One shortcut as the project lists it (keys "A%i" to "J%i"), texts as read.
struct ShortcutItem {
  std::string location;  // folder path and the shortcut's name; may start with a shell folder name
  std::string name;      // file name without extension
  std::string target;    // program, document or web address
  std::string description;
  std::string window;  // "Maximized", "Minimized", anything else for a normal window
  std::string workingFolder;
  std::string arguments;
  std::string iconFile;   // may be empty; looked up by its file name in the payload folder
  std::string iconIndex;  // decimal
  std::string feature;    // made only when this feature is kept
};

// Makes each shortcut of "FOLDERTW" whose feature the user kept.
void CreateShortcuts(InstallSession& session);
// Makes one shortcut: its folder when the installation owns it, a ".url" for a web address, the
// icon copy in the install folder and the ".lnk". Failures skip the shortcut silently.
void CreateShortcut(InstallSession& session, const ShortcutItem& item);
// The location with its shell folder names ("Start Menu\\Programs Menu", "Desktop", "Active
// Desktop", ...) replaced by the user's folders; placeholders are left for expansion.
std::string ReplaceShellFolders(const std::string& location, const SpecialFolders& folders);

}  // namespace tw
