// Placeholder expansion: "<InstallDir>", "<ProductName>" and the rest of the table, then the
// author's user variables, then the doubled-backslash fold.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

namespace tw {

// The values the placeholders stand for. The wizard fills it from the host state; the install
// engine works on its own copy.
struct PlaceholderValues {
  std::string programFilesDir, systemDir, windowsDir, commonFilesDir, windowsVolume;
  std::string favoritesFolder, personalFolder, picturesFolder, tempDir, sendToFolder, fontsFolder,
      appDataFolder;
  std::string productName, installDir, productCode, userName, companyName, publisher, productVersion;
};

struct UserVariable {
  std::string name;   // as the author wrote it, brackets included
  std::string value;
};

enum class Expansion { Wizard, Install };

// The install engine's own copy of the values, taken when installation starts: installDir is the
// folder the user chose, defaultInstallDir the project's folder before any change.
struct InstallPlaceholderCopy {
  PlaceholderValues values;
  std::vector<UserVariable> variables;
  std::string defaultInstallDir;
};

// Replaces every placeholder, left to right and without rescanning what was inserted. The wizard
// form also turns "[" and "]" into angle brackets and knows "<USERNAME>". Texts without any angle
// bracket come back untouched.
std::string ExpandPlaceholderText(const std::string& text, const PlaceholderValues& values,
                                  const std::vector<UserVariable>& variables, Expansion kind);

// The install engine's expansion: no brackets, no "<USERNAME>", and then paths under the project's
// default folder are moved under the chosen one (this last step runs on every text).
std::string ExpandInstallPlaceholders(const std::string& text, const InstallPlaceholderCopy& copy);

// The longest text a replacement makes: far beyond any path or message, it keeps variables whose
// values name other variables from doubling a text until memory runs out.
constexpr size_t kMaxExpandedText = 4u << 20;

// Replaces every occurrence of what by with, left to right, without rescanning inserted text. A text
// that would grow longer than kMaxExpandedText is left as it was.
void ReplaceAll(std::string& text, const std::string& what, const std::string& with);

}  // namespace tw
