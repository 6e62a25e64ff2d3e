// The packing steps. Files are written with replace, so packing again into the same folder
// refreshes it; the output folder must not be the project folder itself.
#include "project_packer.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "crypt/project_key.h"
#include "crypt/rijndael_method.h"
#include "payload_packer.h"
#include "single_file_packer.h"
#include "platform/text.h"
#include "project/project_settings.h"
#include "support/requirements.h"
#include "winget_package.h"

namespace fs = std::filesystem;

namespace tw::pack {
namespace {

// The engine moves files named "^!" + name from its own folder into its theme folder on first run.
constexpr char kThemePrefix[] = "^!";

// Regular files directly inside folder, sorted so the output order is stable.
std::vector<fs::path> FilesIn(const fs::path& folder) {
  std::vector<fs::path> files;
  if (!fs::is_directory(folder)) return files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

void CopyOne(const fs::path& from, const fs::path& to, const WroteFile& wrote) {
  fs::create_directories(to.parent_path());
  fs::copy_file(from, to, fs::copy_options::overwrite_existing);
  wrote(to);
}

bool HasExtension(const fs::path& file, const std::string& extension) {
  std::string ext = file.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == extension;
}

// The product code names the product's uninstall key and its log folder; an empty one would write
// into the installed-programs list itself and share one log among all such products, so setup
// refuses to register it and the project is refused here.
void CheckProductCode(const fs::path& setupInf) {
  const std::string code = ProjectSettings(ReadText(setupInf)).ReadSetting("APPINFO", "a3");
  if (!IsPlainFileName(code))
    throw std::runtime_error("setup.inf: [APPINFO] a3, the product code, " +
                             (code.empty() ? std::string("is missing or empty")
                                           : "\"" + code +
                                                 "\" cannot name a folder (no \\ / : * ? \" < > |, no dot or blank at "
                                                 "the end, no device name such as CON or COM1)") +
                             "; give the product a code of its own, for example a GUID in braces");
}

}  // namespace

void CheckProject(const PackOptions& options) {
  if (!fs::is_directory(options.projectDir))
    throw std::runtime_error("project folder " + options.projectDir.string() + " does not exist");
  for (const char* required : {"setup.inf", "data.inf"}) {
    const fs::path file = options.projectDir / required;
    if (!fs::is_regular_file(file))
      throw std::runtime_error("not a setup project: " + file.string() + " is missing");
  }
  CheckProductCode(options.projectDir / "setup.inf");
  if (fs::exists(options.outDir) && fs::equivalent(options.projectDir, options.outDir))
    throw std::runtime_error("the output folder must not be the project folder");
  if (!options.setupExe.empty() && !fs::is_regular_file(options.setupExe))
    throw std::runtime_error("setup program " + options.setupExe.string() + " does not exist");
  PlanPayload(options);  // refuses a broken data.inf before anything is written
  CheckSingleFile(options);
  if (!options.signPfx.empty() && !fs::is_regular_file(options.signPfx))
    throw std::runtime_error("signing certificate " + options.signPfx.string() + " does not exist");
  CheckWinget(options);
  WarnOldWindowsOnly(options);
}

void WarnOldWindowsOnly(const PackOptions& options) {
  if (AllowsTodaysWindows(ProjectSettings(ReadText(options.projectDir / "setup.inf")))) return;
  options.warn("setup.inf [SYSTEM] allows no Windows newer than Server 2003, so setup will refuse Vista, 7, 8, "
               "8.1, 10 and 11; allow them with os7=Yes to os12=Yes (os11 is Windows 10, os12 Windows 11)");
}

void PackProjectFiles(const PackOptions& options, const WroteFile& wrote) {
  CRijndaelMethod method;
  InitProjectKey(method);
  for (const auto& [plain, encrypted] : {std::make_pair("setup.inf", "setup.ziv"), std::make_pair("data.inf", "data.ziv")}) {
    const fs::path out = options.outDir / encrypted;
    method.EncryptFile((options.projectDir / plain).string(), out.string());
    wrote(out);
  }
}

void PackTheme(const PackOptions& options, const WroteFile& wrote) {
  for (const fs::path& file : FilesIn(options.projectDir / "theme"))
    CopyOne(file, options.outDir / (kThemePrefix + file.filename().string()), wrote);
}

void PackLanguages(const PackOptions& options, const WroteFile& wrote) {
  const fs::path defaultLanguage = options.projectDir / "language.lan";
  if (fs::is_regular_file(defaultLanguage)) CopyOne(defaultLanguage, options.outDir / "language.lan", wrote);
  for (const fs::path& file : FilesIn(options.projectDir / "languages"))
    if (HasExtension(file, ".lan")) CopyOne(file, options.outDir / "languages" / file.filename(), wrote);
}

void PackSupportFiles(const PackOptions& options, const WroteFile& wrote) {
  const fs::path from = options.projectDir / "SupportFiles";
  if (!fs::is_directory(from)) return;
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(from))
    if (entry.is_regular_file()) files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) CopyOne(file, options.outDir / "SupportFiles" / fs::relative(file, from), wrote);
}

