#include "platform/fake/memory_file_system.h"

#include <algorithm>
#include <cctype>
#include <sstream>
#include <vector>

#include "platform/fake/fake_system_info.h"
#include "platform/system_error.h"
#include "platform/text.h"
#include "platform/wildcard.h"

namespace tw {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }
bool EndsWithSeparator(const std::string& path) { return !path.empty() && IsSeparator(path.back()); }

std::string ParentKey(const std::string& key) {
  const size_t cut = key.rfind('\\');
  return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

// The name an entry is listed under: the path's last part as it was written.
std::string NameOf(std::string path) {
  while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
  return LastComponent(path);
}

// Notes the code the system gives for the same failure and answers false, as the fake on disk does.
bool Fail(uint32_t code) { return Failing(code, false); }

// Whether key lies below folder (at any depth).
bool Below(const std::string& key, const std::string& folder) {
  return key.size() > folder.size() + 1 && key.compare(0, folder.size(), folder) == 0 && key[folder.size()] == '\\';
}

// A stream whose bytes become the file's content when it is let go, as a closed file's would.
class CommittingStream : public std::ostream {
 public:
  CommittingStream(MemoryFileSystem& files, std::string path)
      : std::ostream(nullptr), files_(files), path_(std::move(path)) {
    rdbuf(&buffer_);
  }
  ~CommittingStream() override { files_.WriteAll(path_, buffer_.str()); }

 private:
  std::stringbuf buffer_;
  MemoryFileSystem& files_;
  std::string path_;
};

class MemoryAppendFile : public AppendFile {
 public:
  MemoryAppendFile(MemoryFileSystem& files, std::string path) : files_(files), path_(std::move(path)) {}
  bool Write(const std::string& data) override { return files_.Append(path_, data); }

 private:
  MemoryFileSystem& files_;
  std::string path_;
};

// Written whole at the close; the stamp's attributes are kept, its times are not modelled.
class MemoryStampedFile : public StampedFile {
 public:
  MemoryStampedFile(MemoryFileSystem& files, std::string path, uint32_t attributes)
      : files_(files), path_(std::move(path)), attributes_(attributes) {}
  ~MemoryStampedFile() override {
    if (open_) files_.WriteAll(path_, data_);
  }
  bool Write(const char* data, size_t size) override {
    if (!open_) return Fail(kErrorWriteFault);  // as a write to a closed file fails on disk
    data_.append(data, size);
    return true;
  }
  bool Close() override {
    if (!open_) return ok_;
    open_ = false;
    ok_ = files_.WriteAll(path_, data_) && files_.SetAttributes(path_, attributes_);
    return ok_;
  }
  bool MoveTo(const std::string& destination, bool replace) override {
    const bool moved = open_ && (replace ? files_.Replace(path_, destination) : files_.Move(path_, destination));
    if (moved) path_ = destination;
    return moved;
  }

 private:
  MemoryFileSystem& files_;
  std::string path_;
  uint32_t attributes_;
  std::string data_;
  bool open_ = true;
  bool ok_ = true;
};

}  // namespace

MemoryFileSystem::MemoryFileSystem() { entries_["c:"] = Entry("C:", true); }

std::string MemoryFileSystem::Absolute(const std::string& path) const {
  if (path.size() >= 2 && path[1] == ':') return path;
  const std::string base = EndsWithSeparator(current_) ? current_ : current_ + "\\";
  return !path.empty() && IsSeparator(path[0]) ? base.substr(0, 2) + path : base + path;
}

std::optional<std::string> MemoryFileSystem::Key(const std::string& path) const {
  const std::string full = Absolute(path);
  if (full.size() < 2 || full[1] != ':' || !std::isalpha(static_cast<unsigned char>(full[0]))) return std::nullopt;
  std::vector<std::string> parts;
  std::string part;
  auto flush = [&] {
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(Lower(part));
    }
    part.clear();
  };
  for (size_t i = 2; i < full.size(); ++i) {
    if (IsSeparator(full[i]))
      flush();
    else
      part += full[i];
  }
  flush();
  std::string key(1, static_cast<char>(std::tolower(static_cast<unsigned char>(full[0]))));
  key += ':';
  for (const std::string& each : parts) key += "\\" + each;
  return key;
}

