// Start-up of a single-file setup. Nothing in the program's file is written anywhere or parsed
// before its digest matched; the payload, too large to hold, is checked on its own thread.
#include "app/single_file.h"

#include <algorithm>
#include <memory>
#include <sstream>

#include "platform/text.h"
#include "project/language_file.h"

namespace tw {

const char kDamagedSetupMessage[] = "The setup program is damaged or incomplete. Please download it again.";

std::string DamagedSetupText(const FileSystem& files, const std::string& checkedLanguageFile) {
  if (checkedLanguageFile.empty()) return kDamagedSetupMessage;
  const std::string text = LanguageFile::Load(files, checkedLanguageFile).Text("SetupDamaged", "0");
  return text.empty() ? kDamagedSetupMessage : text;
}

namespace {

constexpr char kDefaultLanguageFile[] = "language.lan";

// Small files are held whole while checked, so a damaged size cannot make us allocate the disk.
constexpr uint64_t kMaxSmallFileSize = 256u << 20;

// Each part of a stored name must be a plain name, so no file lands outside folder.
bool IsPlainRelativeName(const std::string& name) {
  size_t start = 0;
  while (true) {
    const size_t end = name.find('\\', start);
    if (!IsPlainFileName(name.substr(start, end == std::string::npos ? std::string::npos : end - start))) return false;
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

// Makes the folders a relative name passes through.
bool MakeParents(FileSystem& files, const std::string& folder, const std::string& name) {
  for (size_t slash = name.find('\\'); slash != std::string::npos; slash = name.find('\\', slash + 1)) {
    const std::string parent = folder + name.substr(0, slash);
    if (!files.IsFolder(parent) && !files.MakeFolder(parent)) return false;
  }
  return true;
}

// Reads, checks and writes one small file; the reason it failed, or empty. The thread's error is
// cleared first, so it holds a reason only when writing the file failed.
std::string TakeSmallFile(FileSystem& files, std::istream& in, const AppendedFile& file, const std::string& folder) {
  ClearSystemError();
  if (!IsPlainRelativeName(file.name)) return "name";
  if (file.size > kMaxSmallFileSize) return "size";
  std::string data(static_cast<size_t>(file.size), '\0');
  in.clear();
  in.seekg(static_cast<std::streamoff>(file.offset));
  if (!data.empty() && !in.read(&data[0], static_cast<std::streamsize>(data.size()))) return "short";
  std::istringstream held(data);
  if (HashRange(held, 0, data.size()) != file.sha256) return "digest";
  if (!MakeParents(files, folder, file.name) || !files.WriteAll(folder + file.name, data)) return "write";
  return "";
}

// The kind of damage is its own field, as reason= is the system's text for error=.
AppendedSetup Damaged(Trace& trace, const std::string& damage, const std::string& name = "",
                      AppendedSetup setup = {}, SystemError error = {}) {
  trace.Write("startup", "single-file", {{"result", "damaged"}, {"damage", damage}, {"file", name}}, error);
  setup.outcome = AppendedSetup::kDamaged;
  setup.error = error;
  return setup;
}

// The default language file first, so that damage found later is told in the product's language.
std::vector<AppendedFile> LanguageFirst(std::vector<AppendedFile> files) {
  std::stable_partition(files.begin(), files.end(),
                        [](const AppendedFile& file) { return !file.head && !file.payload && file.name == kDefaultLanguageFile; });
  return files;
}

}  // namespace

AppendedSetup TakeAppendedFiles(FileSystem& files, const std::string& programPath, const std::string& folder,
                                Trace& trace) {
  if (programPath.empty()) return {};
  const std::optional<uint64_t> size = files.FileSize(programPath);
  std::unique_ptr<std::istream> in = files.OpenRead(programPath);
  if (!size || !in) return {};
  const std::optional<uint64_t> dataEnd = AppendedDataEnd(*in, *size);
  // A signed single file cut short loses the certificate table its header still names.
  if (!dataEnd) return ReadStamp(*in) ? Damaged(trace, "certificate-table") : AppendedSetup{};
  const TrailerResult read = ReadTrailer(*in, *dataEnd);
  if (read.status == TrailerRead::kNone) return {};
  if (read.status == TrailerRead::kDamaged) return Damaged(trace, read.reason);
  ClearSystemError();
  if (!files.IsFolder(folder) && !files.MakeFolder(folder)) return Damaged(trace, "folder", "", {}, LastSystemError());
  AppendedSetup setup;
  int small = 0;
  for (const AppendedFile& file : LanguageFirst(read.trailer.files)) {
    if (file.head) {
      std::optional<Sha256> digest = HashRange(*in, file.offset, file.size);
      if (digest != file.sha256) return Damaged(trace, "digest", file.name + " (head)", setup);
      setup.cabinetHeadSize = file.size;
      continue;
    }
    if (file.payload) {
      setup.cabinetOffset = file.offset;
      setup.cabinetSize = file.size;
      setup.cabinetSha256 = file.sha256;
      continue;
    }
    const std::string failed = TakeSmallFile(files, *in, file, folder);
    if (!failed.empty()) return Damaged(trace, failed, file.name, setup, LastSystemError());
    if (file.name == kDefaultLanguageFile) setup.languageFile = folder + file.name;
    ++small;
  }
  setup.outcome = AppendedSetup::kTaken;
  trace.Write("startup", "single-file",
              {{"result", "ok"}, {"files", std::to_string(small)}, {"cabinet", std::to_string(setup.cabinetSize)},
               {"checked-start", std::to_string(setup.cabinetHeadSize)}});
  return setup;
}

PayloadCheck::PayloadCheck(const FileSystem& files, std::string programPath, const AppendedSetup& setup, Trace& trace)
    : trace_(trace), thread_([this, &files, path = std::move(programPath), setup] { Run(files, path, setup); }) {}

PayloadCheck::~PayloadCheck() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void PayloadCheck::Run(const FileSystem& files, const std::string& programPath, AppendedSetup setup) {
  ClearSystemError();
  std::unique_ptr<std::istream> in = files.OpenRead(programPath);
  if (!in) openError_ = LastSystemError();
  const bool matches = in && HashRange(*in, setup.cabinetOffset, setup.cabinetSize, &stop_) == setup.cabinetSha256;
  state_ = matches ? kMatches : kDiffers;
}

bool PayloadCheck::Wait(Ui& ui) {
  if (thread_.joinable()) {
    ui.RunAndPump([this] { thread_.join(); });
    trace_.Write("startup", "payload-check", {{"result", state_ == kMatches ? "ok" : "damaged"}}, openError_);
  }
  return state_ == kMatches;
}

}  // namespace tw
