#include "platform/fake/fake_profile_files.h"

#include <cctype>
#include <vector>

#include "platform/fake/fake_system_info.h"
#include "platform/ini_document.h"

namespace tw {
namespace {

std::string Trim(const std::string& s) {
  size_t begin = s.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  size_t end = s.find_last_not_of(" \t\r");
  return s.substr(begin, end - begin + 1);
}

bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  for (char c : text) {
    if (c == '\n') {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      line.clear();
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace

std::string FakeProfileFiles::ReadValue(const std::string& file, const std::string& section,
                                        const std::string& key, const std::string& fallback,
                                        int bufferSize) const {
  auto text = files_.ReadText(file);
  return IniDocument::Parse(text ? *text : std::string()).Get(section, key, fallback, bufferSize);
}

// Replaces the first matching key of the first matching section, or adds the key at the end of that
// section, or adds the section at the end of the file.
bool FakeProfileFiles::WriteValue(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& value) {
  auto text = files_.ReadText(file);
  std::vector<std::string> lines = SplitLines(text ? *text : std::string());
  std::string entry = key + "=" + value;
  size_t sectionLine = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string t = Trim(lines[i]);
    if (t.size() >= 2 && t.front() == '[' && SameText(t.substr(1, t.find(']') - 1), section)) {
      sectionLine = i;
      break;
    }
  }
  if (sectionLine == lines.size()) {
    lines.push_back("[" + section + "]");
    lines.push_back(entry);
  } else {
    size_t insertAt = sectionLine + 1;
    bool replaced = false;
    for (size_t i = sectionLine + 1; i < lines.size(); ++i) {
      std::string t = Trim(lines[i]);
      if (!t.empty() && t.front() == '[') break;
      size_t eq = t.find('=');
      if (eq != std::string::npos && SameText(Trim(t.substr(0, eq)), key)) {
        lines[i] = entry;
        replaced = true;
        break;
      }
      if (!t.empty()) insertAt = i + 1;
    }
    if (!replaced) lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
  }
  std::string out;
  for (const auto& line : lines) out += line + "\r\n";
  return files_.WriteAll(file, Utf8ToCp1252Lossy(out));
}

}  // namespace tw
