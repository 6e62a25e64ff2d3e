#include "platform/text.h"

#include <cctype>

namespace tw {
namespace {

// Windows opens these names as devices in any folder, whatever the case, with or without an
// extension and with blanks before the dot: "nul.txt" or "COM1 .log" is the port, never a file.
// The system counts the superscript digits one to three (a byte of their own in the ANSI code
// page, two in UTF-8) as port numbers too.
bool IsDeviceName(const std::string& name) {
  std::string base = Lower(name.substr(0, name.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  for (const char* device : {"con", "prn", "aux", "nul", "conin$", "conout$"})
    if (base == device) return true;
  if (base.compare(0, 3, "com") != 0 && base.compare(0, 3, "lpt") != 0) return false;
  const std::string number = base.substr(3);
  if (number.size() == 1 && number[0] >= '1' && number[0] <= '9') return true;
  for (const char* superscript : {"\xB9", "\xB2", "\xB3", "\xC2\xB9", "\xC2\xB2", "\xC2\xB3"})
    if (number == superscript) return true;
  return false;
}

}  // namespace

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
  return !IsDeviceName(name);
}

}  // namespace tw
