#include "platform/text.h"

#include <cctype>

namespace tw {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

std::string WithBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

std::string WithoutTrailingBackslash(std::string text) {
  if (!text.empty() && text.back() == '\\') text.pop_back();
  return text;
}

std::string LastComponent(const std::string& path, const char* separators) {
  size_t cut = path.find_last_of(separators);
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

bool IsPlainFileName(const std::string& name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  for (unsigned char c : name)
    if (c < 32 || std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return false;
  return true;
}

}  // namespace tw
