// The project settings file: read once from the work folder, then answered key by key with the
// system reader's rules and the engine's buffer sizes, flag rules and counted-list shapes.
#pragma once
#include <string>
#include <vector>

#include "platform/ini_document.h"

namespace tw {

// Buffer sizes the engine reads settings with; a longer value is cut to the size less one.
constexpr int kValueBuffer = 255;
constexpr int kCountBuffer = 100;
constexpr int kRegistryCountBuffer = 20;

class ProjectSettings {
 public:
  ProjectSettings() = default;
  explicit ProjectSettings(const std::string& text) : document_(IniDocument::Parse(text)) {}

  // The value of key in section; empty when missing.
  std::string ReadSetting(const std::string& section, const std::string& key,
                          int bufferSize = kValueBuffer) const;
  // The section's "TOTAL" key as a number.
  int ReadCount(const std::string& section) const;
  // The entries of a list whose entries are keys ending in the entry's number ("A12", "12"): the
  // numbers below its count that some key of the section has, in order. Only entries that are
  // there are walked: a damaged or hostile file can claim two thousand million of them.
  std::vector<int> EntryIndices(const std::string& section, int bufferSize = kCountBuffer) const;
  // The parsed file, for a caller that walks every section and key.
  const IniDocument& Document() const { return document_; }

 private:
  IniDocument document_;
};

// On only when exactly "Yes".
bool IsYes(const std::string& value);
// On unless exactly "No".
bool IsNotNo(const std::string& value);
// Leading blanks skipped, leading decimal digits taken, 0 when there are none; never overflows.
int ToNumber(const std::string& value);

}  // namespace tw
