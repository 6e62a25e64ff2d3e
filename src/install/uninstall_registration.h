// Making the installation removable: the program to run at uninstall and the remove-all choice in
// the log, the uninstaller itself, the installed-programs entry, live update and support files.
#pragma once

namespace tw {

struct InstallSession;

// Early in the run: the author's run-at-uninstall program goes beside the log.
void RegisterUninstallProgram(InstallSession& session);
// At the end of the run: the uninstaller, the language file, the registration values, live update,
// the theme and the display icon.
void RegisterUninstall(InstallSession& session);

}  // namespace tw