const MemoryFileSystem::Entry* MemoryFileSystem::Lookup(const std::string& key) const {
  auto found = entries_.find(key);
  return found == entries_.end() ? nullptr : &found->second;
}

bool MemoryFileSystem::HasFolder(const std::string& key) const {
  const Entry* entry = Lookup(key);
  return entry && entry->folder;
}

uint32_t MemoryFileSystem::MissingError(const std::string& key) const {
  return HasFolder(ParentKey(key)) ? kErrorFileNotFound : kErrorPathNotFound;
}

bool MemoryFileSystem::Exists(const std::string& path) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  const Entry* entry = key ? Lookup(*key) : nullptr;
  return entry && (entry->folder || !EndsWithSeparator(path));
}

bool MemoryFileSystem::IsFolder(const std::string& path) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  return key && HasFolder(*key);
}

bool MemoryFileSystem::MakeFolder(const std::string& path) {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  if (!key) return Fail(kErrorInvalidName);
  if (!HasFolder(ParentKey(*key))) return Fail(kErrorPathNotFound);
  if (Lookup(*key)) return Fail(kErrorAlreadyExists);
  entries_[*key] = Entry(NameOf(path), true);
  return true;
}

void MemoryFileSystem::MakeFolders(const std::string& path) {
  std::lock_guard<std::mutex> hold(lock_);
  const std::string full = Absolute(path) + "\\";
  for (size_t cut = full.find_first_of("\\/"); cut != std::string::npos; cut = full.find_first_of("\\/", cut + 1)) {
    const std::string folder = full.substr(0, cut);
    auto key = Key(folder);
    if (key && !Lookup(*key)) entries_[*key] = Entry(NameOf(folder), true);
  }
}

bool MemoryFileSystem::RemoveFolder(const std::string& path) {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  if (!key) return Fail(kErrorInvalidName);
  const Entry* entry = Lookup(*key);
  if (!entry) return Fail(MissingError(*key));
  if (!entry->folder) return Fail(kErrorDirectory);
  auto next = entries_.upper_bound(*key);
  if (next != entries_.end() && Below(next->first, *key)) return Fail(kErrorDirNotEmpty);
  entries_.erase(*key);
  return true;
}

TreeRemoval MemoryFileSystem::RemoveTree(const std::string& path, LeftInUse) {
  std::lock_guard<std::mutex> hold(lock_);
  TreeRemoval result;
  auto key = Key(path);
  if (!key || !HasFolder(*key)) return result;
  auto end = entries_.upper_bound(*key);
  while (end != entries_.end() && Below(end->first, *key)) ++end;
  entries_.erase(entries_.find(*key), end);
  result.removed = true;
  return result;
}

bool MemoryFileSystem::Copy(const std::string& from, const std::string& to, bool replace) {
  std::lock_guard<std::mutex> hold(lock_);
  auto source = Key(from), target = Key(to);
  if (!source || !target) return Fail(kErrorInvalidName);
  const Entry* file = Lookup(*source);
  const Entry* there = Lookup(*target);
  if (!file) return Fail(MissingError(*source));
  if (file->folder || (there && there->folder)) return Fail(kErrorAccessDenied);
  if (!HasFolder(ParentKey(*target))) return Fail(kErrorPathNotFound);
  if (there && !replace) return Fail(kErrorFileExists);
  if (there && there->readOnly) return Fail(kErrorAccessDenied);
  Entry copy = *file;
  copy.name = NameOf(to);
  entries_[*target] = copy;
  return true;
}

