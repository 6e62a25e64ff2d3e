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

// Whether the project's operating-system rows let any Windows newer than Server 2003 through: one
// of the newer rows ("os7" to "os12"), or all seven older ones, which skip the check altogether.
bool AllowsTodaysWindows(const ProjectSettings& settings);

}  // namespace tw
