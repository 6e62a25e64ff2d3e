// Running the project's merge modules: each allowed item's program, then the shared package.
#include "install/merge_modules.h"

#include <optional>

#include "project/features.h"
#include "project/os_tag.h"
#include "project/project_settings.h"
#include "project/trace.h"
#include "platform/platform.h"
#include "platform/text.h"

namespace tw {
namespace {

std::string Read(const MergeModuleContext& context, const char* letter, int index) {
  return context.settings.ReadSetting("MERGEMODULES", letter + std::to_string(index));
}

// Waits for the program on a worker while the UI thread keeps the wizard's pages answering.
bool RunAndWaitServed(const MergeModuleContext& context, const std::string& program, const std::string& commandLine) {
  bool started = false;
  context.platform.ui.RunAndPump([&] { started = context.platform.shell.RunAndWait(program, commandLine); });
  return started;
}

void RunProgram(const MergeModuleContext& context, int index) {
  // The path is compared and used in lower case, so the folder placeholder is too.
  std::string program = Lower(Read(context, "C", index));
  if (!Contains(program, ".exe")) {
    context.trace.Write("install", "mergemod-program", {{"program", program}, {"result", "not-a-program"}});
    return;
  }
  ReplaceAll(program, "<resourcedir>", context.SetupDir + "SupportFiles");
  const std::string arguments = Read(context, "D", index);
  bool ran = program.compare(0, 4, "http") == 0 ? context.platform.shell.Open(program)
                                                 : RunAndWaitServed(context, program, arguments);
  context.trace.Write("install", "mergemod-program",
                      {{"program", program}, {"arguments", arguments}, {"result", ran ? "ran" : "not-started"}});
}

std::optional<std::string> FindPackage(const MergeModuleContext& context) {
  for (const char* place : {"mergemod.msi", "SupportFiles\\mergemod.msi"}) {
    const std::string path = context.SetupDir + place;
    if (context.platform.files.Exists(path) && !context.platform.files.IsFolder(path)) return path;
  }
  return std::nullopt;
}

void RunPackage(const MergeModuleContext& context) {
  std::optional<std::string> package = FindPackage(context);
  if (!package) return;
  // Only the installer's own path is expanded: the package path is inserted as it is, so brackets
  // or doubled backslashes in the setup's folder survive.
  const std::string msiexec =
      ExpandPlaceholderText("<SystemFolder>\\msiexec.exe", context.placeholders, context.variables, Expansion::Wizard);
  const std::string commandLine = msiexec + " /i \"" + *package + "\" /q";
  bool ran = RunAndWaitServed(context, msiexec, commandLine);
  context.trace.Write("install", "mergemod-package",
                      {{"command", commandLine}, {"result", ran ? "ran" : "not-started"}});
}

}  // namespace

int CountMergeModules(const ProjectSettings& settings) {
  return ToNumber(settings.ReadSetting("MERGEMODULES", "TOTAL"));
}

void RunMergeModules(const MergeModuleContext& context) {
  const int total = CountMergeModules(context.settings);
  for (int i = 0; i < total; ++i) {
    const int mask = ToNumber(Read(context, "E", i));
    const std::string feature = Read(context, "F", i), condition = Read(context, "G", i);
    // The system mask uses the file-action bit order (1 "NET" ... 64 "98").
    const bool systemAllows = FileActionOsMaskAllows(mask, context.OsTag);
    const bool featureAllows = context.features.FeatureAllows(feature);
    // Evaluated once per item, so a condition's actions run once whatever else decides.
    const bool conditionHolds = context.conditionAllows ? context.conditionAllows(condition) : true;
    if (!systemAllows || !featureAllows || !conditionHolds) {
      context.trace.Write("install", "mergemod-skipped",
                          {{"item", std::to_string(i)},
                           {"reason", !systemAllows ? "system" : !featureAllows ? "feature" : "condition"}});
      continue;
    }
    RunProgram(context, i);
    RunPackage(context);
  }
}

}  // namespace tw
