// Undoes one installation from its uninstall log and its record of what was there before. The
// kinds of change are undone in a fixed order, each kind from its last entry to its first: the
// run-at-uninstall program (waited for), services, files and shortcuts, registry values (put back
// as they were when the record has them, else deleted), removed key trees, created keys (only
// when empty, a key before those above it), folders (only when empty, a folder before those above
// it, or the install folder with all it holds when the log says "REMOVEALL=Yes" and the
// installation made that folder). Each entry passes the removal guard first, and every decision is
// traced.
#pragma once
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "install/prior_records.h"
#include "install/uninstall_log.h"

namespace tw {

class RemovalGuard;
class Trace;
struct Platform;

struct ReversalOutcome {
  int removed = 0;   // entries undone (or already gone)
  int refused = 0;   // entries the guard or a bad value stopped
  int failed = 0;    // entries the system would not undo
  bool restartNeeded = false;  // something in use was left for the next start
  std::vector<int> failedLines;  // the log lines of the failed entries, in the order met
};

// Told after each entry: how many are done of how many.
using ReversalProgress = std::function<void(int done, int total)>;

// sharedFiles: files (lower case) that the logs of other installed products list too; they stay.
ReversalOutcome ReverseLog(Platform& platform, Trace& trace, const RemovalGuard& guard, const UninstallLog& log,
                           const PriorRecords& prior, const std::set<std::string>& sharedFiles,
                           const std::string& logDir, const ReversalProgress& progress);

}  // namespace tw
