// File-system service over the Win32 file API.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/text.h"
#include "platform/win32/win32_platform.h"

namespace tw {
namespace {

bool EndsWithSeparator(const std::string& path) {
  return !path.empty() && (path.back() == '\\' || path.back() == '/');
}

// GetFileAttributes wants no trailing backslash except on a drive root.
std::string WithoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && EndsWithSeparator(path)) path.pop_back();
  return path;
}

// A replacement refuses a read-only file there as Windows refuses it; not every implementation of
// the move (a rename through an open handle, Wine's) does so by itself.
bool IsReadOnly(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

bool Win32FileSystem::Exists(const std::string& path) const {
  DWORD attributes = GetFileAttributesW(Wide(WithoutTrailingSeparator(path)).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return !EndsWithSeparator(path) || (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::IsFolder(const std::string& path) const {
  DWORD attributes = GetFileAttributesW(Wide(WithoutTrailingSeparator(path)).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32FileSystem::MakeFolder(const std::string& path) {
  return CreateDirectoryW(Wide(WithoutTrailingSeparator(path)).c_str(), nullptr) != 0 || NoteLastError();
}

bool Win32FileSystem::RemoveFolder(const std::string& path) {
  return RemoveDirectoryW(Wide(WithoutTrailingSeparator(path)).c_str()) != 0 || NoteLastError();
}

bool Win32FileSystem::Copy(const std::string& from, const std::string& to, bool replace) {
  return CopyFileW(Wide(from).c_str(), Wide(to).c_str(), replace ? FALSE : TRUE) != 0 || NoteLastError();
}

bool Win32FileSystem::Move(const std::string& from, const std::string& to) {
  return MoveFileW(Wide(from).c_str(), Wide(to).c_str()) != 0 || NoteLastError();
}

bool Win32FileSystem::Replace(const std::string& from, const std::string& to) {
  if (IsReadOnly(to)) return NoteError(ERROR_ACCESS_DENIED);
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0 || NoteLastError();
}

bool Win32FileSystem::HardLink(const std::string& existing, const std::string& link) {
  return CreateHardLinkW(Wide(link).c_str(), Wide(existing).c_str(), nullptr) != 0 || NoteLastError();
}

// A delayed move to nowhere: the session manager deletes the entry before anything can open it.
bool Win32FileSystem::RemoveAtRestart(const std::string& path) {
  if (GetFileAttributesW(Wide(WithoutTrailingSeparator(path)).c_str()) == INVALID_FILE_ATTRIBUTES) return NoteLastError();
  return MoveFileExW(Wide(WithoutTrailingSeparator(path)).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0 ||
         NoteLastError();
}

bool Win32FileSystem::ReplaceAtRestart(const std::string& from, const std::string& to) {
  return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) != 0 ||
         NoteLastError();
}

std::optional<uint64_t> Win32FileSystem::FileSize(const std::string& path) const {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return std::nullopt;
  return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<uint32_t> Win32FileSystem::Attributes(const std::string& path) const {
  DWORD attributes = GetFileAttributesW(Wide(WithoutTrailingSeparator(path)).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return static_cast<uint32_t>(attributes);
}

bool Win32FileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
  return SetFileAttributesW(Wide(path).c_str(), attributes) != 0 || NoteLastError();
}

std::vector<std::string> Win32FileSystem::Find(const std::string& pattern) const {
  std::vector<std::string> names;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW(Wide(pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = Narrow(data.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return names;
}

std::optional<std::string> Win32FileSystem::ReadAll(const std::string& path) const {
  auto in = OpenRead(path);
  if (!in) return std::nullopt;
  std::ostringstream data;
  data << in->rdbuf();
  return data.str();
}

std::optional<std::string> Win32FileSystem::ReadText(const std::string& path) const {
  std::optional<std::string> bytes = ReadAll(path);
  if (!bytes) return std::nullopt;
  if (std::optional<std::string> marked = MarkedTextToUtf8(*bytes)) return marked;
  return AnsiToUtf8Text(*bytes);
}

bool Win32FileSystem::WriteAll(const std::string& path, const std::string& data) {
  auto out = OpenWrite(path);
  return (out && out->write(data.data(), static_cast<std::streamsize>(data.size())).flush().good()) || NoteLastError();
}

bool Win32FileSystem::Append(const std::string& path, const std::string& data) {
  std::ofstream out(Wide(path).c_str(), std::ios::binary | std::ios::app);
  return (out && out.write(data.data(), static_cast<std::streamsize>(data.size())).flush().good()) || NoteLastError();
}

std::unique_ptr<std::istream> Win32FileSystem::OpenRead(const std::string& path) const {
  if (IsFolder(path)) {
    NoteError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  auto in = std::make_unique<std::ifstream>(Wide(path).c_str(), std::ios::binary);
  if (!*in) {
    NoteLastError();
    return nullptr;
  }
  return in;
}

std::unique_ptr<std::ostream> Win32FileSystem::OpenWrite(const std::string& path) {
  auto out = std::make_unique<std::ofstream>(Wide(path).c_str(), std::ios::binary | std::ios::trunc);
  if (!*out) {
    NoteLastError();
    return nullptr;
  }
  return out;
}

namespace {

// Every Write is one WriteFile straight to the end of the file: nothing is held back in a buffer,
// so what was written survives a crash of the process a moment later.
class Win32AppendFile : public AppendFile {
 public:
  explicit Win32AppendFile(HANDLE file) : file_(file) {}
  ~Win32AppendFile() override { CloseHandle(file_); }
  bool Write(const std::string& data) override {
    DWORD written = 0;
    if (SetFilePointer(file_, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
      return NoteLastError();
    if (!WriteFile(file_, data.data(), static_cast<DWORD>(data.size()), &written, nullptr)) return NoteLastError();
    return written == data.size() || NoteError(ERROR_WRITE_FAULT);
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<AppendFile> Win32FileSystem::OpenAppend(const std::string& path) {
  HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    NoteLastError();
    return nullptr;
  }
  return std::make_unique<Win32AppendFile>(file);
}

bool SetStoredTimes(void* file, uint16_t dosDate, uint16_t dosTime) {
  FILETIME local, universal;
  if (!DosDateTimeToFileTime(dosDate, dosTime, &local) || !LocalFileTimeToFileTime(&local, &universal)) return false;
  return SetFileTime(static_cast<HANDLE>(file), &universal, nullptr, &universal) != 0;
}

namespace {

constexpr DWORD kStampBits = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                             FILE_ATTRIBUTE_ARCHIVE;

// Renames an open file (opened with delete access) to path, where nothing may be yet: no second
// open of the file by name is needed. False where the system has no such call (before Vista) or
// refuses; the caller then moves the file by name once it is closed.
bool RenameOpenFile(HANDLE file, const std::string& path, bool replace) {
  using SetInformation = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);
  static const auto setInformation = reinterpret_cast<SetInformation>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetFileInformationByHandle")));
  constexpr int kFileRenameInfo = 3;
  struct RenameInfo {
    BOOLEAN replaceIfExists;
    HANDLE rootDirectory;
    DWORD fileNameLength;
    WCHAR fileName[1];
  };
  if (!setInformation || path.empty()) return false;
  const std::wstring wide = Wide(path);
  const size_t length = wide.size();
  if (length == 0) return false;
  std::vector<char> buffer(sizeof(RenameInfo) + sizeof(WCHAR) * length);
  auto* info = reinterpret_cast<RenameInfo*>(buffer.data());
  info->replaceIfExists = replace ? TRUE : FALSE;
  info->rootDirectory = nullptr;
  info->fileNameLength = static_cast<DWORD>(sizeof(WCHAR) * length);
  std::copy(wide.begin(), wide.end(), info->fileName);
  return setInformation(file, kFileRenameInfo, info, static_cast<DWORD>(buffer.size())) != 0;
}

// A new file is created with its attributes, so a stamp holding the archive bit (every new file
// gets it) needs nothing more at the close; one without it, or a file written over an existing one,
// is given its attributes again by path afterwards.
class Win32StampedFile : public StampedFile {
 public:
  Win32StampedFile(HANDLE file, std::string path, const FileStamp& stamp, bool existed)
      : file_(file), path_(std::move(path)), stamp_(stamp), existed_(existed) {}
  ~Win32StampedFile() override {
    if (file_ != INVALID_HANDLE_VALUE) CloseHandle(file_);
  }
  bool Write(const char* data, size_t size) override {
    while (ok_ && size > 0) {
      DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30)), written = 0;
      ok_ = (WriteFile(file_, data, chunk, &written, nullptr) || NoteLastError()) &&
            (written == chunk || NoteError(ERROR_WRITE_FAULT));
      data += chunk;
      size -= chunk;
    }
    return ok_;
  }
  bool Close() override {
    if (file_ == INVALID_HANDLE_VALUE) return ok_;
    SetStoredTimes(file_, stamp_.dosDate, stamp_.dosTime);
    ok_ = (CloseHandle(file_) || NoteLastError()) && ok_;
    file_ = INVALID_HANDLE_VALUE;
    DWORD attributes = stamp_.attributes & kStampBits;
    if (existed_ || !(attributes & FILE_ATTRIBUTE_ARCHIVE))
      SetFileAttributesW(Wide(path_).c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
    return ok_;
  }
  bool MoveTo(const std::string& destination, bool replace) override {
    if (replace && IsReadOnly(destination)) return NoteError(ERROR_ACCESS_DENIED);
    bool moved = file_ != INVALID_HANDLE_VALUE && ok_ && (RenameOpenFile(file_, destination, replace) || NoteLastError());
    if (moved) path_ = destination;
    return moved;
  }

 private:
  HANDLE file_;
  std::string path_;
  FileStamp stamp_;
  bool existed_;  // written over an existing file, which may keep attributes of its own
  bool ok_ = true;
};

// Creating over an existing read-only or hidden file is refused; such a file (a temporary file left
// by a run that ended halfway) is made normal and the creation tried once more.
HANDLE CreateOver(const std::string& path, DWORD attributes) {
  auto create = [&] {
    return CreateFileW(Wide(path).c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       (attributes ? attributes : FILE_ATTRIBUTE_NORMAL) | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  };
  HANDLE file = create();
  if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_ACCESS_DENIED) return file;
  DWORD existing = GetFileAttributesW(Wide(path).c_str());
  if (existing == INVALID_FILE_ATTRIBUTES || (existing & FILE_ATTRIBUTE_DIRECTORY)) return file;
  if (!SetFileAttributesW(Wide(path).c_str(), FILE_ATTRIBUTE_NORMAL)) return file;
  return create();
}

}  // namespace

std::unique_ptr<StampedFile> Win32FileSystem::CreateStamped(const std::string& path, const FileStamp& stamp) {
  HANDLE file = CreateOver(path, stamp.attributes & kStampBits);
  if (file == INVALID_HANDLE_VALUE) {
    NoteLastError();
    return nullptr;
  }
  bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
  return std::make_unique<Win32StampedFile>(file, path, stamp, existed);
}

bool Win32FileSystem::SetCurrentFolder(const std::string& folder) {
  return SetCurrentDirectoryW(Wide(folder).c_str()) != 0 || NoteLastError();
}

std::string Win32FileSystem::CurrentFolder() const {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetCurrentDirectoryW(MAX_PATH + 1, buffer);
  if (length == 0 || length > MAX_PATH) return std::string();
  return Narrow(std::wstring(buffer, length));
}

std::optional<std::string> Win32FileSystem::FileVersion(const std::string& path) const {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(Wide(path).c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<char> info(size);
  if (!GetFileVersionInfoW(Wide(path).c_str(), 0, size, info.data())) return std::nullopt;

  // The first listed translation names the string table; without one, the user's language in the
  // Unicode code page is the table most resource compilers write.
  wchar_t query[64];
  void* translation = nullptr;
  UINT translationSize = 0;
  if (VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &translation, &translationSize) &&
      translation && translationSize >= 4) {
    const WORD* pair = static_cast<const WORD*>(translation);
    wsprintfW(query, L"\\StringFileInfo\\%04X%04X\\FileVersion", pair[0], pair[1]);
  } else {
    wsprintfW(query, L"\\StringFileInfo\\%04X04B0\\FileVersion", GetUserDefaultLangID());
  }
  void* text = nullptr;
  UINT textSize = 0;
  if (!VerQueryValueW(info.data(), query, &text, &textSize) || !text) return std::nullopt;
  // textSize counts characters here, the terminating null among them where there is one.
  const wchar_t* begin = static_cast<const wchar_t*>(text);
  return Narrow(std::wstring(begin, std::find(begin, begin + textSize, L'\0')));
}

}  // namespace tw
