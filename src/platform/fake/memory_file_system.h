// A file system held wholly in memory, for runs that must not touch the disk at all (the fuzz
// harnesses run a page or a language file through it hundreds of thousands of times). Names
// resolve as on Windows and in FakeFileSystem: without regard to case, "." and ".." folded, relative
// paths from the current folder. File times, holders and links are not modelled. Each failure notes
// the system error the fake on disk gives for it.
#pragma once
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/system_error.h"

namespace tw {

class MemoryFileSystem : public FileSystem {
 public:
  MemoryFileSystem();

  bool Exists(const std::string& path) const override;
  bool IsFolder(const std::string& path) const override;
  bool MakeFolder(const std::string& path) override;
  bool MakePrivateFolder(const std::string& path) override { return MakeFolder(path); }
  bool RemoveFolder(const std::string& path) override;
  TreeRemoval RemoveTree(const std::string& path, LeftInUse leftInUse) override;
  bool Copy(const std::string& from, const std::string& to, bool replace) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool Replace(const std::string& from, const std::string& to) override;
  Removal Remove(const std::string& path) override;
  bool HardLink(const std::string& existing, const std::string& link) override;
  // Nothing restarts here, so nothing can be set to go then.
  bool RemoveAtRestart(const std::string&) override { return Failing(kErrorAccessDenied, false); }
  bool ReplaceAtRestart(const std::string&, const std::string&) override { return Failing(kErrorAccessDenied, false); }
  std::optional<uint64_t> FileSize(const std::string& path) const override;
  std::optional<uint32_t> Attributes(const std::string& path) const override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  std::vector<std::string> Find(const std::string& pattern) const override;
  std::optional<std::string> ReadAll(const std::string& path) const override;
  // As the fake on disk reads it: a byte-order mark honoured, else Windows-1252.
  std::optional<std::string> ReadText(const std::string& path) const override;
  bool WriteAll(const std::string& path, const std::string& data) override;
  bool Append(const std::string& path, const std::string& data) override;
  std::unique_ptr<std::istream> OpenRead(const std::string& path) const override;
  std::unique_ptr<std::ostream> OpenWrite(const std::string& path) override;
  std::unique_ptr<AppendFile> OpenAppend(const std::string& path) override;
  std::unique_ptr<StampedFile> CreateStamped(const std::string& path, const FileStamp& stamp) override;
  std::string CurrentFolder() const override;
  bool SetCurrentFolder(const std::string& folder) override;
  std::optional<std::string> FileVersion(const std::string& path) const override;

  // --- test controls ---
  // Creates every missing folder of path.
  void MakeFolders(const std::string& path);
  // Gives an existing file a version resource with this "FileVersion" text.
  void SetFileVersion(const std::string& path, const std::string& version);

 private:
  struct Entry {
    Entry() = default;
    Entry(std::string entryName, bool isFolder) : name(std::move(entryName)), folder(isFolder) {}
    std::string name;  // as it was created, for Find
    bool folder = false;
    bool readOnly = false;
    std::string data;
    std::optional<std::string> version;
  };
  using Entries = std::map<std::string, Entry>;

  // path made absolute from the current folder.
  std::string Absolute(const std::string& path) const;
  // The entry's key: the drive letter and the parts in lower case ("c:\\a\\b"); nothing for a
  // path that names no drive.
  std::optional<std::string> Key(const std::string& path) const;
  const Entry* Lookup(const std::string& key) const;
  bool HasFolder(const std::string& key) const;
  // The code a missing entry gives: file not found in an existing folder, else path not found.
  uint32_t MissingError(const std::string& key) const;
  // Writes data into a file (creating it in an existing folder); false for a folder or a
  // read-only file. Called with lock_ held.
  bool Store(const std::string& path, const std::string& data, bool append);
  bool MoveEntry(const std::string& from, const std::string& to, bool replace);

  // Harness and test code may hand the file system to worker threads, as the engine does.
  mutable std::mutex lock_;
  Entries entries_;
  std::string current_ = "C:\\";
};

}  // namespace tw
