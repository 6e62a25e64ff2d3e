// Reads data.inf the way setup does (CR LF pairs of source and record lines), checks that every
// listed file is in payload/, and writes the payload with libgcab (MSZIP) or as a plain folder.
#include "payload_packer.h"

#include <libgcab.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <stdexcept>

#include "install/payload_stream.h"
#include "platform/text.h"
#include "project/project_settings.h"

namespace fs = std::filesystem;

namespace tw::pack {
namespace {

constexpr char kCabinetName[] = "file1.cab";
constexpr char kDiskImage[] = "DiskImage1";
constexpr char kSplitBuild[] = "Split Files";
constexpr char kUninstallerName[] = "dovuvi.exe";
// Above this the packer says how far it has got.
constexpr uintmax_t kLargePayload = 16u << 20;
// One cabinet (and one MSZIP folder) cannot hold more; spanning is not written.
constexpr uintmax_t kCabinetLimit = 0x7FFF0000u;

struct Line {
  int number;
  std::string text;
};

// Splits at CR LF as setup does and notes what setup would silently drop.
std::vector<Line> SplitLines(const std::string& text, std::vector<std::string>& problems) {
  std::vector<Line> lines;
  size_t start = 0;
  int number = 1;
  for (size_t cr = text.find('\r'); cr != std::string::npos; cr = text.find('\r', start), ++number) {
    lines.push_back({number, text.substr(start, cr - start)});
    if (cr + 1 >= text.size() || text[cr + 1] != '\n')
      problems.push_back("data.inf line " + std::to_string(number) + ": a CR without LF; setup would eat the next character");
    start = cr + 2;
  }
  if (start < text.size()) {
    if (text.find('\n', start) != std::string::npos && lines.empty())
      problems.push_back("data.inf has LF line ends; setup splits lines at CR LF and would find no files");
    else
      problems.push_back("data.inf line " + std::to_string(number) + ": no CR LF at its end; setup would ignore it");
  }
  return lines;
}

bool IsNumber(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// destination*flags*osmask*reserved|feature, the three numbers decimal.
bool IsRecordLine(const std::string& line) {
  size_t star1 = line.find('*');
  size_t star2 = star1 == std::string::npos ? star1 : line.find('*', star1 + 1);
  size_t star3 = star2 == std::string::npos ? star2 : line.find('*', star2 + 1);
  size_t bar = star3 == std::string::npos ? star3 : line.find('|', star3 + 1);
  if (bar == std::string::npos || star1 == 0) return false;
  return IsNumber(line.substr(star1 + 1, star2 - star1 - 1)) && IsNumber(line.substr(star2 + 1, star3 - star2 - 1)) &&
         IsNumber(line.substr(star3 + 1, bar - star3 - 1));
}

bool IsDownload(const std::string& source) {
  return source.find("http:") != std::string::npos || source.find("ftp:") != std::string::npos;
}

// Setup uses only the text after the last "\", "/" or ":" of a source line.
std::string FileNameOf(const std::string& source) {
  size_t cut = source.find_last_of("\\/:");
  return cut == std::string::npos ? source : source.substr(cut + 1);
}

std::string StoredName(PayloadLayout layout, size_t index, const std::string& name) {
  return layout == PayloadLayout::kSplit ? name : PayloadMemberName(index, name);
}

// The data.inf records whose files ship in the payload, in record order.
void PlanRecords(const PackOptions& options, std::vector<PayloadFile>& payload, std::vector<std::string>& problems) {
  std::vector<Line> lines = SplitLines(ReadText(options.projectDir / "data.inf"), problems);
  for (size_t at = 0; at < lines.size(); at += 2) {
    const Line& source = lines[at];
    std::string where = "data.inf line " + std::to_string(source.number) + ": ";
    if (at + 1 >= lines.size()) {
      problems.push_back(where + "a source line without a record line after it");
      break;
    }
    const Line& record = lines[at + 1];
    if (source.text.empty() || IsRecordLine(source.text)) {
      problems.push_back(where + "a record without a source line (each record line follows the line naming its file)");
      break;  // every pair after this one is shifted; more messages would only mislead
    }
    if (!IsRecordLine(record.text))
      problems.push_back("data.inf line " + std::to_string(record.number) + ": malformed record line \"" + record.text +
                         "\" (expected destination*flags*osmask*reserved|feature)");
    if (IsDownload(source.text)) continue;  // setup downloads it
    std::string name = FileNameOf(source.text);
    fs::path file = options.projectDir / "payload" / name;
    if (name.empty())
      problems.push_back(where + "the source line names no file");
    else if (!fs::is_regular_file(file))
      problems.push_back(where + "payload file " + (fs::path("payload") / name).string() + " is missing");
    else
      payload.push_back({file, StoredName(options.layout, at / 2, name), fs::file_size(file)});
  }
}

// Support files (splash, billboard pictures ...) travel under their own names beside the payload.
void PlanSupportFiles(const PackOptions& options, std::vector<PayloadFile>& payload) {
  const fs::path folder = options.projectDir / "support";
  if (!fs::is_directory(folder)) return;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.is_regular_file())
      files.push_back(entry.path());
    else
      options.warn("support/" + entry.path().filename().string() + " is not a file; only files directly in support/ are packed");
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) payload.push_back({file, file.filename().string(), fs::file_size(file)});
}

// The file version of a Windows program, from the fixed part of its version resource (which starts
// with the signature 0xFEEF04BD); nothing when it has none.
std::optional<std::array<uint32_t, 2>> ProgramVersion(const fs::path& program) {
  const std::string bytes = ReadText(program);
  const std::string signature("\xBD\x04\xEF\xFE", 4);
  size_t at = bytes.find(signature);
  if (at == std::string::npos || at + 16 > bytes.size()) return std::nullopt;
  auto word = [&](size_t offset) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + offset + i]);
    return value;
  };
  return std::array<uint32_t, 2>{word(8), word(12)};
}

