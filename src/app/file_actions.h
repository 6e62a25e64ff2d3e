// File actions: programs, libraries and web addresses the project runs when a page is reached or
// when Finish is pressed.
#pragma once
#include <functional>
#include <string>
#include <vector>

namespace tw {

class ProjectSettings;
struct Platform;
class Trace;

constexpr int kMaxFileActions = 13;

struct FileAction {
  std::string File, Arguments, Page, F, Once, Wait, Condition;
  int OsMask = 0;
  int Done = 0;
};

// "Install Welcome" -> "welcome.lcd" and the other page titles; any other title is a layout name.
std::string PageFileForTitle(const std::string& title);

// What running an action needs from the wizard.
struct FileActionContext {
  Platform& platform;
  Trace& trace;
  std::string osTag;
  std::string installDir;  // handed to a library's export
  std::function<std::string(const std::string&)> expand;
  std::function<bool(const std::string&)> conditionAllows;
  std::function<void()> abortSetup;
};

class FileActionTable {
 public:
  // Reads "FILEACTION" (buffer 100 each). File and Arguments stay as written and are expanded when
  // the action runs, so they name the folder the user chose by then.
  void LoadFileActions(const ProjectSettings& settings);
  // Runs every not-yet-done action attached to the page (a layout name or "After Click Finish Button").
  void RunPageActions(const std::string& pageFile, FileActionContext& context);
  void RunFileAction(size_t index, FileActionContext& context);
  const std::vector<FileAction>& Actions() const { return actions_; }

 private:
  std::vector<FileAction> actions_;
};

}  // namespace tw
