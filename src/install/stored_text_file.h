// A text file the engine keeps and appends to a line at a time (the uninstall log, its record
// file), each line reaching the disk at once. It keeps the bytes older versions wrote: the
// machine's ANSI code page while every character fits. The first line that does not fit turns the
// whole file into UTF-8 after a byte-order mark, and it stays so; FileSystem::ReadText reads both.
#pragma once
#include <memory>
#include <string>

namespace tw {

class AppendFile;
class FileSystem;
class SystemInfo;

class StoredTextFile {
 public:
  StoredTextFile(FileSystem& files, const SystemInfo& system, std::string path);
  ~StoredTextFile();
  // Appends engine text; false when it could not be written whole (the file is opened again at
  // the next write).
  bool Write(const std::string& text);
  const std::string& Path() const { return path_; }

 private:
  bool Open();
  // Rewrites what the file holds so far as UTF-8 after the mark, through a file beside it moved
  // over it, so a failure leaves the file as it was.
  bool TurnToUtf8();

  FileSystem& files_;
  const SystemInfo& system_;
  std::string path_;
  std::unique_ptr<AppendFile> file_;
  bool utf8_ = false;
};

}  // namespace tw
