#include "project/trace.h"

#include "platform/file_system.h"
#include "platform/system_info.h"

namespace tw {

Trace::Trace(FileSystem& files, const SystemInfo& system) : system_(&system) {
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

std::string Trace::Line(const char* area, const char* event, std::initializer_list<Field> fields) {
  std::string line = std::string(area) + " " + event;
  for (const auto& field : fields) line += std::string(" ") + field.first + "=" + Quote(field.second);
  return line;
}

void Trace::Write(const char* area, const char* event, std::initializer_list<Field> fields) {
  if (!files_) return;
  Append(Line(area, event, fields));
}

void Trace::Write(const char* area, const char* event, std::initializer_list<Field> fields, SystemError error) {
  if (!files_) return;
  std::string line = Line(area, event, fields);
  if (error) line += Reason(error);
  Append(std::move(line));
}

void Trace::WriteResult(const char* area, const char* event, std::initializer_list<Field> fields, bool ok) {
  if (!files_) return;
  std::string line = Line(area, event, fields) + (ok ? " result=ok" : " result=failed");
  const SystemError error = LastSystemError();
  if (!ok && error) line += Reason(error);
  Append(std::move(line));
}

std::string Trace::Reason(SystemError error) const {
  std::string fields = " error=" + std::to_string(error.code);
  const std::string text = system_ ? system_->ErrorText(error) : std::string();
  if (!text.empty()) fields += " reason=" + Quote(text);
  return fields;
}

// Writing the trace never changes the error its caller reads next.
void Trace::Append(std::string line) {
  line += "\n";
  const KeepSystemError kept;
  std::lock_guard<std::mutex> lock(mutex_);
  files_->Append(path_, line);
}

}  // namespace tw
