#include "platform/fake/fake_file_system.h"

#include "platform/fake/fake_system_info.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>

#include <fcntl.h>
#include <sys/stat.h>

#include "platform/text.h"
#include "platform/wildcard.h"

namespace fs = std::filesystem;

namespace tw {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// Splits an absolute Windows path into its drive letter and its components, folding "." and ".."
// (never above the drive root).
bool SplitPath(const std::string& path, char& drive, std::vector<std::string>& parts) {
  if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0])))
    return false;
  drive = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  std::string part;
  auto flush = [&] {
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (size_t i = 2; i < path.size(); ++i) {
    if (IsSeparator(path[i]))
      flush();
    else
      part += path[i];
  }
  flush();
  return true;
}

bool EndsWithSeparator(const std::string& path) { return !path.empty() && IsSeparator(path.back()); }

// Notes the code the system gives for the same failure and answers false.
bool Fail(uint32_t code) { return Failing(code, false); }

// A missing entry as the system tells it: its folder missing too, or only the entry.
uint32_t MissingError(const fs::path& host) {
  std::error_code ec;
  return fs::is_directory(host.parent_path(), ec) ? kErrorFileNotFound : kErrorPathNotFound;
}

}  // namespace

FakeFileSystem::FakeFileSystem() {
  std::string pattern = (fs::temp_directory_path() / "tw-fakefs-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  root_ = pattern;
  fs::create_directories(root_ / "C");
}

FakeFileSystem::~FakeFileSystem() {
  std::error_code ec;
  fs::remove_all(root_, ec);
}

std::string FakeFileSystem::Absolute(const std::string& path) const {
  if (path.size() >= 2 && path[1] == ':') return path;
  std::string base = current_;
  if (!EndsWithSeparator(base)) base += '\\';
  if (!path.empty() && IsSeparator(path[0])) return base.substr(0, 2) + path;
  return base + path;
}

fs::path FakeFileSystem::HostPath(const std::string& path) const {
  char drive = 'C';
  std::vector<std::string> parts;
  if (!SplitPath(Absolute(path), drive, parts)) return root_ / "invalid";
  fs::path host = root_ / std::string(1, drive);
  for (const auto& part : parts) {
    fs::path next = host / part;
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(next, ec)) && fs::is_directory(host, ec)) {
      std::string wanted = Lower(part);
      for (const auto& entry : fs::directory_iterator(host, ec)) {
        if (Lower(entry.path().filename().string()) == wanted) {
          next = entry.path();
          break;
        }
      }
    }
    host = next;
  }
  return host;
}

void FakeFileSystem::MakeFolders(const std::string& path) {
  std::error_code ec;
  fs::create_directories(HostPath(path), ec);
}

bool FakeFileSystem::Exists(const std::string& path) const {
  std::error_code ec;
  fs::path host = HostPath(path);
  if (EndsWithSeparator(path)) return fs::is_directory(host, ec);
  return fs::exists(fs::symlink_status(host, ec));
}

bool FakeFileSystem::IsFolder(const std::string& path) const {
  std::error_code ec;
  return fs::is_directory(HostPath(path), ec);
}

bool FakeFileSystem::MakeFolder(const std::string& path) {
  std::error_code ec;
  fs::path host = HostPath(path);
  if (!fs::is_directory(host.parent_path(), ec)) return Fail(kErrorPathNotFound);
  if (fs::exists(fs::symlink_status(host, ec))) return Fail(kErrorAlreadyExists);
  return fs::create_directory(host, ec) || Fail(kErrorAccessDenied);
}

bool FakeFileSystem::MakePrivateFolder(const std::string& path) {
  if (!MakeFolder(path)) return false;
  std::lock_guard<std::mutex> lock(listsLock_);
  privateFolders.push_back(path);
  return true;
}

std::optional<uint64_t> FakeFileSystem::FileSize(const std::string& path) const {
  std::error_code ec;
  fs::path host = HostPath(path);
  if (!fs::is_regular_file(host, ec)) return std::nullopt;
  return static_cast<uint64_t>(fs::file_size(host, ec));
}

