#include "project/language_file.h"

#include "platform/file_system.h"

namespace tw {

namespace {
constexpr int kLanguageTextBuffer = 255;
}

LanguageFile LanguageFile::Load(const FileSystem& files, const std::string& path) {
  LanguageFile language;
  if (auto text = files.ReadText(path)) language.document_ = IniDocument::Parse(*text);
  return language;
}

std::string LanguageFile::Text(const std::string& section, const std::string& key) const {
  return document_.Get(section, key, "", kLanguageTextBuffer);
}

}  // namespace tw
