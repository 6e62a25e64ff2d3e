// The process exit codes of setup.exe: the ones deployment tools already read from Windows
// Installer, so a script can tell an installed product from a cancelled or failed run.
#pragma once

namespace tw {

enum ExitCode : int {
  kExitInstalled = 0,
  kExitRestartNeeded = 3010,
  kExitCancelled = 1602,      // the user cancelled
  kExitFailed = 1603,         // an error, a refused requirement or rights, the project's own abort
  kExitBadCommandLine = 1639,
};

}  // namespace tw
