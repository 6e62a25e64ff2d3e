// Our own cabinet reader: stored and MSZIP folders, single cabinets and sets that span several,
// any member decompressed straight into a sink, so the payload is written once, in place.
#pragma once
#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/cabinet.h"

namespace tw {

// A member of the set: what the cabinet stores for it and where its bytes lie.
struct CabinetEntry {
  CabinetMember member;
  size_t folder = 0;    // index into the set's folders
  uint32_t offset = 0;  // uncompressed offset of the member's first byte in its folder
};

enum class CabinetRead {
  kOk,
  kCannotOpen,        // the first cabinet is not there
  kNotCabinet,        // it does not start like a cabinet
  kOtherCompression,  // a folder uses a method only the system decompressor knows (LZX, Quantum)
  kBroken,            // a header is cut short or inconsistent, a cabinet of the set is missing, or
                      // the set comes back to a cabinet already read or holds more than a set can
  kStartsMidSet,      // the first cabinet carries on a folder that began in an earlier cabinet
};

class CabinetReader {
 public:
  // Opens a cabinet of the set by the name the previous one gives, on the disk it names; null when
  // it cannot be had. The caller may prompt for a disk before answering.
  using OpenCabinet = std::function<std::unique_ptr<std::istream>(const std::string& cabinetName,
                                                                  const std::string& diskName)>;
  // Takes the next piece of a member's bytes; false stops the extraction.
  using Sink = std::function<bool(const char* data, size_t size)>;

  explicit CabinetReader(OpenCabinet open);
  ~CabinetReader();
  CabinetReader(const CabinetReader&) = delete;
  CabinetReader& operator=(const CabinetReader&) = delete;

  // Reads the headers of firstCabinet and of every cabinet it continues into. Anything but kOk
  // leaves the reader empty.
  CabinetRead Open(const std::string& firstCabinet);

  // Every member of the set in stored order, each once (a member spanning cabinets included).
  const std::vector<CabinetEntry>& Entries() const { return entries_; }
  // The member stored under name (compared without regard to case); null when there is none.
  const CabinetEntry* Find(const std::string& name) const;

  // Decompresses entry's bytes into sink, in order. False when the data is cut short, does not
  // decompress, fails its checksum, or the sink stopped. Members of one folder are cheapest in
  // stored order; going back restarts the folder.
  bool Extract(const CabinetEntry& entry, const Sink& sink);

 private:
  struct Cabinet;
  struct Folder;
  struct Decoder;

  // Where the cabinet last read sits in its set: the one after it must carry on the same set.
  struct SetPlace {
    uint16_t setId = 0;
    uint16_t index = 0;
  };

  CabinetRead ReadCabinet(std::unique_ptr<std::istream> in, bool first, std::string& next, std::string& nextDisk);
  bool StartFolder(size_t folder);
  bool NextBlock();
  bool ReadBlockPart(std::string& data, uint16_t& unpacked);

  OpenCabinet open_;
  std::vector<std::unique_ptr<Cabinet>> cabinets_;
  std::vector<Folder> folders_;
  std::vector<CabinetEntry> entries_;
  std::unordered_map<std::string, size_t> byName_;  // lower-cased name -> first entry of that name
  std::unique_ptr<Decoder> decoder_;
  SetPlace place_;
};

}  // namespace tw
