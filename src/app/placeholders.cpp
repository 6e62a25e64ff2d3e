#include "app/placeholders.h"

#include <algorithm>

namespace tw {

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
  if (what.empty()) return;
  std::string out;
  size_t from = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, from)) {
    out.append(text, from, at - from);
    out += with;
    from = at + what.size();
  }
  if (from == 0) return;
  out.append(text, from, std::string::npos);
  text.swap(out);
}

namespace {

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

}  // namespace

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

}  // namespace tw
