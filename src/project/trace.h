// Diagnostic trace: one machine-readable line per decision ("<area> <event> key=value ..."),
// appended to the file named by TARNWICK_LOG; silent when that variable is unset.
#pragma once
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>

namespace tw {

class FileSystem;
class SystemInfo;

class Trace {
 public:
  using Field = std::pair<const char*, std::string>;

  // A trace that writes nothing.
  Trace() = default;
  // Writes to the file TARNWICK_LOG names, when it names one.
  Trace(FileSystem& files, const SystemInfo& system);

  bool Enabled() const { return files_ != nullptr; }
  // From now on writes to path instead, starting that file afresh; false when it cannot be written.
  bool WriteTo(FileSystem& files, const std::string& path);
  // Appends "<area> <event> k=v ..." (values quoted when they hold blanks); safe from any thread.
  void Write(const char* area, const char* event, std::initializer_list<Field> fields = {});

  // The form a value takes in a trace line: bare, or quoted. Inside quotes backslashes stay as they
  // are (paths read naturally), a quote is doubled, and CR and LF are written as \r and \n.
  static std::string Quote(const std::string& value);

 private:
  FileSystem* files_ = nullptr;
  std::string path_;
  std::mutex mutex_;
};

}  // namespace tw
