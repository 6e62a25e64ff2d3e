// The winget manifest set of a packed product (version, installer and default-locale manifests,
// YAML), written from plain values so the texts can be checked without packing anything.
#pragma once
#include <string>

namespace tw::pack {

// The manifest schema version these texts follow; winget reads older clients' sets as well.
extern const char kWingetManifestVersion[];
extern const char kWingetLocale[];

// Everything the manifests say, as UTF-8. The caller checks the values against winget's rules
// (IsWingetIdentifier, IsWingetVersion, the lengths) before writing.
struct WingetValues {
  std::string identifier;        // PackageIdentifier
  std::string version;           // PackageVersion
  std::string name;              // PackageName
  std::string publisher;         // Publisher
  std::string license;           // License
  std::string shortDescription;  // ShortDescription
  std::string installerUrl;      // where the zip will be downloaded from
  std::string installerSha256;   // of the zip, 64 hex digits
  bool perUser = false;          // the product installs for the current user only
  // What setup writes to the product's Uninstall key (the key's name is the product code); an
  // empty value is one setup does not write, and is left out.
  std::string productCode, displayName, displayPublisher, displayVersion;
};

struct WingetManifests {
  std::string version;        // <identifier>.yaml
  std::string installer;      // <identifier>.installer.yaml
  std::string defaultLocale;  // <identifier>.locale.<locale>.yaml
};

WingetManifests WriteWingetManifests(const WingetValues& values);

// A YAML double-quoted scalar that reads back as exactly the UTF-8 text given, whatever it holds
// (':', '#', quotes, backslashes, control characters, line breaks).
std::string YamlQuoted(const std::string& text);

// The text reduced to one part of a winget identifier: the characters winget refuses there
// (blanks, dots, \ / : * ? " < > | and control characters) dropped, cut to 32 characters. Empty
// when nothing is left.
std::string WingetIdentifierPart(const std::string& text);

// Whether the text is a winget PackageIdentifier: two to eight dot-separated parts of 1 to 32
// allowed characters, 128 characters in all.
bool IsWingetIdentifier(const std::string& text);

// Whether the text is a winget PackageVersion: 1 to 128 characters, none of \ / : * ? " < > |
// or control characters.
bool IsWingetVersion(const std::string& text);

// The number of characters (not bytes) of UTF-8 text, as winget's length limits count them.
size_t CharacterCount(const std::string& text);

}  // namespace tw::pack
