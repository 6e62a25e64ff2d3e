// What an earlier installation of the same product made, read from its uninstall log and its
// record of earlier states before a new run (a retry, a repair, the same version again) replaces
// them, so that what it made stays the product's even where the new run finds it already there.
#pragma once
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "install/prior_records.h"
#include "install/uninstall_log.h"

namespace tw {

class FileSystem;
class SystemInfo;
class Trace;

// A stored text file (the log or the record file) as engine text, read as FileSystem::ReadText
// reads; nothing when it is missing, unreadable or larger than limit.
std::optional<std::string> ReadBoundedText(const FileSystem& files, const SystemInfo& system, const std::string& path,
                                           size_t limit);

// The record file in a product's log folder (logDir ends in a backslash); empty when it is
// missing or unreadable.
PriorRecords ReadPriorRecords(const FileSystem& files, const SystemInfo& system, const std::string& logDir);

// The lookup text of a log entry: its key and its value as Windows compares names (without case).
std::string OwnershipKey(const std::string& key, const std::string& value);

struct EarlierInstallation {
  std::vector<LogEntry> owned;  // its entries that name something it made, in log order
  std::set<std::string> index;  // OwnershipKey of each of those
  PriorRecords prior;           // what was there before it

  bool Owns(const std::string& key, const std::string& value) const {
    return index.count(OwnershipKey(key, value)) > 0;
  }
};

// The entries of the log in logDir that name something made (folders, files, shortcuts, keys,
// values, services), and the record file beside it. A missing or unreadable log, or one without its record file
// (written before installations logged only what they made), gives an empty installation.
EarlierInstallation ReadEarlierInstallation(const FileSystem& files, const SystemInfo& system, Trace& trace,
                                            const std::string& logDir);

}  // namespace tw
