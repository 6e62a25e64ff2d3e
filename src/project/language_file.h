// The language file's texts (captions, labels, requirement and dialog messages), read once per load
// with the system reader's rules; a missing file or key reads as empty text.
#pragma once
#include <string>

#include "platform/ini_document.h"

namespace tw {

class FileSystem;

class LanguageFile {
 public:
  LanguageFile() = default;
  // Reads the file at path; a missing or unreadable file gives an empty language.
  static LanguageFile Load(const FileSystem& files, const std::string& path);

  // The text of key in section, at most 254 characters; empty when missing.
  std::string Text(const std::string& section, const std::string& key) const;
  // The parsed file, for a caller that walks every section and key.
  const IniDocument& Document() const { return document_; }

 private:
  IniDocument document_;
};

}  // namespace tw
