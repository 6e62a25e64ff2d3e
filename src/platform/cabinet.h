// Cabinet service: opens a cabinet set and hands every member to a handler that decides where it
// goes, so the portable extractor owns every decision and the platform only decompresses.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace tw {

// One member as the cabinet stores it. Everything here comes from the file and is untrusted.
struct CabinetMember {
  std::string name;         // stored name, possibly with folder parts
  uint32_t size = 0;        // uncompressed size
  uint16_t date = 0;        // MS-DOS date of the stored local time
  uint16_t time = 0;        // MS-DOS time, two-second steps
  uint16_t attributes = 0;  // stored attribute bits (0x40 run after extraction, 0x80 UTF-8 name)
};

// The handler's answer to a member.
struct CabinetTarget {
  enum Action { kWrite, kSkip, kAbort };
  Action action = kSkip;
  std::string path;  // kWrite: the file to create (or empty) and write the member into

  static CabinetTarget Write(std::string path) { return {kWrite, std::move(path)}; }
  static CabinetTarget Skip() { return {kSkip, {}}; }
  static CabinetTarget Abort() { return {kAbort, {}}; }
};

// Called on the thread that runs CopyAll, in the order the decompressor meets things.
class CabinetHandler {
 public:
  virtual ~CabinetHandler() = default;
  // A member is about to be decompressed. Writing opens path for writing (created or emptied); a
  // path that cannot be opened aborts the copy.
  virtual CabinetTarget OnCopyFile(const CabinetMember& member) = 0;
  // The member has been written to path, given its creation and last-write times from the stored
  // date and time (read as local time), and closed.
  virtual void OnFileClosed(const CabinetMember& member, const std::string& path) = 0;
  // The set goes on in cabinetName inside folder (as given to CopyAll) on the disk diskName.
  // afterFailure: that cabinet was just looked for and could not be used. True looks (again),
  // false aborts the copy.
  virtual bool OnNextCabinet(const std::string& diskName, const std::string& folder,
                             const std::string& cabinetName, bool afterFailure) = 0;
  // The decompressor's enumeration notice with its folder value; some decompressors never send it.
  virtual void OnEnumerate(int folderIndex) = 0;
};

enum class CabinetCheck { kCabinet, kNotCabinet, kCannotOpen };

// One decompression context, used from one thread at a time.
class CabinetContext {
 public:
  virtual ~CabinetContext() = default;
  // Opens path read-only and tells whether it is a cabinet; kCannotOpen for a missing file.
  virtual CabinetCheck Check(const std::string& path) = 0;
  // Decompresses every member of the set that starts with cabinetName in folder (which ends in a
  // backslash) through handler. False when the set is broken, a target could not be written, or
  // the handler aborted; members written before that stay.
  virtual bool CopyAll(const std::string& folder, const std::string& cabinetName, CabinetHandler& handler) = 0;
  // Gives the context back; false when the decompressor refused. The context is unusable after.
  virtual bool Release() = 0;
};

// Threads: any thread makes a context; each context is used by one thread at a time.
class Cabinets {
 public:
  virtual ~Cabinets() = default;
  // A new decompression context; null when none can be made.
  virtual std::unique_ptr<CabinetContext> CreateContext() = 0;
};

}  // namespace tw
