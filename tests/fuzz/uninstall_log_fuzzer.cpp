// The uninstall log as the uninstaller reads it, over any bytes: every entry it keeps has a key, no
// control character but the tab and a bounded line; every line is either kept or set aside, never
// both.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "install/uninstall_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const tw::UninstallLog log = tw::ParseUninstallLog(text);
  std::set<int> lines;
  for (const tw::LogEntry& entry : log.entries) {
    if (entry.key.empty() || entry.key.size() + entry.value.size() + 1 > tw::kMaxLogLine) std::abort();
    for (char c : entry.key + entry.value)
      if (static_cast<unsigned char>(c) < 0x20 && c != '\t') std::abort();
    if (!lines.insert(entry.line).second) std::abort();
  }
  for (const tw::SkippedLine& skipped : log.skipped)
    if (skipped.reason.empty() || lines.count(skipped.line)) std::abort();
  return 0;
}
