#include "app/file_actions.h"

#include <algorithm>
#include <cctype>

#include "project/os_tag.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "platform/platform.h"
#include "platform/text.h"
#include "support/open_or_run.h"

namespace tw {

std::string PageFileForTitle(const std::string& title) {
  static const std::pair<const char*, const char*> kTitles[] = {
      {"Install Welcome", "welcome.lcd"},      {"License Agreement", "license.lcd"},
      {"Readme Dialog", "readme.lcd"},         {"Customer Information", "customer.lcd"},
      {"Destination Folder", "destination.lcd"}, {"Setup Type", "setuptype.lcd"},
      {"Custom Setup", "customsetup.lcd"},     {"Ready to Install", "ready.lcd"},
      {"Setup Progress", "progress.lcd"},      {"Setup Complete", "complete.lcd"},
      {"Installation Start", "start.lcd"},
  };
  for (const auto& [name, file] : kTitles)
    if (title == name) return file;
  return title;
}

void FileActionTable::LoadFileActions(const ProjectSettings& settings) {
  actions_.clear();
  int count = std::min(settings.ReadCount("FILEACTION"), kMaxFileActions);
  for (int i = 0; i < count; ++i) {
    auto key = [&](char letter) { return settings.ReadSetting("FILEACTION", letter + std::to_string(i), kCountBuffer); };
    FileAction action;
    action.File = key('B');
    action.Arguments = key('C');
    action.Page = PageFileForTitle(key('E'));
    action.F = key('F');
    action.Once = key('G');
    action.Wait = key('H');
    action.OsMask = ToNumber(key('L'));
    action.Condition = key('M');
    actions_.push_back(action);
  }
}

void FileActionTable::RunPageActions(const std::string& pageFile, FileActionContext& context) {
  for (size_t i = 0; i < actions_.size(); ++i)
    if (actions_[i].Page == pageFile && actions_[i].Done != 255) RunFileAction(i, context);
}

void FileActionTable::RunFileAction(size_t index, FileActionContext& context) {
  FileAction& action = actions_[index];
  if (action.Done == 255) return;
  if (IsYes(action.Once)) action.Done = 255;  // before anything else: a refused action is not retried
  if (!FileActionOsMaskAllows(action.OsMask, context.osTag)) return;
  const std::string file = Lower(context.expand(action.File));
  const std::string arguments = context.expand(action.Arguments);
  Shell& shell = context.platform.shell;
  // The condition comes first, and an address is opened once, however it ends.
  if (!context.conditionAllows(action.Condition)) return;
  std::string ran = "nothing";
  if (Contains(file, "http://")) {
    shell.Open(file);
    ran = "address";
  } else if (Contains(file, ".exe")) {
    if (IsYes(action.Wait))
      OpenOrRun(shell, file, arguments);
    else
      OpenOrStart(shell, file, arguments);
    ran = "program";
  }
  if (ran == "nothing" && Contains(file, ".dll")) {
    auto result = shell.CallExport(context.expand(file), arguments, context.installDir);
    ran = result ? "library result=" + std::to_string(*result) : "library missing";
    if (result == 1) context.abortSetup();
  }
  context.trace.Write("wizard", "file-action", {{"file", file}, {"page", action.Page}, {"ran", ran}});
}

}  // namespace tw
