// Diagnostic trace: one machine-readable line per decision ("<area> <event> key=value ..."),
// appended to the file named by TARNWICK_LOG; silent when that variable is unset.
#pragma once
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>

#include "platform/system_error.h"

namespace tw {

class FileSystem;
class SystemInfo;

class Trace {
 public:
  using Field = std::pair<const char*, std::string>;

  // A trace that writes nothing.
  Trace() = default;
  // Writes to the file TARNWICK_LOG names, when it names one; a failure is told in the system's words.
  Trace(FileSystem& files, const SystemInfo& system);

  bool Enabled() const { return files_ != nullptr; }
  // From now on writes to path instead, starting that file afresh; false when it cannot be written.
  bool WriteTo(FileSystem& files, const std::string& path);
  // Appends "<area> <event> k=v ..." (values quoted when they hold blanks); safe from any thread.
  void Write(const char* area, const char* event, std::initializer_list<Field> fields = {});
  // The same for an operation that failed, its line ending in the system's reason for it:
  // error=<code> reason="<the system's text>" (nothing added when the failure left no code).
  void Write(const char* area, const char* event, std::initializer_list<Field> fields, SystemError error);
  // The line of a platform operation just made on this thread: result=ok, or result=failed with
  // the reason the operation left (read before anything else can change it).
  void WriteResult(const char* area, const char* event, std::initializer_list<Field> fields, bool ok);

  // The form a value takes in a trace line: bare, or quoted. Inside quotes backslashes stay as they
  // are (paths read naturally), a quote is doubled, and CR and LF are written as \r and \n.
  static std::string Quote(const std::string& value);

 private:
  static std::string Line(const char* area, const char* event, std::initializer_list<Field> fields);
  // " error=<code> reason=<text>" for a failure.
  std::string Reason(SystemError error) const;
  void Append(std::string line);

  FileSystem* files_ = nullptr;
  const SystemInfo* system_ = nullptr;
  std::string path_;
  std::mutex mutex_;
};

}  // namespace tw