std::string VersionText(const std::optional<std::array<uint32_t, 2>>& version) {
  if (!version) return "none";
  const auto& v = *version;
  return std::to_string(v[0] >> 16) + "." + std::to_string(v[0] & 0xffff) + "." + std::to_string(v[1] >> 16) + "." +
         std::to_string(v[1] & 0xffff);
}

// The uninstaller in the Windows folder is shared by every product; a project that brings an older
// one than the engine it is packed with would ship the old removal, so it is refused. One without
// a version cannot be compared: the author is told.
void RefuseAnOlderOwnUninstaller(const PackOptions& options, const fs::path& own, const fs::path& engines) {
  const auto ownVersion = ProgramVersion(own), enginesVersion = ProgramVersion(engines);
  if (!enginesVersion || (ownVersion && *ownVersion >= *enginesVersion)) return;
  if (!ownVersion) {
    options.warn("support/dovuvi.exe has no version; setup installs it only where no uninstaller is yet");
    return;
  }
  throw std::runtime_error("support/dovuvi.exe is version " + VersionText(ownVersion) + ", older than " +
                           engines.string() + " (" + VersionText(enginesVersion) +
                           "); remove it from support/ or bring the newer one");
}

// Every installed product registers the uninstaller, so every build carries one: the project's own
// from support/, else the one built with setup.exe.
void PlanUninstaller(const PackOptions& options, std::vector<PayloadFile>& payload) {
  fs::path uninstaller = options.uninstallerExe;
  if (uninstaller.empty() && !options.setupExe.empty()) uninstaller = options.setupExe.parent_path() / kUninstallerName;
  for (const PayloadFile& file : payload) {
    if (Lower(file.storedName) != kUninstallerName) continue;
    if (!uninstaller.empty() && fs::is_regular_file(uninstaller))
      RefuseAnOlderOwnUninstaller(options, file.source, uninstaller);
    return;
  }
  if (uninstaller.empty() || !fs::is_regular_file(uninstaller)) {
    if (!options.uninstallerExe.empty())
      throw std::runtime_error("uninstaller " + options.uninstallerExe.string() + " does not exist");
    // Without a setup program the author completes the folder by hand; with one it should be whole.
    if (!options.setupExe.empty())
      options.warn("no dovuvi.exe in support/ or beside the setup program; the installed product cannot be removed");
    return;
  }
  payload.push_back({uninstaller, kUninstallerName, fs::file_size(uninstaller)});
}

