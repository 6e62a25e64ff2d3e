// The values come from setup.inf exactly as setup reads them, so the manifest's
// AppsAndFeaturesEntries match what setup writes to the product's Uninstall key and winget can
// tell the product is installed.
#include "winget_package.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <set>
#include <stdexcept>

#include "crypt/sha.h"
#include "payload_packer.h"
#include "platform/text.h"
#include "project/project_settings.h"
#include "utf8_text.h"
#include "zip_writer.h"

namespace fs = std::filesystem;

namespace tw::pack {
namespace {

// An address that can never resolve, so a manifest nobody finished fails at download rather
// than fetching something else.
constexpr char kPlaceholderUrl[] = "https://example.invalid/";
constexpr size_t kUrlLength = 2048;
constexpr size_t kLicenseMin = 3, kLicenseMax = 512;
constexpr size_t kNameMin = 2;
constexpr size_t kDescriptionMin = 3;

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// winget wants three characters at least; the product's comments, else its name, else the name
// with the publisher.
std::string ShortDescription(const std::string& comments, const WingetValues& values) {
  if (CharacterCount(comments) >= kDescriptionMin) return comments;
  if (CharacterCount(values.name) >= kDescriptionMin) return values.name;
  return values.name + " (" + values.publisher + ")";
}

bool IsWingetUrl(const std::string& url) {
  const std::string lower = Lower(url);
  const size_t scheme = lower.rfind("http://", 0) == 0 ? 7 : lower.rfind("https://", 0) == 0 ? 8 : 0;
  if (scheme == 0 || url.size() == scheme || !IsUtf8(url) || CharacterCount(url) > kUrlLength) return false;
  return std::none_of(url.begin(), url.end(), [](char c) { return static_cast<unsigned char>(c) <= ' ' || c == 0x7F; });
}

// ASCII letters, digits and . _ - + only: the name has to survive as a file name anywhere and
// as the last part of the placeholder address without escaping.
std::string FileNamePart(const std::string& text) {
  std::string part;
  for (char c : text)
    if (std::isalnum(static_cast<unsigned char>(c)) || std::string("._-+").find(c) != std::string::npos) part += c;
  return part;
}

std::string ZipFileName(const WingetValues& values) {
  const std::string product = FileNamePart(values.name), version = FileNamePart(values.version);
  const std::string name =
      (product.empty() ? std::string("setup") : product) + (version.empty() ? "" : "-" + version) + ".zip";
  // A product called CON or NUL would name a device in every folder.
  return IsPlainFileName(name) ? name : "setup-" + name;
}

// The names winget's own repository gives the version, installer and default-locale manifests.
std::vector<std::string> ManifestNames(const std::string& identifier) {
  return {identifier + ".yaml", identifier + ".installer.yaml", identifier + ".locale." + kWingetLocale + ".yaml"};
}

void AddValueProblems(const WingetValues& values, std::vector<std::string>& problems) {
  if (CharacterCount(values.name) < kNameMin)
    problems.push_back("setup.inf [APPINFO] a1, the product name, needs 2 characters at least: it is winget's "
                       "PackageName");
  if (CharacterCount(values.publisher) < kNameMin)
    problems.push_back("setup.inf [APPINFO] a19, the publisher, needs 2 characters at least: winget requires a "
                       "Publisher, and setup writes the same name to the Uninstall key that winget matches");
  if (!IsWingetVersion(values.version))
    problems.push_back("setup.inf [APPINFO] a2, the version " + Quoted(values.version) +
                       ", cannot be a winget PackageVersion (1 to 128 characters, none of \\ / : * ? \" < > |)");
  if (CharacterCount(values.license) < kLicenseMin || CharacterCount(values.license) > kLicenseMax ||
      !IsUtf8(values.license))
    problems.push_back("--winget-license needs 3 to 512 characters of UTF-8 text");
}

void AddOptionProblems(const PackOptions& options, const WingetValues& values, std::vector<std::string>& problems) {
  if (options.setupExe.empty())
    problems.push_back("--winget needs --setup: winget runs the setup.exe inside the zip");
  if (!options.wingetUrl.empty() && !IsWingetUrl(options.wingetUrl))
    problems.push_back("--winget-url " + Quoted(options.wingetUrl) +
                       " is not an http:// or https:// address without blanks, 2048 characters at most");
  if (!IsWingetIdentifier(values.identifier))
    problems.push_back(options.wingetId.empty()
                           ? "cannot make a winget PackageIdentifier from the publisher " + Quoted(values.publisher) +
                                 " and the product name " + Quoted(values.name) +
                                 "; give one with --winget-id Publisher.Product"
                           : "--winget-id " + Quoted(options.wingetId) +
                                 " is not a winget PackageIdentifier: 2 to 8 parts of 1 to 32 characters joined by "
                                 "dots, "
                                 "without blanks or \\ / : * ? \" < > |");
  // Windows opens a device name (CON, NUL.x, ...) in every folder, whatever follows the first dot.
  for (const std::string& name : ManifestNames(values.identifier))
    if (IsWingetIdentifier(values.identifier) && !IsPlainFileName(name))
      problems.push_back("the manifest " + name + " cannot be a Windows file name; choose another --winget-id");
  const fs::path out = fs::weakly_canonical(options.outDir), winget = fs::weakly_canonical(options.wingetDir);
  const fs::path inside = winget.lexically_relative(out);
  if (!inside.empty() && *inside.begin() != "..")
    problems.push_back("the --winget folder must not be the output folder or inside it: the zip holds the output "
                       "folder");
}

std::string Sha256Hex(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  CSHA sha;
  std::string buffer(1 << 16, '\0');
  bool any = false;
  while (in.read(&buffer[0], static_cast<std::streamsize>(buffer.size())) || in.gcount() > 0) {
    sha.AddData(buffer.data(), static_cast<int>(in.gcount()));
    any = true;
  }
  if (in.bad() || !any) throw std::runtime_error("cannot read " + file.string());
  unsigned char digest[CSHA::DIGEST_LENGTH];
  sha.FinalDigest(digest);
  static const char kHex[] = "0123456789ABCDEF";  // winget writes hashes in upper case
  std::string hex;
  for (unsigned char byte : digest) hex += {kHex[byte >> 4], kHex[byte & 0xF]};
  return hex;
}

// Each packed file once, under its path inside the output folder. A name that is not UTF-8 came
// from the project's own Windows-1252 text.
std::vector<ZipMember> ZipMembers(const fs::path& outDir, const std::vector<fs::path>& packed) {
  std::set<std::string> seen;
  std::vector<ZipMember> members;
  for (const fs::path& file : packed) {
    const std::string relative = file.lexically_relative(outDir).generic_string();
    const std::string name = IsUtf8(relative) ? relative : Utf8FromAnsi(relative);
    if (seen.insert(name).second) members.push_back({file, name});
  }
  std::sort(members.begin(), members.end(), [](const ZipMember& a, const ZipMember& b) { return a.name < b.name; });
  return members;
}

std::string InstallerUrl(const PackOptions& options, const fs::path& zip) {
  if (!options.wingetUrl.empty()) return options.wingetUrl;
  const std::string placeholder = kPlaceholderUrl + zip.filename().string();
  options.warn("no --winget-url: the installer manifest's InstallerUrl is the placeholder " + placeholder +
               "; publish " + zip.string() + " and set InstallerUrl to its address before winget or Intune can use it");
  return placeholder;
}

void WriteManifests(const PackOptions& options, const WingetValues& values, const WroteFile& wrote) {
  const WingetManifests manifests = WriteWingetManifests(values);
  const std::vector<std::string> names = ManifestNames(values.identifier);
  const std::string* texts[] = {&manifests.version, &manifests.installer, &manifests.defaultLocale};
  for (size_t i = 0; i < names.size(); ++i) {
    const fs::path path = options.wingetDir / names[i];
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << *texts[i];
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path.string());
    wrote(path);
  }
}

}  // namespace

