// Every text that comes from the project or the command line is written double-quoted, so no
// product name can turn into YAML syntax (and no hash of digits alone into a number); the fixed
// words winget knows stay plain, as in winget's own manifests.
#include "winget_manifest.h"

#include <cstdio>
#include <sstream>

#include "utf8_text.h"

namespace tw::pack {

const char kWingetManifestVersion[] = "1.30.0";
const char kWingetLocale[] = "en-US";

namespace {

constexpr size_t kIdentifierPartLength = 32;
constexpr size_t kIdentifierParts = 8;
constexpr size_t kIdentifierLength = 128;
constexpr size_t kVersionLength = 128;

// Exit codes setup.exe ends with and what winget should tell the user about each: 1618 when
// another setup of the product is running (or another installation held the machine for ten
// minutes), 1641 when setup started the restart itself. 1603 is every failure that is not the
// user's doing (an error, a refused requirement, missing rights, the project's own abort); only
// the log says which, so winget's nearest answer is to ask for support rather than to claim one
// cause.
const std::pair<int, const char*> kReturnCodes[] = {
    {1602, "cancelledByUser"},  {1603, "contactSupport"},  {1618, "installInProgress"},
    {1639, "invalidParameter"}, {1641, "rebootInitiated"}, {3010, "rebootRequiredToFinish"},
};

// Characters YAML may hold as they are; the rest are escaped. Line breaks and tabs are escaped
// too, so a value stays on its line.
bool IsPlainYamlCharacter(char32_t c) {
  if (c == 0xFEFF || c == 0x2028 || c == 0x2029) return false;  // a byte-order mark, YAML 1.1 line breaks
  return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
}

std::string YamlEscape(char32_t c) {
  switch (c) {
    case '"': return "\\\"";
    case '\\': return "\\\\";
    case '\t': return "\\t";
    case '\n': return "\\n";
    case '\r': return "\\r";
    default: break;
  }
  char escaped[16];
  if (c <= 0xFF)
    std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned>(c));
  else if (c <= 0xFFFF)
    std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned>(c));
  else
    std::snprintf(escaped, sizeof escaped, "\\U%08X", static_cast<unsigned>(c));
  return escaped;
}

