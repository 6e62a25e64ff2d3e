// The record of what an installation found on the machine before it changed it, kept beside
// uninstall.log as "uninstall.prior". The log can only say what to remove; this file says what to
// put back, and which folder "remove all" may empty. Only our own uninstaller reads it. Plain
// text, one record a line, each line checked on its own, so a line cut short or garbled by a
// failed write is set aside and never half-read.
#pragma once
#include <map>
#include <optional>
#include <string>

#include "platform/registry.h"

namespace tw {

constexpr char kPriorFileName[] = "uninstall.prior";
// The first line. Readers take every record kind they know from any version and skip the others;
// a record whose meaning changes gets a new kind name rather than a new version.
constexpr char kPriorHeader[] = "TARNWICK-PRIOR 1";
// The most of a record file that is read.
constexpr size_t kMaxPriorBytes = 32u << 20;

// A registry value as it was before the installation first wrote or deleted it.
struct PriorValue {
  std::string logged;  // the value as the log's "REGVAL" entry names it: root\key\name
  std::string key;     // root name and key path, as written to
  std::string name;    // the value name ("" for the key's default value)
  RegValue value;
};

// Where the key ends and the name begins in a "REGVAL" entry whose value name holds a backslash:
// the log's text alone would split it at the name's last backslash, another value.
struct ValueName {
  std::string logged;
  std::string key;  // root name and key path
  std::string name;
};

struct PriorRecords {
  bool headerSeen = false;
  std::string installDir;                    // the folder "remove all" is about; empty when unknown
  std::map<std::string, PriorValue> values;  // by the lower-cased logged text
  std::map<std::string, ValueName> names;    // by the lower-cased logged text
  int skipped = 0;                           // lines that were not whole, not checked or not known

  // The earlier content of the value a "REGVAL" entry names; null when the installation made it.
  const PriorValue* Find(const std::string& logged) const;
  // The key and name a "REGVAL" entry stands for: as recorded, or split at its last backslash.
  // Nothing when it names no value under a key.
  std::optional<ValueName> Split(const std::string& logged) const;
};

// One line each, "\r\n" included.
std::string FormatPriorHeader();
std::string FormatInstallDirRecord(const std::string& installDir);
std::string FormatValueRecord(const PriorValue& value);
std::string FormatNameRecord(const ValueName& name);

// Reads a record file; anything it cannot trust is counted in skipped and left out.
PriorRecords ParsePriorRecords(const std::string& text);

}  // namespace tw
