// Running the project's merge modules: each allowed item's program, then the shared package.
#include "install/merge_modules.h"

#include <algorithm>
#include <iterator>
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

// Windows Installer's codes for a package that is in place: done, done with a restart started or
// needed, and another version of it already installed.
constexpr uint32_t kPackageInPlace[] = {0, 1641, 3010, 1638};

// Waits for the program on a worker while the UI thread keeps the wizard's pages answering.
std::optional<uint32_t> RunAndWaitServed(const MergeModuleContext& context, const std::string& program,
                                         const std::string& commandLine) {
  std::optional<uint32_t> code;
  context.platform.ui.RunAndPump([&] { code = context.platform.shell.RunAndWait(program, commandLine); });
  return code;
}

// False when the item's program could not be started. A program's exit code is its own: a
// redistributable says "already there" in codes of its own making.
bool RunProgram(const MergeModuleContext& context, int index) {
  // The path is compared and used in lower case, so the folder placeholder is too.
  std::string program = Lower(Read(context, "C", index));
  if (!Contains(program, ".exe")) {
    context.trace.Write("install", "mergemod-program", {{"program", program}, {"result", "not-a-program"}});
    return true;
  }
  ReplaceAll(program, "<resourcedir>", context.SetupDir + "SupportFiles");
  const std::string arguments = Read(context, "D", index);
  if (program.compare(0, 4, "http") == 0) {
    const bool opened = context.platform.shell.Open(program);
    context.trace.Write("install", "mergemod-program",
                        {{"program", program}, {"arguments", arguments}, {"result", opened ? "ran" : "not-started"}});
    return true;
  }
  const std::optional<uint32_t> code = RunAndWaitServed(context, program, arguments);
  context.trace.Write("install", "mergemod-program",
                      {{"program", program},
                       {"arguments", arguments},
                       {"result", code ? "ran" : "not-started"},
                       {"exit", code ? std::to_string(*code) : "none"}});
  return code.has_value();
}

std::optional<std::string> FindPackage(const MergeModuleContext& context) {
  for (const char* place : {"mergemod.msi", "SupportFiles\\mergemod.msi"}) {
    const std::string path = context.SetupDir + place;
    if (context.platform.files.Exists(path) && !context.platform.files.IsFolder(path)) return path;
  }
  return std::nullopt;
}

// False when the package could not be installed.
bool RunPackage(const MergeModuleContext& context) {
  std::optional<std::string> package = FindPackage(context);
  if (!package) return true;
  // Only the installer's own path is expanded: the package path is inserted as it is, so brackets
  // or doubled backslashes in the setup's folder survive.
  const std::string msiexec =
      ExpandPlaceholderText("<SystemFolder>\\msiexec.exe", context.placeholders, context.variables, Expansion::Wizard);
  const std::string commandLine = msiexec + " /i \"" + *package + "\" /q";
  const std::optional<uint32_t> code = RunAndWaitServed(context, msiexec, commandLine);
  context.trace.Write("install", "mergemod-package",
                      {{"command", commandLine},
                       {"result", code ? "ran" : "not-started"},
                       {"exit", code ? std::to_string(*code) : "none"}});
  return code && std::find(std::begin(kPackageInPlace), std::end(kPackageInPlace), *code) != std::end(kPackageInPlace);
}

}  // namespace

int CountMergeModules(const ProjectSettings& settings) {
  return ToNumber(settings.ReadSetting("MERGEMODULES", "TOTAL"));
}

bool RunMergeModules(const MergeModuleContext& context) {
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
    // The first that fails ends them: the installation is then undone, and what follows would
    // only be taken back with it.
    if (!RunProgram(context, i) || !RunPackage(context)) return false;
  }
  return true;
}

}  // namespace tw
