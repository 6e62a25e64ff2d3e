// One installed product as the uninstaller finds it from its code (the log folder under the
// Windows folder's "Installer", or the user's own for a per-user installation; its log, its
// registered name), and its whole removal: the log
// reversed, then its entry in the list of installed programs and its log folder.
#pragma once
#include <optional>
#include <string>

#include "uninstall/reversal.h"
#include "install/prior_records.h"
#include "install/product_places.h"
#include "install/uninstall_log.h"

namespace tw {

class Trace;
struct Platform;

struct InstalledProduct {
  std::string code;
  std::string logDir;       // with a trailing backslash
  RegRoot root = RegRoot::LocalMachine;  // where it is registered: the machine's list or the user's
  std::string displayName;  // the registered name; the code when there is none
  UninstallLog log;
  PriorRecords prior;  // what was there before the installation; empty for an older log
  // False when the log is there but cannot be read whole, or holds no entry: nothing may be
  // removed on its word, the registration included.
  bool logReadable = true;
};

// A code names one folder and one key: nothing empty, no path separators or other characters a
// file or key name cannot hold, not "." or "..".
bool IsProductCode(const std::string& code);

// The product when its code is sound and its log is there (logReadable says whether it can be
// used); nothing otherwise (traced).
std::optional<InstalledProduct> FindInstalledProduct(Platform& platform, Trace& trace, const std::string& code);

// Reverses the log, then removes the registration and the log folder (what is in use there goes
// at the next start). The shared uninstaller in the Windows folder stays.
ReversalOutcome RemoveProduct(Platform& platform, Trace& trace, const InstalledProduct& product,
                              const ReversalProgress& progress);

}  // namespace tw