// Files setup looks for beside itself: the splash picture and sound ("setup" with the extension of
// the author's file) and the merge-module package.
void PackSetupFolderFiles(const PackOptions& options, const WroteFile& wrote) {
  for (const fs::path& file : FilesIn(options.projectDir)) {
    const std::string name = file.filename().string();
    bool splash = name.rfind("setup.", 0) == 0 && name != "setup.inf" && name != "setup.exe" && name != "setup.ziv";
    if (splash || name == "mergemod.msi") CopyOne(file, options.outDir / name, wrote);
  }
}

// The uninstaller travels inside the cabinet, so it is signed on its way in: a signed copy
// stands in for the source while the payload is written.
void PackPayload(const PackOptions& options, const WroteFile& wrote) {
  std::vector<PayloadFile> payload = PlanPayload(options);
  const fs::path signedUninstaller = options.outDir / ".dovuvi-signed.exe";
  try {
    for (PayloadFile& file : payload) {
      if (options.signPfx.empty() || file.storedName != "dovuvi.exe") continue;
      fs::copy_file(file.source, signedUninstaller, fs::copy_options::overwrite_existing);
      SignFile(options, signedUninstaller);
      file.source = signedUninstaller;
      file.size = fs::file_size(signedUninstaller);
    }
    WritePayload(options, payload, wrote);
  } catch (...) {
    fs::remove(signedUninstaller);
    throw;
  }
  fs::remove(signedUninstaller);
}

void PackSetupExe(const PackOptions& options, const WroteFile& wrote) {
  if (options.setupExe.empty()) return;
  const fs::path target = options.outDir / "setup.exe";
  CopyOne(options.setupExe, target, wrote);
  if (!options.signPfx.empty()) SignFile(options, target);
}

std::vector<fs::path> MarkedUtf8Files(const PackOptions& options) {
  std::vector<fs::path> marked;
  for (auto entry = fs::recursive_directory_iterator(options.projectDir); entry != fs::recursive_directory_iterator();
       ++entry) {
    const fs::path relative = fs::relative(entry->path(), options.projectDir);
    if (entry->is_directory() && relative == "payload") entry.disable_recursion_pending();
    if (entry->is_regular_file() && IsMarkedUtf8(entry->path())) marked.push_back(relative);
  }
  std::sort(marked.begin(), marked.end());
  return marked;
}

void PackProject(const PackOptions& options, const WroteFile& wrote) {
  CheckProject(options);
  fs::create_directories(options.outDir);
  // The zip takes what this run wrote, not whatever an earlier run left in the folder.
  std::vector<fs::path> packed;
  const WroteFile note = [&](const fs::path& file) {
    packed.push_back(file);
    wrote(file);
  };
  PackProjectFiles(options, note);
  PackTheme(options, note);
  PackLanguages(options, note);
  PackSupportFiles(options, note);
  PackSetupFolderFiles(options, note);
  PackPayload(options, note);
  PackSetupExe(options, note);
  // Built from the unsigned program, then signed whole: the signature must be the file's last part.
  if (options.singleFile) {
    PackSingleFile(options, packed, wrote);
    if (!options.signPfx.empty()) SignFile(options, SingleFilePath(options));
  }
  if (!options.wingetDir.empty()) PackWinget(options, packed, wrote);
}

}  // namespace tw::pack