void CheckBuildKind(const PackOptions& options) {
  ProjectSettings settings(ReadText(options.projectDir / "setup.inf"));
  bool saysSplit = settings.ReadSetting("BUILDING", "CURRENTBUILD") == kSplitBuild;
  if (options.layout == PayloadLayout::kSplit && !saysSplit)
    options.warn("--split, but setup.inf does not say [BUILDING] CURRENTBUILD=Split Files; setup will look for a "
                 "cabinet build and unpack file1.cab into its work folder instead");
  if (options.layout != PayloadLayout::kSplit && saysSplit)
    options.warn("setup.inf says CURRENTBUILD=Split Files, so setup expects a split build; pack with --split");
}

void CheckStoredNames(const std::vector<PayloadFile>& payload, std::vector<std::string>& problems) {
  std::map<std::string, const PayloadFile*> seen;
  for (const PayloadFile& file : payload) {
    auto [found, added] = seen.emplace(Lower(file.storedName), &file);
    if (!added)
      problems.push_back("two files would be stored as " + file.storedName + " (" + found->second->source.string() +
                         " and " + file.source.string() + "); Windows names ignore case");
  }
}

struct GErrorText {
  GError* error = nullptr;
  ~GErrorText() {
    if (error) g_error_free(error);
  }
  [[noreturn]] void Throw(const std::string& what) {
    throw std::runtime_error(what + ": " + (error ? error->message : "unknown error"));
  }
};

// Reports each file as libgcab compresses it, for payloads big enough to take a while.
struct CabinetProgress {
  const PackOptions* options;
  size_t files, done = 0;
  uintmax_t total, bytes = 0;
  std::map<std::string, uintmax_t> sizes;
};

gboolean OnCabinetFile(GCabFile* file, gpointer data) {
  auto& progress = *static_cast<CabinetProgress*>(data);
  progress.bytes += progress.sizes[gcab_file_get_name(file)];
  progress.options->progress(std::string(kCabinetName) + ": " + std::to_string(++progress.done) + "/" +
                             std::to_string(progress.files) + " files, " + std::to_string(progress.bytes >> 20) + " of " +
                             std::to_string(progress.total >> 20) + " MiB");
  return TRUE;
}

