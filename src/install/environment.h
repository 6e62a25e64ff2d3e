// Environment variables the project sets, appends to or removes, for the user or for the machine,
// and those it leaves for the uninstaller to remove.
#pragma once

namespace tw {

struct InstallSession;

// Works through "ENVIRTW" in order. An item whose feature is off, whose scope is neither "User"
// nor "System", or which names no variable changes nothing and logs nothing.
void SetEnvironmentVariables(InstallSession& session);

}  // namespace tw
