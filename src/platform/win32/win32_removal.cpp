// Deleting files and folder trees through handles. Each entry is opened without following a link,
// looked at through that handle and deleted through it, so nothing can be swapped in between; the
// walk lists names with the wide functions and joins them as the system spelled them, so a name
// such as "..\uFF3Cvictim" never becomes a path elsewhere through the code page's best fit.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace tw {
namespace {

// The full path in its verbatim form (\\?\C:\... or \\?\UNC\...): names past this point are taken
// exactly, trailing dots and spaces included, and long paths work. Empty when it cannot be formed.
std::wstring Verbatim(const std::string& path) {
  std::wstring wide = Wide(path);
  if (wide.empty()) return wide;
  DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return std::wstring();
  std::wstring full(length, L'\0');
  length = GetFullPathNameW(wide.c_str(), length, &full[0], nullptr);
  if (length == 0 || length >= full.size()) return std::wstring();
  full.resize(length);
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  if (full.compare(0, 4, L"\\\\?\\") == 0 || full.compare(0, 4, L"\\\\.\\") == 0) return full;
  if (full.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

enum class OpenFailure { kNone, kMissing, kInUse, kRefused };

// One entry opened for deletion: never through a link, and shared for reading and writing only, so
// nobody renames or deletes it (or, for a folder, swaps it for a link) while the handle is open.
class DeletionHandle {
 public:
  explicit DeletionHandle(const std::wstring& path) {
    handle_ = CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE,
                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE) {
      failure_ = Classify(GetLastError());
      return;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle_, &info)) {
      failure_ = OpenFailure::kRefused;
      return;
    }
    attributes_ = info.dwFileAttributes;
  }
  ~DeletionHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  DeletionHandle(const DeletionHandle&) = delete;
  DeletionHandle& operator=(const DeletionHandle&) = delete;

  OpenFailure Failure() const { return failure_; }
  bool IsLink() const { return (attributes_ & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }
  bool IsFolder() const { return (attributes_ & FILE_ATTRIBUTE_DIRECTORY) && !IsLink(); }
  bool IsReadOnly() const { return (attributes_ & FILE_ATTRIBUTE_READONLY) != 0; }

  bool ClearReadOnly() {
    FILE_BASIC_INFO basic = {};
    basic.FileAttributes = (attributes_ & ~FILE_ATTRIBUTE_READONLY) ? attributes_ & ~FILE_ATTRIBUTE_READONLY
                                                                     : FILE_ATTRIBUTE_NORMAL;
    if (!SetFileInformationByHandle(handle_, FileBasicInfo, &basic, sizeof(basic))) return false;
    attributes_ = basic.FileAttributes;
    return true;
  }

  // Marks the entry deleted; it goes when this handle closes. A folder must be empty by then.
  DWORD Delete() {
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (SetFileInformationByHandle(handle_, FileDispositionInfo, &disposition, sizeof(disposition))) return 0;
    DWORD error = GetLastError();
    return error == 0 ? ERROR_ACCESS_DENIED : error;
  }

 private:
  static OpenFailure Classify(DWORD error) {
    switch (error) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND:
        return OpenFailure::kMissing;
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION:
        return OpenFailure::kInUse;
      default:
        return OpenFailure::kRefused;
    }
  }

  HANDLE handle_ = INVALID_HANDLE_VALUE;
  OpenFailure failure_ = OpenFailure::kNone;
  DWORD attributes_ = 0;
};

// A deletion the system accepted may still be pending while another program holds the entry open
// with delete sharing: it counts as gone only once it is.
bool Gone(const std::wstring& path) { return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES; }

class TreeWalk {
 public:
  TreeWalk(LeftInUse leftInUse, TreeRemoval& result) : leftInUse_(leftInUse), result_(result) {}

  // True when the entry at path is gone.
  bool Remove(const std::wstring& path, int depth) {
    bool deleted = false;
    {
      DeletionHandle entry(path);
      switch (entry.Failure()) {
        case OpenFailure::kNone: break;
        case OpenFailure::kMissing: return true;
        case OpenFailure::kInUse: return LeaveInUse(path);
        case OpenFailure::kRefused: return Refuse();
      }
      if (entry.IsFolder()) return RemoveFolder(path, entry, depth);
      if (entry.IsReadOnly() && !entry.ClearReadOnly()) return Refuse();
      // The file was ours to delete yet the system kept it: a program runs it or maps it.
      if (entry.Delete() != 0) return LeaveInUse(path);
      deleted = true;
    }
    return deleted && (Gone(path) || LeaveInUse(path));
  }

 private:
  // The folder stays open (and so in place) while its entries go; it is then deleted through the
  // same handle, and set to go at the next start after whatever inside was.
  bool RemoveFolder(const std::wstring& path, DeletionHandle& folder, int depth) {
    if (depth >= kMaxTreeDepth) return Refuse();
    const int scheduledBefore = result_.atRestart;
    bool all = RemoveEntriesOf(path, depth);
    if (all && folder.IsReadOnly()) folder.ClearReadOnly();
    if (all && folder.Delete() == 0) return true;
    if (all) return Refuse();
    if (result_.atRestart > scheduledBefore && ScheduleAtRestart(path)) ++result_.atRestart;
    return false;
  }