bool FakeFileSystem::RemoveFolder(const std::string& path) {
  std::error_code ec;
  fs::path host = HostPath(path);
  auto status = fs::symlink_status(host, ec);
  if (!fs::exists(status)) return Fail(MissingError(host));
  if (!fs::is_directory(status)) return Fail(kErrorDirectory);
  if (!fs::is_empty(host, ec)) return Fail(kErrorDirNotEmpty);
  return fs::remove(host, ec) || Fail(kErrorAccessDenied);
}

TreeRemoval FakeFileSystem::RemoveTree(const std::string& path, LeftInUse leftInUse) {
  TreeRemoval result;
  std::error_code ec;
  fs::path host = HostPath(path);
  auto status = fs::symlink_status(host, ec);
  if (fs::is_symlink(status) && fs::is_directory(fs::status(host, ec))) {
    result.removed = fs::remove(host, ec);
    return result;
  }
  if (!fs::is_directory(status)) return result;
  std::string folder = path;
  while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
  result.removed = RemoveWalk(folder, 0, leftInUse, result);
  return result;
}

// Symbolic links are entries like files here: fs::remove deletes the link and never its target.
bool FakeFileSystem::RemoveWalk(const std::string& path, int depth, LeftInUse leftInUse, TreeRemoval& result) {
  std::error_code ec;
  fs::path host = HostPath(path);
  if (fs::is_directory(fs::symlink_status(host, ec))) {
    if (depth >= kMaxTreeDepth) {
      ++result.refused;
      return false;
    }
    const int scheduledBefore = result.atRestart;
    bool all = true;
    for (const auto& child : fs::directory_iterator(host, ec))
      all = RemoveWalk(path + "\\" + child.path().filename().string(), depth + 1, leftInUse, result) && all;
    if (all) return fs::remove(host, ec);
    if (result.atRestart > scheduledBefore && RemoveAtRestart(path)) ++result.atRestart;
    return false;
  }
  auto attributes = Attributes(path);
  if (attributes && (*attributes & kAttrReadOnly)) SetAttributes(path, *attributes & ~kAttrReadOnly);
  switch (Remove(path)) {
    case Removal::kRemoved:
    case Removal::kMissing:
      return true;
    case Removal::kInUse:
      ++result.inUse;
      if (leftInUse == LeftInUse::kAtRestart && RemoveAtRestart(path)) ++result.atRestart;
      return false;
    case Removal::kRefused:
      break;
  }
  ++result.refused;
  return false;
}

bool FakeFileSystem::Copy(const std::string& from, const std::string& to, bool replace) {
  std::error_code ec;
  fs::path src = HostPath(from), dst = HostPath(to);
  if (!fs::exists(src, ec)) return Fail(MissingError(src));
  if (!fs::is_regular_file(src, ec) || fs::is_directory(dst, ec)) return Fail(kErrorAccessDenied);
  if (!fs::is_directory(dst.parent_path(), ec)) return Fail(kErrorPathNotFound);
  if (fs::exists(dst, ec)) {
    if (!replace) return Fail(kErrorFileExists);
    auto attributes = Attributes(to);
    if (attributes && (*attributes & kAttrReadOnly)) return Fail(kErrorAccessDenied);
  }
  return fs::copy_file(src, dst, fs::copy_options::overwrite_existing, ec) || Fail(kErrorAccessDenied);
}

bool FakeFileSystem::Move(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::path src = HostPath(from), dst = HostPath(to);
  if (!fs::exists(fs::symlink_status(src, ec))) return Fail(MissingError(src));
  if (!fs::is_directory(dst.parent_path(), ec)) return Fail(kErrorPathNotFound);
  if (fs::exists(fs::symlink_status(dst, ec))) return Fail(kErrorAlreadyExists);
  fs::rename(src, dst, ec);
  return !ec || Fail(kErrorAccessDenied);
}

bool FakeFileSystem::Replace(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::path src = HostPath(from), dst = HostPath(to);
  if (!fs::exists(fs::symlink_status(src, ec))) return Fail(MissingError(src));
  if (!fs::is_directory(dst.parent_path(), ec)) return Fail(kErrorPathNotFound);
  if (!fs::is_regular_file(fs::symlink_status(src, ec)) || fs::is_directory(dst, ec)) return Fail(kErrorAccessDenied);
  auto attributes = Attributes(to);
  if (attributes && (*attributes & kAttrReadOnly)) return Fail(kErrorAccessDenied);
  fs::rename(src, dst, ec);
  return !ec || Fail(kErrorAccessDenied);
}

