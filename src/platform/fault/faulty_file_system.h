// A file system that forwards every call to another (the fake or the real Win32 one) and fails the
// calls a test chooses, with the system error it chooses, so the retry, ignore, abort and rollback
// paths run against either. A failed call never reaches the wrapped file system: the disk is left
// as it was, and only the chosen error is noted for the thread.
#pragma once
#include <string>

#include "platform/fault/fault_rules.h"
#include "platform/file_system.h"
#include "platform/system_error.h"

namespace tw {

// The kinds of call a rule fails. A rule's fragment is matched against the call's path, or against
// "from|to" for a call with two paths.
//   MakeFolder  MakeFolder, MakePrivateFolder
//   RemoveTree  RemoveTree (refused whole: nothing under the folder is touched)
//   Copy        Copy
//   Move        Move, Replace, and StampedFile::MoveTo (the open file's path|destination): all of them
//               take a file away from one name to another, as a program holding it stops them alike
//   Link        HardLink: a holder that stops a move does not stop a second name
//   Remove      Remove, RemoveOwn, RemoveFolder
//   Write       WriteAll, Append, OpenWrite, OpenAppend, CreateStamped (each creating or opening a
//               file to write), and every write through what they return: each AppendFile::Write,
//               StampedFile::Write and Close, and each block the OpenWrite stream hands on
//   Read        OpenRead, ReadAll, ReadText
//   Attributes  SetAttributes
//   AtRestart   RemoveAtRestart, ReplaceAtRestart: asking the system to act later, apart from the
//               removal or move tried now, so a rule for those never refuses the later one too
// Questions about what is there (Exists, IsFolder, FileSize, Attributes, Find, FileVersion,
// CurrentFolder) and SetCurrentFolder are never failed: the engine reads their empty answers as
// absence, not as a failure it must report.
enum class FsOp { MakeFolder, RemoveTree, Copy, Move, Link, Remove, Write, Read, Attributes, AtRestart };

// Threads: as the wrapped file system; the rules are counted under a lock.
class FaultyFileSystem : public FileSystem, public FaultControls<FsOp> {
 public:
  explicit FaultyFileSystem(FileSystem& inner) : inner_(inner) {}

  // Whether the next call of kind op on subject fails; counted as that call. For the objects the
  // wrapper hands out, which check each of their writes here.
  using FaultControls::Fails;

  bool Exists(const std::string& path) const override { return inner_.Exists(path); }
  bool IsFolder(const std::string& path) const override { return inner_.IsFolder(path); }
  bool MakeFolder(const std::string& path) override;
  bool MakePrivateFolder(const std::string& path) override;
  bool RemoveFolder(const std::string& path) override;
  TreeRemoval RemoveTree(const std::string& path, LeftInUse leftInUse) override;
  bool Copy(const std::string& from, const std::string& to, bool replace) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool Replace(const std::string& from, const std::string& to) override;
  Removal Remove(const std::string& path) override;
  Removal RemoveOwn(const std::string& path) override;
  bool HardLink(const std::string& existing, const std::string& link) override;
  bool RemoveAtRestart(const std::string& path) override;
  bool ReplaceAtRestart(const std::string& from, const std::string& to) override;
  std::optional<uint64_t> FileSize(const std::string& path) const override { return inner_.FileSize(path); }
  std::optional<uint32_t> Attributes(const std::string& path) const override { return inner_.Attributes(path); }
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  std::vector<std::string> Find(const std::string& pattern) const override { return inner_.Find(pattern); }
  std::optional<std::string> ReadAll(const std::string& path) const override;
  std::optional<std::string> ReadText(const std::string& path) const override;
  bool WriteAll(const std::string& path, const std::string& data) override;
  bool Append(const std::string& path, const std::string& data) override;
  std::unique_ptr<std::istream> OpenRead(const std::string& path) const override;
  std::unique_ptr<std::ostream> OpenWrite(const std::string& path) override;
  std::unique_ptr<AppendFile> OpenAppend(const std::string& path) override;
  std::unique_ptr<StampedFile> CreateStamped(const std::string& path, const FileStamp& stamp) override;
  std::string CurrentFolder() const override { return inner_.CurrentFolder(); }
  bool SetCurrentFolder(const std::string& folder) override { return inner_.SetCurrentFolder(folder); }
  std::optional<std::string> FileVersion(const std::string& path) const override { return inner_.FileVersion(path); }

 private:
  FileSystem& inner_;
};

}  // namespace tw
