// The uninstaller program: reads its command line ("/R <code>" asks, then removes with the
// progress page; "/S <code>" removes with no window; "/M <code>" offers what maintenance there is),
// talks to the user through the engine's fixed dialogs in the language kept with the product, and
// gives an exit code a deployment tool understands: 1603 when its log cannot be read (nothing is
// removed) or something could not be undone, 1639 for a bad command line (no window under "/S").
#pragma once
#include <string>

#include "project/exit_codes.h"
#include "project/trace.h"

namespace tw {

struct Platform;
class FixedDialogs;
struct InstalledProduct;
struct ReversalOutcome;

enum class UninstallMode { None, Remove, Silent, Maintain };

struct UninstallCommand {
  UninstallMode mode = UninstallMode::None;
  std::string code;
};

// The first "/R", "/S" or "/M" (either case, quoted or not) and the word after it (empty when
// there is none). The program's own name may come first or be missing, as a caller's command line
// gives it.
UninstallCommand ParseUninstallCommandLine(const std::string& commandLine);

class UninstallApp {
 public:
  explicit UninstallApp(Platform& platform);
  int Run(const std::string& commandLine);

 private:
  int RemoveWithWindow(const InstalledProduct& product, FixedDialogs& dialogs, const std::string& languageFile);
  int RemoveSilently(const InstalledProduct& product);
  static int ExitCodeFor(const ReversalOutcome& outcome);

  Platform& platform_;
  Trace trace_;
};

}  // namespace tw