Removal FakeFileSystem::Remove(const std::string& path) {
  std::error_code ec;
  fs::path host = HostPath(path);
  auto status = fs::symlink_status(host, ec);
  if (!fs::exists(status)) return Failing(MissingError(host), Removal::kMissing);
  if (IsHeld(path)) return Failing(kErrorSharingViolation, Removal::kInUse);
  if (IsUndeletable(path)) return Failing(kErrorAccessDenied, Removal::kRefused);
  auto attributes = Attributes(path);
  if (fs::is_directory(status) || (attributes && (*attributes & kAttrReadOnly)))
    return Failing(kErrorAccessDenied, Removal::kRefused);
  return fs::remove(host, ec) ? Removal::kRemoved : Failing(kErrorAccessDenied, Removal::kRefused);
}

void FakeFileSystem::Hold(const std::string& path, bool held) {
  std::lock_guard<std::mutex> lock(heldLock_);
  const fs::path host = HostPath(path);
  if (held)
    held_.insert(host);
  else
    held_.erase(held_.find(host));
}

void FakeFileSystem::DenyRemoval(const std::string& path, bool denied) {
  std::lock_guard<std::mutex> lock(heldLock_);
  if (denied)
    undeletable_.insert(HostPath(path));
  else
    undeletable_.erase(HostPath(path));
}

bool FakeFileSystem::IsUndeletable(const std::string& path) const {
  std::lock_guard<std::mutex> lock(heldLock_);
  return undeletable_.count(HostPath(path)) > 0;
}

bool FakeFileSystem::IsHeld(const std::string& path) const {
  std::lock_guard<std::mutex> lock(heldLock_);
  return held_.count(HostPath(path)) > 0;
}

bool FakeFileSystem::RemoveAtRestart(const std::string& path) {
  if (!Exists(path)) return Fail(MissingError(HostPath(path)));
  if (!restartRemovalAllowed) return Fail(kErrorAccessDenied);
  std::lock_guard<std::mutex> lock(listsLock_);
  removeAtRestart.push_back(path);
  return true;
}

bool FakeFileSystem::HardLink(const std::string& existing, const std::string& link) {
  std::error_code ec;
  const fs::path host = HostPath(existing), target = HostPath(link);
  if (!fs::exists(fs::symlink_status(host, ec))) return Fail(MissingError(host));
  if (!fs::is_regular_file(fs::symlink_status(host, ec))) return Fail(kErrorAccessDenied);
  if (fs::exists(fs::symlink_status(target, ec))) return Fail(kErrorAlreadyExists);
  fs::create_hard_link(host, target, ec);
  return !ec || Fail(kErrorAccessDenied);
}

bool FakeFileSystem::ReplaceAtRestart(const std::string& from, const std::string& to) {
  if (!Exists(from)) return Fail(MissingError(HostPath(from)));
  if (!restartRemovalAllowed) return Fail(kErrorAccessDenied);
  replaceAtRestart.emplace_back(from, to);
  return true;
}

// Read-only is the absence of the owner's write bit, checked here by hand because tests may run as
// root, whom the host never refuses. Hidden and system are not modelled.
std::optional<uint32_t> FakeFileSystem::Attributes(const std::string& path) const {
  std::error_code ec;
  fs::path host = HostPath(path);
  auto status = fs::symlink_status(host, ec);
  if (!fs::exists(status)) return std::nullopt;
  uint32_t attributes = 0;
  if (fs::is_symlink(status)) {
    attributes |= kAttrReparsePoint;
    status = fs::status(host, ec);
  }
  if (fs::is_directory(status)) attributes |= kAttrFolder;
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) attributes |= kAttrReadOnly;
  if (!(attributes & kAttrFolder)) attributes |= kAttrArchive;
  return attributes;
}

bool FakeFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  std::error_code ec;
  fs::path host = HostPath(path);
  if (!fs::exists(host, ec)) return Fail(MissingError(host));
  fs::permissions(host, fs::perms::owner_write,
                  (attributes & kAttrReadOnly) ? fs::perm_options::remove : fs::perm_options::add, ec);
  return !ec || Fail(kErrorAccessDenied);
}

