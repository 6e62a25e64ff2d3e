// Merge modules: programs from the setup's "SupportFiles" folder and the Windows Installer package
// "mergemod.msi", run after the engine's own installation while the work folder is still kept.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "project/placeholders.h"

namespace tw {

class FeatureTable;
class ProjectSettings;
class Trace;
struct Platform;

// What the merge-module run takes from the wizard's host.
struct MergeModuleContext {
  const ProjectSettings& settings;
  Platform& platform;
  Trace& trace;
  std::string SetupDir;  // ends in "\\"
  std::string OsTag;
  const FeatureTable& features;
  std::function<bool(const std::string&)> conditionAllows;  // the wizard's condition test
  PlaceholderValues placeholders;                           // for the wizard's expansion
  std::vector<UserVariable> variables;
};

// "MERGEMODULES" "TOTAL": a count other than 0 means the work folder must outlive the installation.
int CountMergeModules(const ProjectSettings& settings);

// For each item whose system mask, feature and condition allow it: runs its ".exe" program (an
// "http" address is opened instead) and then the merge-module package, each waited for while the
// pages keep being served. Returns when all items are done, or false at the first whose program
// could not be started or whose package did not install (the installation is then undone); the
// caller then clears KeepWorkDir, removes the work folder and moves the wizard to its next page.
bool RunMergeModules(const MergeModuleContext& context);

}  // namespace tw