bool MemoryFileSystem::MoveEntry(const std::string& from, const std::string& to, bool replace) {
  auto source = Key(from), target = Key(to);
  if (!source || !target) return Fail(kErrorInvalidName);
  const Entry* entry = Lookup(*source);
  const Entry* there = Lookup(*target);
  if (!entry) return Fail(MissingError(*source));
  if (*source == *target) return Fail(kErrorAlreadyExists);
  if (!HasFolder(ParentKey(*target))) return Fail(kErrorPathNotFound);
  if (there && !replace) return Fail(kErrorAlreadyExists);
  if (there && (there->folder || there->readOnly || entry->folder)) return Fail(kErrorAccessDenied);
  // A folder cannot go inside itself; the system refuses that as it refuses a name in use.
  if (Below(*target, *source)) return Fail(kErrorAccessDenied);
  // A folder takes everything below it along.
  std::vector<std::pair<std::string, Entry>> moved;
  for (auto it = entries_.find(*source); it != entries_.end() && (it->first == *source || Below(it->first, *source));)
    moved.emplace_back(*target + it->first.substr(source->size()), it->second), it = entries_.erase(it);
  moved.front().second.name = NameOf(to);
  for (auto& [key, value] : moved) entries_[key] = std::move(value);
  return true;
}

bool MemoryFileSystem::Move(const std::string& from, const std::string& to) {
  std::lock_guard<std::mutex> hold(lock_);
  return MoveEntry(from, to, false);
}

bool MemoryFileSystem::Replace(const std::string& from, const std::string& to) {
  std::lock_guard<std::mutex> hold(lock_);
  auto source = Key(from);
  const Entry* entry = source ? Lookup(*source) : nullptr;
  if (entry && entry->folder) return Fail(kErrorAccessDenied);
  return MoveEntry(from, to, true);
}

// A copy stands in for the second name: nothing here changes a file through one name and reads it
// through the other.
bool MemoryFileSystem::HardLink(const std::string& existing, const std::string& link) {
  std::lock_guard<std::mutex> hold(lock_);
  auto source = Key(existing), target = Key(link);
  if (!source || !target) return Fail(kErrorInvalidName);
  const Entry* entry = Lookup(*source);
  if (!entry) return Fail(MissingError(*source));
  if (entry->folder) return Fail(kErrorAccessDenied);
  if (Lookup(*target)) return Fail(kErrorAlreadyExists);
  if (!HasFolder(ParentKey(*target))) return Fail(kErrorAccessDenied);
  Entry copy = *entry;
  copy.name = NameOf(link);
  entries_[*target] = std::move(copy);
  return true;
}

Removal MemoryFileSystem::Remove(const std::string& path) {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  if (!key) return Failing(kErrorInvalidName, Removal::kRefused);
  const Entry* entry = Lookup(*key);
  if (!entry) return Failing(MissingError(*key), Removal::kMissing);
  if (entry->folder || entry->readOnly) return Failing(kErrorAccessDenied, Removal::kRefused);
  entries_.erase(*key);
  return Removal::kRemoved;
}

std::optional<uint64_t> MemoryFileSystem::FileSize(const std::string& path) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  const Entry* entry = key ? Lookup(*key) : nullptr;
  if (!entry || entry->folder) return std::nullopt;
  return entry->data.size();
}

std::optional<uint32_t> MemoryFileSystem::Attributes(const std::string& path) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  const Entry* entry = key ? Lookup(*key) : nullptr;
  if (!entry) return std::nullopt;
  return (entry->folder ? kAttrFolder : kAttrArchive) | (entry->readOnly ? kAttrReadOnly : 0u);
}

bool MemoryFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  if (!key) return Fail(kErrorInvalidName);
  auto found = entries_.find(*key);
  if (found == entries_.end()) return Fail(MissingError(*key));
  found->second.readOnly = (attributes & kAttrReadOnly) != 0;
  return true;
}

std::vector<std::string> MemoryFileSystem::Find(const std::string& pattern) const {
  std::lock_guard<std::mutex> hold(lock_);
  std::vector<std::string> names;
  const size_t cut = pattern.find_last_of("\\/");
  auto folder = Key(cut == std::string::npos ? current_ : pattern.substr(0, cut + 1));
  const std::string mask = cut == std::string::npos ? pattern : pattern.substr(cut + 1);
  if (!folder || !HasFolder(*folder)) return names;
  for (auto it = entries_.upper_bound(*folder); it != entries_.end() && Below(it->first, *folder); ++it)
    if (it->first.find('\\', folder->size() + 1) == std::string::npos && WildcardMatch(mask, it->second.name))
      names.push_back(it->second.name);
  std::sort(names.begin(), names.end());
  return names;
}

