// File-system service: every file and folder operation the engine makes goes through here, so the
// Win32 build touches the real disk and the tests touch a folder tree mapped from Windows paths.
#pragma once
#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace tw {

// Attribute bits as Windows reports them; only these are observable to the engine.
enum FileAttribute : uint32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrFolder = 0x10,
  kAttrArchive = 0x20,
  kAttrNormal = 0x80,
  kAttrReparsePoint = 0x400,
};

// A file kept open for appending, each Write reaching the file at once in one write.
class AppendFile {
 public:
  virtual ~AppendFile() = default;
  // Appends data in one write to the file; false when it could not be written whole.
  virtual bool Write(const std::string& data) = 0;
};

// What a file unpacked from a cabinet is given as it is closed: the member's MS-DOS date and time
// (read as local time) and its attribute bits.
struct FileStamp {
  uint16_t dosDate = 0;
  uint16_t dosTime = 0;
  uint32_t attributes = 0;
};

// A file written in one pass and stamped through the same open file when it is closed, so writing
// a member costs one open of the file rather than three.
class StampedFile {
 public:
  // Closes the file as it stands, unstamped, when Close was never called.
  virtual ~StampedFile() = default;
  virtual bool Write(const char* data, size_t size) = 0;
  // Gives the file its stored times and attributes, where the system takes them (a time it cannot
  // represent is left as the system set it), and closes it; false when a write or the close failed.
  // Once closed, a further call only answers the same.
  virtual bool Close() = 0;
  // Moves the file, still open, to destination: only where nothing is yet, or with replace over a
  // file there (never a folder, a read-only file or one in use). False when a write failed or the
  // move did not happen (the system may not move an open file). Either way the file stays open,
  // for Close.
  virtual bool MoveTo(const std::string& destination, bool replace) = 0;
};

// How deep a tree removal goes; anything deeper is left (a planted chain of folders cannot exhaust
// the walk).
constexpr int kMaxTreeDepth = 128;

enum class Removal { kRemoved, kMissing, kInUse, kRefused };

// What a program holds open when a tree is removed: left as it is, or set to go at the next start.
enum class LeftInUse { kStays, kAtRestart };

struct TreeRemoval {
  bool removed = false;  // the folder is gone with everything under it
  int inUse = 0;         // entries left because a program holds them
  int refused = 0;       // entries left for any other reason (rights, a folder too deep)
  int atRestart = 0;     // entries, folders included, set to go at the next start
  explicit operator bool() const { return removed; }
};