WingetValues ReadWingetValues(const PackOptions& options) {
  const ProjectSettings settings(ReadText(options.projectDir / "setup.inf"));
  const auto appInfo = [&](const char* key) { return Utf8FromAnsi(settings.ReadSetting("APPINFO", key)); };
  WingetValues values;
  values.name = values.displayName = appInfo("a1");
  values.version = values.displayVersion = appInfo("a2");
  values.publisher = values.displayPublisher = appInfo("a19");
  values.productCode = appInfo("a3");
  values.perUser = settings.ReadSetting("APPINFO", "a8") == "Per-User";
  values.license = options.wingetLicense;
  values.shortDescription = ShortDescription(appInfo("a20"), values);
  values.identifier = !options.wingetId.empty()
                          ? options.wingetId
                          : WingetIdentifierPart(values.publisher) + "." + WingetIdentifierPart(values.name);
  return values;
}

std::vector<std::string> WingetProblems(const PackOptions& options, const WingetValues& values) {
  std::vector<std::string> problems;
  AddValueProblems(values, problems);
  AddOptionProblems(options, values, problems);
  return problems;
}

void CheckWinget(const PackOptions& options) {
  if (options.wingetDir.empty()) return;
  const std::vector<std::string> problems = WingetProblems(options, ReadWingetValues(options));
  if (problems.empty()) return;
  std::string message = "cannot write the winget manifests:";
  for (const std::string& problem : problems) message += "\n  " + problem;
  throw std::runtime_error(message);
}

void PackWinget(const PackOptions& options, const std::vector<fs::path>& packed, const WroteFile& wrote) {
  WingetValues values = ReadWingetValues(options);
  fs::create_directories(options.wingetDir);
  const fs::path zip = options.wingetDir / ZipFileName(values);
  WriteZip(zip, ZipMembers(options.outDir, packed));
  wrote(zip);
  values.installerSha256 = Sha256Hex(zip);
  values.installerUrl = InstallerUrl(options, zip);
  WriteManifests(options, values, wrote);
}

}  // namespace tw::pack