std::optional<std::string> MemoryFileSystem::ReadText(const std::string& path) const {
  std::optional<std::string> bytes = ReadAll(path);
  if (!bytes) return std::nullopt;
  return FakeStoredText(*bytes);
}

std::optional<std::string> MemoryFileSystem::ReadAll(const std::string& path) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  if (!key) return Failing(kErrorInvalidName, std::nullopt);
  const Entry* entry = Lookup(*key);
  if (!entry) return Failing(MissingError(*key), std::nullopt);
  if (entry->folder) return Failing(kErrorAccessDenied, std::nullopt);
  return entry->data;
}

bool MemoryFileSystem::Store(const std::string& path, const std::string& data, bool append) {
  auto key = Key(path);
  if (!key) return Fail(kErrorInvalidName);
  auto found = entries_.find(*key);
  if (found != entries_.end() && (found->second.folder || found->second.readOnly)) return Fail(kErrorAccessDenied);
  if (found == entries_.end()) {
    if (!HasFolder(ParentKey(*key))) return Fail(kErrorPathNotFound);
    found = entries_.emplace(*key, Entry(NameOf(path), false)).first;
  }
  Entry& entry = found->second;
  if (append)
    entry.data += data;
  else
    entry.data = data;
  return true;
}

bool MemoryFileSystem::WriteAll(const std::string& path, const std::string& data) {
  std::lock_guard<std::mutex> hold(lock_);
  return Store(path, data, false);
}

bool MemoryFileSystem::Append(const std::string& path, const std::string& data) {
  std::lock_guard<std::mutex> hold(lock_);
  return Store(path, data, true);
}

std::unique_ptr<std::istream> MemoryFileSystem::OpenRead(const std::string& path) const {
  auto data = ReadAll(path);
  if (!data) return nullptr;
  return std::make_unique<std::istringstream>(std::move(*data));
}

std::unique_ptr<std::ostream> MemoryFileSystem::OpenWrite(const std::string& path) {
  if (!WriteAll(path, "")) return nullptr;
  return std::make_unique<CommittingStream>(*this, path);
}

std::unique_ptr<AppendFile> MemoryFileSystem::OpenAppend(const std::string& path) {
  if (!Append(path, "")) return nullptr;
  return std::make_unique<MemoryAppendFile>(*this, path);
}

std::unique_ptr<StampedFile> MemoryFileSystem::CreateStamped(const std::string& path, const FileStamp& stamp) {
  {
    // A leftover read-only file is written over, as the real one is.
    std::lock_guard<std::mutex> hold(lock_);
    auto key = Key(path);
    auto found = key ? entries_.find(*key) : entries_.end();
    if (found != entries_.end() && !found->second.folder) found->second.readOnly = false;
    if (!Store(path, "", false)) return nullptr;
  }
  return std::make_unique<MemoryStampedFile>(*this, path, stamp.attributes);
}

std::string MemoryFileSystem::CurrentFolder() const {
  std::lock_guard<std::mutex> hold(lock_);
  std::string folder = current_;
  if (folder.size() > 3 && EndsWithSeparator(folder)) folder.pop_back();
  return folder;
}

bool MemoryFileSystem::SetCurrentFolder(const std::string& folder) {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(folder);
  if (!key) return Fail(kErrorInvalidName);
  if (!HasFolder(*key)) return Fail(MissingError(*key));
  if (folder.size() >= 2 && folder[1] == ':')
    current_ = folder;
  else
    current_ = (EndsWithSeparator(current_) ? current_ : current_ + "\\") + folder;
  return true;
}

std::optional<std::string> MemoryFileSystem::FileVersion(const std::string& path) const {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  const Entry* entry = key ? Lookup(*key) : nullptr;
  if (!entry || entry->folder) return std::nullopt;
  return entry->version;
}

void MemoryFileSystem::SetFileVersion(const std::string& path, const std::string& version) {
  std::lock_guard<std::mutex> hold(lock_);
  auto key = Key(path);
  auto found = key ? entries_.find(*key) : entries_.end();
  if (found != entries_.end()) found->second.version = version;
}

}  // namespace tw
