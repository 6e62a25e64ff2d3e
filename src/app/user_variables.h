// The author's user variables: read from "VARIABLES" at wizard start, each value taken once from the
// project, the registry, an INI file, the file system, the web or the open windows.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "project/placeholders.h"

namespace tw {

class FixedDialogs;
class ProjectSettings;
class Trace;
struct Platform;

constexpr int kUserVariableCapacity = 50;

// Fills variables (name and value) and notes (the author's note of each, kept for the install
// engine) from "VARIABLES", in section order; entries past the capacity are refused. Each entry is
// appended as soon as its value is known, so when variables is the table that expand reads, a later
// variable's path may name an earlier variable. agent names the engine in web requests. The wait
// notice is shown before the first web or file-system lookup and closed at the end.
void LoadUserVariables(const ProjectSettings& settings, Platform& platform,
                       const std::function<std::string(const std::string&)>& expand, FixedDialogs& dialogs,
                       Trace& trace, const std::string& agent, std::vector<UserVariable>& variables,
                       std::vector<std::string>& notes);

}  // namespace tw
