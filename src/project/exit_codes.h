// The process exit codes of setup.exe and dovuvi.exe: the ones deployment tools already read from
// Windows Installer, so a script can tell a finished run from a cancelled or failed one.
#pragma once

namespace tw {

enum ExitCode : int {
  kExitSuccess = 0,           // installed, or removed
  kExitRestartNeeded = 3010,
  kExitRestartStarted = 1641,    // installed, and setup started the restart the project asked for
  kExitAnotherInstall = 1618,    // another installation was running and this one did not start
  kExitCancelled = 1602,      // the user cancelled, or declined the removal
  kExitFailed = 1603,         // an error, a refused requirement or rights, the project's own abort
  kExitBadCommandLine = 1639,
  kExitUnknownProduct = 1605,  // no installed product has the code the uninstaller was given
};

}  // namespace tw
