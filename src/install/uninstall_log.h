// The uninstall log as it is read back, by the uninstaller and by a reinstall of the same
// product: one entry per "KEY=value" line in file order. A log is data that anyone with rights to
// the folder could have edited, so the reading is bounded and every line it cannot trust is set
// aside with the reason, never guessed at.
#pragma once
#include <string>
#include <vector>

namespace tw {

// The most the uninstaller reads of a log, and of one line; more is refused, not cut, because a
// cut path names some other file.
constexpr size_t kMaxLogBytes = 16u << 20;
constexpr size_t kMaxLogLine = 2048;

struct LogEntry {
  int line = 0;  // 1-based, for the trace
  std::string key, value;
};

struct SkippedLine {
  int line = 0;
  std::string reason;
};

struct UninstallLog {
  std::vector<LogEntry> entries;
  std::vector<SkippedLine> skipped;
  // The entries of one key in file order.
  std::vector<const LogEntry*> Find(const std::string& key) const;
  // True when some entry has this key and value.
  bool Has(const std::string& key, const std::string& value) const;
};

// Splits the text into entries. A line is skipped when it has no "=", an unknown key, control
// characters, is too long, or is the last line without its line end (a write cut short).
UninstallLog ParseUninstallLog(const std::string& text);

}  // namespace tw