  bool RemoveEntriesOf(const std::wstring& folder, int depth) {
    std::vector<Listed> entries;
    if (!ListNames(folder, entries)) return Refuse();
    bool all = true;
    for (const Listed& entry : entries) {
      const std::wstring path = folder + L"\\" + entry.name;
      // Wine opens a host's symbolic link as what it points to, whatever the flags, but lists it
      // as a reparse point: such an entry is removed by its name alone, never opened.
      const bool link = (entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
      all = (link ? RemoveLinkByName(path, entry.attributes) : Remove(path, depth + 1)) && all;
    }
    return all;
  }

  bool RemoveLinkByName(const std::wstring& path, DWORD attributes) {
    const bool removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str()) != 0
                                                                 : DeleteFileW(path.c_str()) != 0;
    return removed || Refuse();
  }

  // The names in a folder as the system stores them, with their attributes, read through a
  // handle of their own: the folder's deletion handle shares neither deletion nor renaming, so
  // this handle must share both. False when the folder could not be read to its end.
  struct Listed {
    std::wstring name;
    DWORD attributes;
  };
  static bool ListNames(const std::wstring& folder, std::vector<Listed>& names) {
    names.clear();
    HANDLE list = CreateFileW(folder.c_str(), FILE_LIST_DIRECTORY | SYNCHRONIZE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (list == INVALID_HANDLE_VALUE) return false;
    std::vector<DWORDLONG> buffer(8192);  // 64 KiB, aligned as the entries need
    const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(DWORDLONG));
    while (GetFileInformationByHandleEx(list, FileIdBothDirectoryInfo, buffer.data(), size)) {
      const BYTE* at = reinterpret_cast<const BYTE*>(buffer.data());
      for (;;) {
        const auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
        std::wstring name(entry->FileName, entry->FileNameLength / sizeof(WCHAR));
        if (name != L"." && name != L"..") names.push_back({std::move(name), entry->FileAttributes});
        if (entry->NextEntryOffset == 0) break;
        at += entry->NextEntryOffset;
      }
    }
    const bool whole = GetLastError() == ERROR_NO_MORE_FILES;
    CloseHandle(list);
    return whole;
  }

  bool LeaveInUse(const std::wstring& path) {
    ++result_.inUse;
    if (leftInUse_ == LeftInUse::kAtRestart && ScheduleAtRestart(path)) ++result_.atRestart;
    return false;
  }

  bool Refuse() {
    ++result_.refused;
    return false;
  }

  // A delayed move to nowhere: the session manager deletes the entry before anything can open it.
  static bool ScheduleAtRestart(const std::wstring& path) {
    return MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
  }

  LeftInUse leftInUse_;
  TreeRemoval& result_;
};

}  // namespace

TreeRemoval Win32FileSystem::RemoveTree(const std::string& path, LeftInUse leftInUse) {
  TreeRemoval result;
  const std::wstring root = Verbatim(path);
  if (root.empty()) return result;
  {
    DeletionHandle folder(root);
    if (folder.Failure() != OpenFailure::kNone || !(folder.IsFolder() || folder.IsLink())) return result;
    // A link given as the folder is removed itself; what it points to is not the folder's.
    if (folder.IsLink()) {
      result.removed = folder.Delete() == 0;
      return result;
    }
  }
  result.removed = TreeWalk(leftInUse, result).Remove(root, 0);
  return result;
}

Removal Win32FileSystem::Remove(const std::string& path) { return RemoveFile(path, true); }

Removal Win32FileSystem::RemoveOwn(const std::string& path) { return RemoveFile(path, false); }

// With look, a file that the deletion only marked (a program holds it open, sharing its deletion)
// is told as in use; without, the look (a search of the whole folder under Wine) is saved.
Removal Win32FileSystem::RemoveFile(const std::string& path, bool look) {
  const std::wstring wide = Verbatim(path);
  if (wide.empty()) {
    NoteError(ERROR_INVALID_NAME);
    return Removal::kRefused;
  }
  // The common case in one call, a third of the handle's cost: DeleteFileW looks and deletes at
  // once, takes a link itself (never its target), and refuses a folder and a read-only file, for
  // which the handle below says why.
  if (DeleteFileW(wide.c_str())) return !look || Gone(wide) ? Removal::kRemoved : Removal::kInUse;
  // The deletion's own reason is the one the caller hears, whatever the handle below finds.
  const DWORD error = GetLastError();
  NoteError(error);
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return Removal::kMissing;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return Removal::kInUse;
    default:
      break;
  }
  {
    DeletionHandle entry(wide);
    switch (entry.Failure()) {
      case OpenFailure::kNone: break;
      case OpenFailure::kMissing: return Removal::kMissing;
      case OpenFailure::kInUse: return Removal::kInUse;
      case OpenFailure::kRefused: return Removal::kRefused;
    }
    if (entry.IsFolder() || entry.IsReadOnly()) return Removal::kRefused;
    if (entry.Delete() != 0) return Removal::kInUse;
  }
  return !look || Gone(wide) ? Removal::kRemoved : Removal::kInUse;
}

}  // namespace tw
