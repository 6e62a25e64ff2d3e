// The payload of a cabinet build read straight out of its cabinets: at start-up only the support
// files go to the work folder, and in the copy phase each payload file is decompressed once, into
// the temporary file beside its destination.
#pragma once
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "install/cabinet_reader.h"

namespace tw {

struct InstallSession;
class StampedFile;

// The name the payload stores the file list's entry index under: "F<index>_<name>".
std::string PayloadMemberName(size_t index, const std::string& fileName);
// Whether a stored name is a payload file's ("F<index>_<name>") rather than a support file's.
bool IsPayloadMemberName(const std::string& storedName);

class PayloadStream {
 public:
  // The cabinet set beside setup.exe when this is a cabinet build and our reader can read it;
  // null for a disk image, a split build, or a cabinet only the system decompressor knows (whose
  // files the start-up put in the work folder).
  static std::unique_ptr<PayloadStream> Open(InstallSession& session);

  // Writes the member stored as storedName into path (created or emptied) with its stored time
  // and plain attributes. False when the set has no such member, its data is broken or path
  // cannot be written; path may then hold part of it.
  bool WriteMember(const std::string& storedName, const std::string& path);
  // WriteMember in parts, which may run on different threads: creating the member's file (null
  // when the set has no such member or path cannot be created; only reads what Open read, so it
  // may run beside FillMemberFile), and decompressing the member into it, leaving it open for the
  // caller to close (or move and close).
  std::unique_ptr<StampedFile> CreateMemberFile(const std::string& storedName, const std::string& path) const;
  bool FillMemberFile(const std::string& storedName, StampedFile& out);

 private:
  explicit PayloadStream(InstallSession& session);

  InstallSession& session_;
  CabinetReader reader_;
};

// The start-up of a cabinet build our reader can read: unpacks only the support files (members
// under plain names) into the work folder, calling written after each. Nothing when the first
// cabinet is missing, is no cabinet, or needs the system decompressor, which then takes over;
// otherwise whether the set was whole and every support file was written.
std::optional<bool> ExtractSupportFiles(InstallSession& session, const std::function<void()>& written);

}  // namespace tw