void WriteCabinet(const PackOptions& options, const std::vector<PayloadFile>& payload, const fs::path& out) {
  CabinetProgress progress{&options, payload.size(), 0, 0, 0, {}};
  for (const PayloadFile& file : payload) {
    progress.total += file.size;
    progress.sizes[file.storedName] = file.size;
  }
  if (progress.total > kCabinetLimit)
    throw std::runtime_error("the payload (" + std::to_string(progress.total >> 20) +
                             " MiB) is more than one cabinet holds; pack it with --disk-image");

  GErrorText error;
  GCabCabinet* cabinet = gcab_cabinet_new();
  GCabFolder* folder = gcab_folder_new(GCAB_COMPRESSION_MSZIP);
  for (const PayloadFile& file : payload) {
    GFile* source = g_file_new_for_path(file.source.c_str());
    GCabFile* member = gcab_file_new_with_file(file.storedName.c_str(), source);
    gcab_file_set_attributes(member, GCAB_FILE_ATTRIBUTE_ARCH);
    bool added = gcab_folder_add_file(folder, member, FALSE, nullptr, &error.error);
    g_object_unref(member);
    g_object_unref(source);
    if (!added) error.Throw("cannot add " + file.source.string());
  }
  if (!gcab_cabinet_add_folder(cabinet, folder, &error.error)) error.Throw("cannot build " + out.string());
  g_object_unref(folder);

  GFile* target = g_file_new_for_path(out.c_str());
  GFileOutputStream* stream = g_file_replace(target, nullptr, FALSE, G_FILE_CREATE_NONE, nullptr, &error.error);
  g_object_unref(target);
  bool written = stream && gcab_cabinet_write_simple(cabinet, G_OUTPUT_STREAM(stream),
                                                     progress.total >= kLargePayload ? OnCabinetFile : nullptr,
                                                     &progress, nullptr, &error.error);
  if (stream) {
    written = g_output_stream_close(G_OUTPUT_STREAM(stream), nullptr, written ? &error.error : nullptr) && written;
    g_object_unref(stream);
  }
  g_object_unref(cabinet);
  if (!written) error.Throw("cannot write " + out.string());
}

void WriteDiskImage(const PackOptions& options, const std::vector<PayloadFile>& payload, const WroteFile& wrote) {
  const fs::path folder = options.outDir / kDiskImage;
  fs::create_directories(folder);
  uintmax_t total = 0, bytes = 0;
  for (const PayloadFile& file : payload) total += file.size;
  for (const PayloadFile& file : payload) {
    fs::copy_file(file.source, folder / file.storedName, fs::copy_options::overwrite_existing);
    wrote(folder / file.storedName);
    bytes += file.size;
    if (total >= kLargePayload)
      options.progress(std::string(kDiskImage) + ": " + std::to_string(bytes >> 20) + " of " + std::to_string(total >> 20) + " MiB");
  }
}

// Setup takes a DiskImage1 folder beside it over file1.cab, so an old one from packing the other
// way must not stay behind.
void RemoveOtherLayout(const PackOptions& options) {
  fs::path stale = options.layout == PayloadLayout::kDiskImage ? options.outDir / kCabinetName : options.outDir / kDiskImage;
  if (!fs::exists(stale)) return;
  fs::remove_all(stale);
  options.warn("removed " + stale.string() + " left from packing with another payload layout");
}

}  // namespace

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool IsMarkedUtf8(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  char head[3] = {};
  return in.read(head, 3) && std::string(head, 3) == "\xEF\xBB\xBF";
}

std::vector<PayloadFile> PlanPayload(const PackOptions& options) {
  std::vector<PayloadFile> payload;
  std::vector<std::string> problems;
  PlanRecords(options, payload, problems);
  size_t records = payload.size();
  PlanSupportFiles(options, payload);
  PlanUninstaller(options, payload);
  // Setup's start page unpacks only the support files of a cabinet build; stored first, they come
  // out without decompressing the payload. A split build keeps record order: it logs its files in
  // the order they come out of the cabinet.
  if (options.layout != PayloadLayout::kSplit)
    std::rotate(payload.begin(), payload.begin() + static_cast<std::ptrdiff_t>(records), payload.end());
  CheckStoredNames(payload, problems);
  if (!problems.empty()) {
    std::string message = "the payload cannot be packed:";
    for (const std::string& problem : problems) message += "\n  " + problem;
    throw std::runtime_error(message);
  }
  return payload;
}

void WritePayload(const PackOptions& options, const std::vector<PayloadFile>& payload, const WroteFile& wrote) {
  CheckBuildKind(options);
  RemoveOtherLayout(options);
  if (options.layout == PayloadLayout::kDiskImage) return WriteDiskImage(options, payload, wrote);
  const fs::path out = options.outDir / kCabinetName;
  WriteCabinet(options, payload, out);
  wrote(out);
}

}  // namespace tw::pack
