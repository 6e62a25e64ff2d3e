#include "project/placeholders.h"

#include <algorithm>

namespace tw {

namespace {

// Replaces every occurrence of what that the predicate accepts (given the text and the index just
// past the occurrence), left to right, without rescanning inserted text; or nothing at all when that
// would make the text grow past kMaxExpandedText.
template <typename Accept>
void ReplaceWhere(std::string& text, const std::string& what, const std::string& with, Accept accept) {
  if (what.empty()) return;
  std::string out;
  size_t done = 0;
  bool replaced = false;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) {
    if (!accept(text, at + what.size())) continue;
    const size_t grown = out.size() + (text.size() - done) - what.size() + with.size();
    if (with.size() > what.size() && grown > kMaxExpandedText) return;
    out.append(text, done, at - done);
    out += with;
    done = at + what.size();
    replaced = true;
  }
  if (!replaced) return;
  out.append(text, done, std::string::npos);
  text.swap(out);
}

// One left-to-right pass: every pair of backslashes becomes one (three become two).
std::string FoldDoubledBackslashes(const std::string& text) {
  if (text.find("\\\\") == std::string::npos) return text;
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\\') ++i;
  }
  return out;
}

// Where a folder path ends inside a text: what follows it cannot be more of the same folder's name.
bool EndsFolderName(const std::string& text, size_t at) {
  return at == text.size() || std::string("\\/\";,\r\n").find(text[at]) != std::string::npos;
}

// Replaces the folder path from by to wherever it stands as a whole folder, so C:\Acme moves
// C:\Acme\bin but leaves the sibling C:\AcmeTools alone.
void ReplaceFolder(std::string& text, const std::string& from, const std::string& to) {
  ReplaceWhere(text, from, to, EndsFolderName);
}

}  // namespace

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
  ReplaceWhere(text, what, with, [](const std::string&, size_t) { return true; });
}

std::string ExpandPlaceholderText(const std::string& text, const PlaceholderValues& v,
                                  const std::vector<UserVariable>& variables, Expansion kind) {
  if (text.find('<') == std::string::npos && text.find('>') == std::string::npos) return text;
  std::string out = text;
  if (kind == Expansion::Wizard) {
    std::replace(out.begin(), out.end(), '[', '<');
    std::replace(out.begin(), out.end(), ']', '>');
  }
  const std::pair<const char*, const std::string*> table[] = {
      {"<ProgramFilesFolder>", &v.programFilesDir}, {"<SystemFolder>", &v.systemDir},
      {"<WindowsFolder>", &v.windowsDir},           {"<CommonFilesFolder>", &v.commonFilesDir},
      {"<WindowsVolume>", &v.windowsVolume},        {"<FavoritesFolder>", &v.favoritesFolder},
      {"<PersonalFolder>", &v.personalFolder},      {"<MyPicturesFolder>", &v.picturesFolder},
      {"<TempFolder>", &v.tempDir},                 {"<SendToFolder>", &v.sendToFolder},
      {"<FontsFolder>", &v.fontsFolder},            {"<AppDataFolder>", &v.appDataFolder},
      {"<ProductName>", &v.productName},            {"<InstallDir>", &v.installDir},
      {"<Install Dir>", &v.installDir},             {"<ProductCode>", &v.productCode},
      {"<USERNAME>", &v.userName},                  {"<UserName>", &v.userName},
      {"<CompanyName>", &v.companyName},            {"<Publisher>", &v.publisher},
      {"<ProductVersion>", &v.productVersion},
  };
  for (const auto& [name, value] : table) {
    if (kind == Expansion::Install && std::string(name) == "<USERNAME>") continue;
    ReplaceAll(out, name, *value);
  }
  for (const auto& variable : variables) ReplaceAll(out, variable.name, variable.value);
  return FoldDoubledBackslashes(out);
}

// Re-rooting comes after the fold: <default>\bin becomes <chosen>\\bin, which the file system reads
// as one backslash; texts that name the default folder literally follow the user's choice too.
std::string ExpandInstallPlaceholders(const std::string& text, const InstallPlaceholderCopy& copy) {
  std::string out = ExpandPlaceholderText(text, copy.values, copy.variables, Expansion::Install);
  const std::string& chosen = copy.values.installDir;
  const std::string& original = copy.defaultInstallDir;
  if (chosen != original && chosen != "\\" && original.size() > 1)
    ReplaceFolder(out, original.substr(0, original.size() - 1), chosen);
  return out;
}

}  // namespace tw