// Threads: any thread (the install worker and the payload prefetch call it at once), save
// SetCurrentFolder, which changes what relative paths mean for every thread and is called at
// start-up, before any worker runs. Win32 makes only system calls; the fakes lock their own state.
class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when a file or a folder exists at path (a trailing backslash is allowed on folders).
  virtual bool Exists(const std::string& path) const = 0;
  // True only when path names an existing folder.
  virtual bool IsFolder(const std::string& path) const = 0;
  // Creates one folder; false when it already exists or its parent is missing.
  virtual bool MakeFolder(const std::string& path) = 0;
  // Creates one folder that only the current user, the system account and administrators may open
  // or write into, whatever the folder it is made in lets others do; false as MakeFolder.
  virtual bool MakePrivateFolder(const std::string& path) = 0;
  // Removes an empty folder; false when it is missing or not empty.
  virtual bool RemoveFolder(const std::string& path) = 0;
  // Removes a folder and everything under it, walking the names exactly as the system gives them.
  // A link, junction or mount point, the folder itself included, is removed as an entry and never
  // entered; each entry is checked on the open handle that deletes it. What a program holds open is
  // left, and with leftInUse kAtRestart set to go at the next start, its folders after it.
  virtual TreeRemoval RemoveTree(const std::string& path, LeftInUse leftInUse) = 0;
  // Copies a file; with replace false an existing destination makes it fail.
  virtual bool Copy(const std::string& from, const std::string& to, bool replace) = 0;
  // Moves or renames a file or folder; fails when the destination exists.
  virtual bool Move(const std::string& from, const std::string& to) = 0;
  // Moves the file from over to, replacing a file there. False when to is read-only, a folder, or
  // in use (opened without delete sharing); from then stays where it is.
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  // Deletes a file (a link is deleted itself, never its target). Refused when it is read-only or a
  // folder; in use when a program holds it open without delete sharing, or runs it.
  virtual Removal Remove(const std::string& path) = 0;
  // Remove for a file of the engine's own that nobody should hold (one it kept for a rollback): it
  // answers once the system has taken the deletion, without looking whether the file is gone, so
  // one a program still holds open, sharing its deletion, counts as removed and goes when that
  // program lets it go. Where nothing can hold a file that way, it is Remove.
  virtual Removal RemoveOwn(const std::string& path) { return Remove(path); }
  // Gives the file at existing a second name, link, on the same volume: both names are then the
  // one file, its data and attributes. False when link is taken, existing is not a plain file, or
  // the volume has no such names (FAT).
  virtual bool HardLink(const std::string& existing, const std::string& link) = 0;
  // Asks the system to delete a file (or an empty folder) when it next starts, for one in use now;
  // false when the system refuses (no rights, a missing path).
  virtual bool RemoveAtRestart(const std::string& path) = 0;
  // Asks the system to move the file from over to when it next starts, for a to in use now;
  // false when the system refuses.
  virtual bool ReplaceAtRestart(const std::string& from, const std::string& to) = 0;
  // The size in bytes of an existing file; nothing for a folder or a missing file.
  virtual std::optional<uint64_t> FileSize(const std::string& path) const = 0;
  // The attribute bits of an existing entry; nothing when it is missing.
  virtual std::optional<uint32_t> Attributes(const std::string& path) const = 0;
  virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
  // Names (not paths) of the entries matching a wildcard pattern such as "C:\\x\\^!*.*", with
  // Windows' matching rules; "." and ".." are never returned. Empty when nothing matches.
  virtual std::vector<std::string> Find(const std::string& pattern) const = 0;
  // The whole content of a file; nothing when it cannot be read.
  virtual std::optional<std::string> ReadAll(const std::string& path) const = 0;
  // A stored text file (a project's settings, layout or language file, a text shown on a page, the
  // uninstall log) as engine text: as its byte-order mark says (UTF-8 or UTF-16, the mark dropped),
  // the machine's ANSI code page without one. Nothing when it cannot be read.
  virtual std::optional<std::string> ReadText(const std::string& path) const = 0;
  // Creates or truncates the file and writes data; false when it cannot be written.
  virtual bool WriteAll(const std::string& path, const std::string& data) = 0;
  // Appends data, creating the file when missing.
  virtual bool Append(const std::string& path, const std::string& data) = 0;
  // Binary streams for streamed work on big files; null when the file cannot be opened.
  virtual std::unique_ptr<std::istream> OpenRead(const std::string& path) const = 0;
  virtual std::unique_ptr<std::ostream> OpenWrite(const std::string& path) = 0;
  // Opens a file for appending, created when missing, shared for reading only; null when it cannot
  // be opened.
  virtual std::unique_ptr<AppendFile> OpenAppend(const std::string& path) = 0;
  // Creates (or truncates) a file to be written and then stamped: its creation and last-write times
  // from the stamp's date and time, its attributes exactly the stamp's (normal when none). Null
  // when it cannot be created.
  virtual std::unique_ptr<StampedFile> CreateStamped(const std::string& path, const FileStamp& stamp) = 0;
  // The process's current directory, without a trailing backslash (except at a drive root).
  virtual std::string CurrentFolder() const = 0;
  // Makes folder the current directory; false when it is not an existing folder.
  virtual bool SetCurrentFolder(const std::string& folder) = 0;
  // The "FileVersion" text of a file's version resource, in its first listed translation (or the
  // user's language with the Unicode code page); nothing for a missing file or one without it.
  virtual std::optional<std::string> FileVersion(const std::string& path) const = 0;
};

}  // namespace tw
