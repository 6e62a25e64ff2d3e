#include "install/uninstall_log.h"

#include <algorithm>

namespace tw {
namespace {

const char* const kKnownKeys[] = {"TOTALFILE", "DIR",    "FILE",   "RUN3RD",    "RUN3RDCMD", "REMOVEALL",
                                  "REGKEY",    "REGVAL", "REMKEY", "NTSERVICE", "SHORTCUT"};

bool KnownKey(const std::string& key) {
  return std::any_of(std::begin(kKnownKeys), std::end(kKnownKeys), [&](const char* known) { return key == known; });
}

// Why a line cannot be an entry; empty when it can.
std::string Judge(const std::string& line, size_t equals) {
  if (line.size() > kMaxLogLine) return "too-long";
  if (equals == std::string::npos || equals == 0) return "no-key";
  if (std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; }))
    return "control-characters";
  if (!KnownKey(line.substr(0, equals))) return "unknown-key";
  return "";
}

}  // namespace

std::vector<const LogEntry*> UninstallLog::Find(const std::string& key) const {
  std::vector<const LogEntry*> found;
  for (const LogEntry& entry : entries)
    if (entry.key == key) found.push_back(&entry);
  return found;
}

bool UninstallLog::Has(const std::string& key, const std::string& value) const {
  return std::any_of(entries.begin(), entries.end(),
                     [&](const LogEntry& entry) { return entry.key == key && entry.value == value; });
}

UninstallLog ParseUninstallLog(const std::string& text) {
  UninstallLog log;
  int number = 0;
  for (size_t begin = 0; begin < text.size();) {
    ++number;
    size_t end = text.find('\n', begin);
    if (end == std::string::npos) {
      log.skipped.push_back({number, "unterminated"});
      break;
    }
    std::string line = text.substr(begin, end - begin);
    begin = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    size_t equals = line.find('=');
    std::string reason = Judge(line, equals);
    if (!reason.empty()) {
      log.skipped.push_back({number, reason});
      continue;
    }
    log.entries.push_back({number, line.substr(0, equals), line.substr(equals + 1)});
  }
  return log;
}

}  // namespace tw
