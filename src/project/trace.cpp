#include "project/trace.h"

#include "platform/file_system.h"
#include "platform/system_info.h"

namespace tw {

Trace::Trace(FileSystem& files, const SystemInfo& system) {
  auto path = system.Environment("TARNWICK_LOG");
  if (!path || path->empty()) return;
  files_ = &files;
  path_ = *path;
}

bool Trace::WriteTo(FileSystem& files, const std::string& path) {
  std::lock_guard<std::mutex> lock(mutex_);
  files_ = &files;
  path_ = path;
  return files.WriteAll(path, "");
}

std::string Trace::Quote(const std::string& value) {
  bool plain = !value.empty();
  for (unsigned char c : value)
    if (c <= ' ' || c == '"' || c == '\\' || c == '=') plain = false;
  if (plain) return value;
  std::string quoted = "\"";
  for (char c : value) {
    switch (c) {
      case '"': quoted += "\"\""; break;
      case '\r': quoted += "\\r"; break;
      case '\n': quoted += "\\n"; break;
      default: quoted += c;
    }
  }
  return quoted + "\"";
}

void Trace::Write(const char* area, const char* event, std::initializer_list<Field> fields) {
  if (!files_) return;
  std::string line = std::string(area) + " " + event;
  for (const auto& field : fields) line += std::string(" ") + field.first + "=" + Quote(field.second);
  line += "\n";
  std::lock_guard<std::mutex> lock(mutex_);
  files_->Append(path_, line);
}

}  // namespace tw