// Blanks as either the schema's pattern language or Python's reads "\s", and control characters.
bool IsBlankOrControl(char32_t c) {
  if (c <= 0x20 || (c >= 0x7F && c <= 0xA0)) return true;
  return c == 0x1680 || (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
         c == 0x3000 || c == 0xFEFF;
}

bool IsIdentifierCharacter(char32_t c) {
  if (IsBlankOrControl(c)) return false;
  for (char refused : std::string(".\\/:*?\"<>|"))
    if (c == static_cast<char32_t>(refused)) return false;
  return true;
}

// The schema's header comment, which editors follow to check the file as it is written; schema is
// the name in the schema's $id.
std::string Header(const char* schema) {
  return std::string("# Created with tarnwick-pack\n# yaml-language-server: $schema=https://aka.ms/winget-manifest.") +
         schema + "." + kWingetManifestVersion + ".schema.json\n\n";
}

std::string Identity(const WingetValues& values) {
  return "PackageIdentifier: " + YamlQuoted(values.identifier) + "\n" +
         "PackageVersion: " + YamlQuoted(values.version) + "\n";
}

std::string Footer(const char* manifestType) {
  return std::string("ManifestType: ") + manifestType + "\nManifestVersion: " + kWingetManifestVersion + "\n";
}

std::string AppsAndFeaturesEntry(const WingetValues& values) {
  std::string entry = "AppsAndFeaturesEntries:\n";
  const std::pair<const char*, const std::string*> fields[] = {{"DisplayName", &values.displayName},
                                                               {"Publisher", &values.displayPublisher},
                                                               {"DisplayVersion", &values.displayVersion},
                                                               {"ProductCode", &values.productCode}};
  const char* lead = "- ";
  for (const auto& [key, value] : fields) {
    if (value->empty()) continue;
    entry += lead + std::string(key) + ": " + YamlQuoted(*value) + "\n";
    lead = "  ";
  }
  // The entry is setup.exe's own, not the zip's.
  return entry + lead + "InstallerType: exe\n";
}

std::string InstallerManifest(const WingetValues& values) {
  std::ostringstream text;
  text << Header("installer") << Identity(values);
  // winget unpacks the zip and runs the setup.exe at its top with the switches below.
  text << "InstallerType: zip\nNestedInstallerType: exe\nNestedInstallerFiles:\n- RelativeFilePath: setup.exe\n";
  text << "Scope: " << (values.perUser ? "user" : "machine") << "\n";
  // setup.exe has no mode that shows progress without asking, so winget's default mode runs
  // it silent as well.
  text << "InstallModes:\n- interactive\n- silent\n- silentWithProgress\n";
  text << "InstallerSwitches:\n  Silent: /S\n  SilentWithProgress: /S\n"
          "  InstallLocation: /D=<INSTALLPATH>\n  Log: /LOG=<LOGPATH>\n";
  text << "ExpectedReturnCodes:\n";
  for (const auto& [code, response] : kReturnCodes)
    text << "- InstallerReturnCode: " << code << "\n  ReturnResponse: " << response << "\n";
  // setup.exe asks Windows for the highest rights the user has, whatever the product's scope:
  // from an administrator's ordinary shell Windows asks for consent, which is what elevatesSelf
  // says. elevationRequired would demand an administrator's shell, which setup does not need,
  // and elevationProhibited would be untrue for a per-user product, which elevates too.
  text << "ElevationRequirement: elevatesSelf\n";
  text << "ProductCode: " << YamlQuoted(values.productCode) << "\n";
  text << AppsAndFeaturesEntry(values);
  // setup.exe is a 32-bit program; it runs on every Windows winget does.
  text << "Installers:\n- Architecture: x86\n  InstallerUrl: " << YamlQuoted(values.installerUrl)
       << "\n  InstallerSha256: " << YamlQuoted(values.installerSha256) << "\n";
  text << Footer("installer");
  return text.str();
}

std::string VersionManifest(const WingetValues& values) {
  return Header("version") + Identity(values) + "DefaultLocale: " + kWingetLocale + "\n" + Footer("version");
}

std::string DefaultLocaleManifest(const WingetValues& values) {
  std::ostringstream text;
  text << Header("defaultlocale") << Identity(values) << "PackageLocale: " << kWingetLocale << "\n";
  text << "Publisher: " << YamlQuoted(values.publisher) << "\nPackageName: " << YamlQuoted(values.name) << "\n";
  text << "License: " << YamlQuoted(values.license) << "\n";
  text << "ShortDescription: " << YamlQuoted(values.shortDescription) << "\n";
  text << Footer("defaultLocale");
  return text.str();
}

}  // namespace

WingetManifests WriteWingetManifests(const WingetValues& values) {
  return {VersionManifest(values), InstallerManifest(values), DefaultLocaleManifest(values)};
}

std::string YamlQuoted(const std::string& text) {
  std::string quoted = "\"";
  for (char32_t c : DecodeUtf8(text))
    quoted += IsPlainYamlCharacter(c) && c != '"' && c != '\\' ? EncodeUtf8(c) : YamlEscape(c);
  return quoted + "\"";
}

std::string WingetIdentifierPart(const std::string& text) {
  std::u32string part;
  for (char32_t c : DecodeUtf8(text))
    if (IsIdentifierCharacter(c) && part.size() < kIdentifierPartLength) part += c;
  std::string utf8;
  for (char32_t c : part) utf8 += EncodeUtf8(c);
  return utf8;
}

bool IsWingetIdentifier(const std::string& text) {
  if (!IsUtf8(text) || CharacterCount(text) > kIdentifierLength) return false;
  size_t parts = 1, partLength = 0;
  for (char32_t c : DecodeUtf8(text)) {
    if (c == '.') {
      if (partLength == 0) return false;
      ++parts;
      partLength = 0;
    } else if (!IsIdentifierCharacter(c) || ++partLength > kIdentifierPartLength) {
      return false;
    }
  }
  return partLength > 0 && parts >= 2 && parts <= kIdentifierParts;
}

bool IsWingetVersion(const std::string& text) {
  if (text.empty() || !IsUtf8(text) || CharacterCount(text) > kVersionLength) return false;
  for (char32_t c : DecodeUtf8(text))
    if (c < 0x20 || (c < 0x80 && std::string("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string::npos))
      return false;
  return true;
}

size_t CharacterCount(const std::string& text) { return DecodeUtf8(text).size(); }

}  // namespace tw::pack
