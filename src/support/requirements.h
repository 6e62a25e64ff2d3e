// The machine check before the first page: allowed operating systems, RAM, screen size, colour depth
// and processor, each against the project's minimum; the first one not met is reported and ends setup.
#pragma once
#include <functional>
#include <string>

namespace tw {

class FixedDialogs;
class LanguageFile;
class ProjectSettings;
class SystemInfo;
class Trace;

// True when every requirement is met or skipped. Otherwise shows the first failed requirement's
// message as an error box and returns false; the checks after it are not made.
bool CheckRequirements(const ProjectSettings& settings, const LanguageFile& language,
                       const std::function<std::string(const std::string&)>& expand, const SystemInfo& system,
                       FixedDialogs& dialogs, Trace& trace);

}  // namespace tw
