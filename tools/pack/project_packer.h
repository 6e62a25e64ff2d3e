// Turns a plain setup project folder into the folder that ships beside setup.exe. One function per
// kind of output, so each can grow (or, for the payload, arrive) on its own.
#pragma once
#include <filesystem>
#include <functional>
#include <string>

namespace tw::pack {

// How the payload ships: one compressed cabinet unpacked before the first page, an uncompressed
// folder copied from, or a cabinet (set) unpacked straight into the install folder.
enum class PayloadLayout { kCabinet, kDiskImage, kSplit };

struct PackOptions {
  std::filesystem::path projectDir;
  std::filesystem::path outDir;
  std::filesystem::path setupExe;  // empty: not copied
  // The uninstaller shipped in the payload's support files unless support/ brings its own; empty:
  // dovuvi.exe beside setupExe, when there is one.
  std::filesystem::path uninstallerExe;
  PayloadLayout layout = PayloadLayout::kCabinet;
  // Also writes OUT/<product>-setup.exe, setup.exe with the product inside (needs setupExe).
  bool singleFile = false;
  // Signs setup.exe, dovuvi.exe and the single file with this PKCS#12 file; empty: nothing signed.
  std::filesystem::path signPfx;
  std::string signPasswordEnv;  // the environment variable holding the PFX password; empty: none
  std::string timestampUrl;     // an RFC 3161 time-stamp server; empty: not time-stamped
  // Where the winget manifests and the zip of the packed folder go; empty: not written.
  std::filesystem::path wingetDir;
  std::string wingetUrl;                    // where the author publishes the zip; empty: a placeholder
  std::string wingetId;                     // PackageIdentifier; empty: <publisher>.<product>
  std::string wingetLicense = "Proprietary";
  // Told about things that pack but are probably not what the author meant.
  std::function<void(const std::string&)> warn = [](const std::string&) {};
  // Told how far a large payload has got.
  std::function<void(const std::string&)> progress = [](const std::string&) {};
};

// Called once for every file written, with its path.
using WroteFile = std::function<void(const std::filesystem::path&)>;

// Packs everything; throws std::runtime_error (or the crypt component's error) with a message the
// user can act on.
void PackProject(const PackOptions& options, const WroteFile& wrote);
// The project's files outside payload/ that start with the UTF-8 byte-order mark, relative to the
// project folder and sorted: they are packed as they are, and setup reads them as UTF-8 rather
// than in the machine's ANSI code page.
std::vector<std::filesystem::path> MarkedUtf8Files(const PackOptions& options);

// The parts, in the order PackProject runs them.
void CheckProject(const PackOptions& options);
void WarnOldWindowsOnly(const PackOptions& options);  // part of CheckProject
void PackProjectFiles(const PackOptions& options, const WroteFile& wrote);   // setup.ziv, data.ziv
void PackTheme(const PackOptions& options, const WroteFile& wrote);          // theme/* -> ^!<name>
void PackLanguages(const PackOptions& options, const WroteFile& wrote);      // language.lan, languages/*.lan
void PackSupportFiles(const PackOptions& options, const WroteFile& wrote);   // SupportFiles/
void PackPayload(const PackOptions& options, const WroteFile& wrote);        // file1.cab or DiskImage1/
void PackSetupExe(const PackOptions& options, const WroteFile& wrote);       // setup.exe when given
// Then, with options.wingetDir, the zip of everything written and its winget manifests.

}  // namespace tw::pack