std::vector<std::string> FakeFileSystem::Find(const std::string& pattern) const {
  std::vector<std::string> names;
  size_t cut = pattern.find_last_of("\\/");
  std::string folder = cut == std::string::npos ? current_ : pattern.substr(0, cut + 1);
  std::string mask = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  std::error_code ec;
  fs::path host = HostPath(folder);
  if (!fs::is_directory(host, ec)) return names;
  for (const auto& entry : fs::directory_iterator(host, ec)) {
    std::string name = entry.path().filename().string();
    if (WildcardMatch(mask, name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> FakeFileSystem::ReadText(const std::string& path) const {
  std::optional<std::string> bytes = ReadAll(path);
  if (!bytes) return std::nullopt;
  return FakeStoredText(*bytes);
}

std::optional<std::string> FakeFileSystem::ReadAll(const std::string& path) const {
  auto in = OpenRead(path);
  if (!in) return std::nullopt;
  std::ostringstream data;
  data << in->rdbuf();
  return data.str();
}

bool FakeFileSystem::ParentExists(const std::string& path) const {
  std::error_code ec;
  return fs::is_directory(HostPath(path).parent_path(), ec);
}

// Whether a file may be created or written at path now; when not, the system's reason is noted.
bool FakeFileSystem::MayWrite(const std::string& path) const {
  auto attributes = Attributes(path);
  if (attributes && (*attributes & (kAttrReadOnly | kAttrFolder))) return Fail(kErrorAccessDenied);
  return ParentExists(path) || Fail(kErrorPathNotFound);
}

bool FakeFileSystem::WriteFile(const std::string& path, const std::string& data, std::ios::openmode mode) {
  if (!MayWrite(path)) return false;
  std::ofstream out(HostPath(path), std::ios::binary | mode);
  return (out && out.write(data.data(), static_cast<std::streamsize>(data.size())).good()) || Fail(kErrorWriteFault);
}

bool FakeFileSystem::WriteAll(const std::string& path, const std::string& data) {
  return WriteFile(path, data, std::ios::trunc);
}

bool FakeFileSystem::Append(const std::string& path, const std::string& data) {
  return WriteFile(path, data, std::ios::app);
}

std::unique_ptr<std::istream> FakeFileSystem::OpenRead(const std::string& path) const {
  std::error_code ec;
  fs::path host = HostPath(path);
  if (!fs::exists(host, ec)) return Failing(MissingError(host), nullptr);
  if (fs::is_directory(host, ec)) return Failing(kErrorAccessDenied, nullptr);
  auto in = std::make_unique<std::ifstream>(host, std::ios::binary);
  if (!*in) return Failing(kErrorAccessDenied, nullptr);
  return in;
}

std::unique_ptr<std::ostream> FakeFileSystem::OpenWrite(const std::string& path) {
  if (!MayWrite(path)) return nullptr;
  auto out = std::make_unique<std::ofstream>(HostPath(path), std::ios::binary | std::ios::trunc);
  if (!*out) return Failing(kErrorAccessDenied, nullptr);
  return out;
}

namespace {

// Kept open like the real one; each Write is flushed before it returns.
class FakeAppendFile : public AppendFile {
 public:
  // Held open as Windows holds an appended log: shared for reading, so nobody deletes it meanwhile.
  FakeAppendFile(FakeFileSystem& files, std::string path, std::ofstream out)
      : files_(files), path_(std::move(path)), out_(std::move(out)) {
    files_.Hold(path_, true);
  }
  ~FakeAppendFile() override { files_.Hold(path_, false); }
  bool Write(const std::string& data) override {
    return out_.write(data.data(), static_cast<std::streamsize>(data.size())).flush().good() || Fail(kErrorWriteFault);
  }

 private:
  FakeFileSystem& files_;
  std::string path_;
  std::ofstream out_;
};

}  // namespace

std::unique_ptr<AppendFile> FakeFileSystem::OpenAppend(const std::string& path) {
  if (!MayWrite(path)) return nullptr;
  std::ofstream out(HostPath(path), std::ios::binary | std::ios::app);
  if (!out) return Failing(kErrorAccessDenied, nullptr);
  return std::make_unique<FakeAppendFile>(*this, path, std::move(out));
}

namespace {

// The stored time is local time; creation time is not kept on the host, and access is left alone.
bool SetHostTime(const fs::path& host, uint16_t dosDate, uint16_t dosTime) {
  std::tm local = {};
  local.tm_year = (dosDate >> 9) + 80;
  local.tm_mon = ((dosDate >> 5) & 0x0F) - 1;
  local.tm_mday = dosDate & 0x1F;
  local.tm_hour = dosTime >> 11;
  local.tm_min = (dosTime >> 5) & 0x3F;
  local.tm_sec = (dosTime & 0x1F) * 2;
  local.tm_isdst = -1;
  std::time_t when = std::mktime(&local);
  if (when == static_cast<std::time_t>(-1)) return false;
  timespec times[2] = {{0, UTIME_OMIT}, {when, 0}};
  return utimensat(AT_FDCWD, host.c_str(), times, 0) == 0;
}

class FakeStampedFile : public StampedFile {
 public:
  FakeStampedFile(FakeFileSystem& files, std::string path, const FileStamp& stamp, std::ofstream out)
      : files_(files), path_(std::move(path)), stamp_(stamp), out_(std::move(out)) {}
  bool Write(const char* data, size_t size) override {
    ok_ = ok_ && (out_.write(data, static_cast<std::streamsize>(size)) || Fail(kErrorWriteFault));
    return ok_;
  }
  bool Close() override {
    if (!out_.is_open()) return ok_;
    out_.close();
    ok_ = ok_ && !out_.fail();
    SetHostTime(files_.HostPath(path_), stamp_.dosDate, stamp_.dosTime);
    files_.SetAttributes(path_, stamp_.attributes);
    return ok_;
  }
  // Moved by name; the host keeps the open stream working across the rename.
  bool MoveTo(const std::string& destination, bool replace) override {
    bool moved = out_.is_open() && ok_ && out_.flush() &&
                 (replace ? files_.Replace(path_, destination) : files_.Move(path_, destination));
    if (moved) path_ = destination;
    return moved;
  }

 private:
  FakeFileSystem& files_;
  std::string path_;
  FileStamp stamp_;
  std::ofstream out_;
  bool ok_ = true;
};

}  // namespace

std::unique_ptr<StampedFile> FakeFileSystem::CreateStamped(const std::string& path, const FileStamp& stamp) {
  auto attributes = Attributes(path);
  if (attributes && (*attributes & kAttrFolder)) return Failing(kErrorAccessDenied, nullptr);
  if (!ParentExists(path)) return Failing(kErrorPathNotFound, nullptr);
  if (attributes) SetAttributes(path, kAttrNormal);  // a leftover read-only file is written over
  std::ofstream out(HostPath(path), std::ios::binary | std::ios::trunc);
  if (!out) return Failing(kErrorAccessDenied, nullptr);
  return std::make_unique<FakeStampedFile>(*this, path, stamp, std::move(out));
}

std::optional<std::string> FakeFileSystem::FileVersion(const std::string& path) const {
  std::error_code ec;
  fs::path host = HostPath(path);
  if (!fs::is_regular_file(host, ec)) return std::nullopt;
  auto found = versions_.find(host);
  if (found != versions_.end()) return found->second;
  if (contentVersions_.empty()) return std::nullopt;
  std::optional<std::string> bytes = ReadAll(path);
  auto byContent = bytes ? contentVersions_.find(*bytes) : contentVersions_.end();
  if (byContent == contentVersions_.end()) return std::nullopt;
  return byContent->second;
}

void FakeFileSystem::SetFileVersion(const std::string& path, const std::string& version) {
  versions_[HostPath(path)] = version;
}

void FakeFileSystem::SetContentVersion(const std::string& bytes, const std::string& version) {
  contentVersions_[bytes] = version;
}

bool FakeFileSystem::SetCurrentFolder(const std::string& path) {
  if (!IsFolder(path)) return Fail(MissingError(HostPath(path)));
  current_ = Absolute(path);
  return true;
}

std::string FakeFileSystem::CurrentFolder() const {
  std::string folder = current_;
  if (folder.size() > 3 && EndsWithSeparator(folder)) folder.pop_back();
  return folder;
}

}  // namespace tw
