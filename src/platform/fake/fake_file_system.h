// In-memory-rooted twin of the file system: Windows paths ("C:\\x\\y") map to a private host folder,
// and names resolve without regard to case. Failing chosen calls is FaultyFileSystem's work, around it.
#pragma once
#include <filesystem>
#include <ios>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/system_error.h"

namespace tw {

class FakeFileSystem : public FileSystem {
 public:
  FakeFileSystem();
  ~FakeFileSystem() override;
  FakeFileSystem(const FakeFileSystem&) = delete;
  FakeFileSystem& operator=(const FakeFileSystem&) = delete;

  bool Exists(const std::string& path) const override;
  bool IsFolder(const std::string& path) const override;
  bool MakeFolder(const std::string& path) override;
  bool MakePrivateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  TreeRemoval RemoveTree(const std::string& path, LeftInUse leftInUse) override;
  bool Copy(const std::string& from, const std::string& to, bool replace) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool Replace(const std::string& from, const std::string& to) override;
  Removal Remove(const std::string& path) override;
  bool HardLink(const std::string& existing, const std::string& link) override;
  bool RemoveAtRestart(const std::string& path) override;
  bool ReplaceAtRestart(const std::string& from, const std::string& to) override;
  std::optional<uint64_t> FileSize(const std::string& path) const override;
  std::optional<uint32_t> Attributes(const std::string& path) const override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  std::vector<std::string> Find(const std::string& pattern) const override;
  std::optional<std::string> ReadAll(const std::string& path) const override;
  // Read as Windows-1252, the fake machine's code page, when it has no byte-order mark.
  std::optional<std::string> ReadText(const std::string& path) const override;
  bool WriteAll(const std::string& path, const std::string& data) override;
  bool Append(const std::string& path, const std::string& data) override;
  std::unique_ptr<std::istream> OpenRead(const std::string& path) const override;
  std::unique_ptr<std::ostream> OpenWrite(const std::string& path) override;
  std::unique_ptr<AppendFile> OpenAppend(const std::string& path) override;
  std::unique_ptr<StampedFile> CreateStamped(const std::string& path, const FileStamp& stamp) override;
  std::string CurrentFolder() const override;
  std::optional<std::string> FileVersion(const std::string& path) const override;

  // --- test controls ---
  bool SetCurrentFolder(const std::string& path) override;
  // The host path that a Windows path maps to (existing names matched without regard to case).
  std::filesystem::path HostPath(const std::string& path) const;
  // Creates every missing folder of path.
  void MakeFolders(const std::string& path);
  // Gives an existing file a version resource with this "FileVersion" text.
  void SetFileVersion(const std::string& path, const std::string& version);
  // Gives every file holding exactly these bytes, wherever it is written, a version resource with
  // this text, as a real one travels inside the file (a path's own version comes first).
  void SetContentVersion(const std::string& bytes, const std::string& version);
  // Folders made private, by MakePrivateFolder, in order.
  std::vector<std::string> privateFolders;
  // Paths handed to RemoveAtRestart, in order; they stay on disk until a test looks.
  std::vector<std::string> removeAtRestart;
  // ReplaceAtRestart's from and to, in order; nothing moves until a test looks.
  std::vector<std::pair<std::string, std::string>> replaceAtRestart;
  bool restartRemovalAllowed = true;
  // Marks a file as held open by a program (once per holder), as an open appender does.
  void Hold(const std::string& path, bool held);
  // Marks a file as one whose access list lets this user do anything but delete it; Remove and a
  // tree's removal then refuse it, as the system does.
  void DenyRemoval(const std::string& path, bool denied);

 private:
  bool IsHeld(const std::string& path) const;
  bool IsUndeletable(const std::string& path) const;
  bool ParentExists(const std::string& path) const;
  bool MayWrite(const std::string& path) const;
  bool RemoveWalk(const std::string& path, int depth, LeftInUse leftInUse, TreeRemoval& result);
  bool WriteFile(const std::string& path, const std::string& data, std::ios::openmode mode);
  std::string Absolute(const std::string& path) const;

  std::filesystem::path root_;
  std::string current_ = "C:\\";
  std::map<std::filesystem::path, std::string> versions_;  // by host path
  std::map<std::string, std::string> contentVersions_;     // by the file's bytes
  mutable std::mutex heldLock_;
  std::mutex listsLock_;  // privateFolders and removeAtRestart grow from any thread
  std::multiset<std::filesystem::path> held_;  // by host path
  std::set<std::filesystem::path> undeletable_;  // by host path, under heldLock_
};

}  // namespace tw
