// Walks the cabinet's headers and data blocks without decompressing anything: the member table
// says where in its folder's uncompressed bytes each member ends, the blocks say how many
// uncompressed bytes each holds.
#include "install/cabinet_head.h"

#include <algorithm>
#include <vector>

namespace tw {
namespace {

constexpr uint16_t kFlagPrevious = 1, kFlagNext = 2, kFlagReserve = 4;
constexpr size_t kCabinetHeader = 36;

struct Fields {
  std::istream& in;
  bool ok = true;
  uint64_t Get(int bytes) {
    uint64_t value = 0;
    for (int i = 0; i < bytes; ++i) {
      const int c = in.get();
      if (c == std::char_traits<char>::eof()) ok = false;
      // A longer read only skips: what lies past eight bytes has no place in the value.
      if (i < 8) value |= static_cast<uint64_t>(c & 0xff) << (8 * i);
    }
    return value;
  }
  void Seek(uint64_t at) {
    in.clear();
    in.seekg(static_cast<std::streamoff>(at));
    ok = ok && static_cast<bool>(in);
  }
  std::string Text() {
    std::string text;
    for (int c = in.get(); c != 0; c = in.get()) {
      if (c == std::char_traits<char>::eof() || text.size() > 255) return ok = false, text;
      text += static_cast<char>(c);
    }
    return text;
  }
};

struct FolderData {
  uint64_t dataAt = 0;
  uint32_t blocks = 0;
  uint64_t needed = 0;  // uncompressed bytes the wanted members reach to
};

}  // namespace

std::optional<uint64_t> CabinetHeadSize(std::istream& cabinet, uint64_t cabinetSize,
                                        const std::function<bool(const std::string&)>& wanted) {
  Fields read{cabinet};
  read.Seek(0);
  if (read.Get(4) != 0x4643534d) return std::nullopt;  // "MSCF"
  read.Get(12);
  const uint64_t filesAt = read.Get(4);
  read.Get(6);
  const uint32_t folderCount = static_cast<uint32_t>(read.Get(2)), fileCount = static_cast<uint32_t>(read.Get(2));
  const uint16_t flags = static_cast<uint16_t>(read.Get(2));
  read.Get(4);
  if (!read.ok || (flags & (kFlagPrevious | kFlagNext))) return std::nullopt;
  uint32_t folderReserve = 0, dataReserve = 0;
  if (flags & kFlagReserve) {
    const uint32_t headerReserve = static_cast<uint32_t>(read.Get(2));
    folderReserve = static_cast<uint32_t>(read.Get(1));
    dataReserve = static_cast<uint32_t>(read.Get(1));
    read.Seek(kCabinetHeader + 4 + headerReserve);
  }
  std::vector<FolderData> folders(folderCount);
  for (FolderData& folder : folders) {
    folder.dataAt = read.Get(4);
    folder.blocks = static_cast<uint32_t>(read.Get(2));
    read.Get(2 + folderReserve);
  }
  read.Seek(filesAt);
  for (uint32_t i = 0; i < fileCount && read.ok; ++i) {
    const uint64_t size = read.Get(4), offset = read.Get(4);
    const uint32_t folder = static_cast<uint32_t>(read.Get(2));
    read.Get(6);
    const std::string name = read.Text();
    if (folder >= folders.size()) return std::nullopt;
    if (wanted(name)) folders[folder].needed = std::max(folders[folder].needed, offset + size);
  }
  if (!read.ok) return std::nullopt;
  uint64_t head = static_cast<uint64_t>(cabinet.tellg());
  for (const FolderData& folder : folders) {
    if (folder.needed == 0) continue;  // none of its data is read early
    uint64_t at = folder.dataAt, unpacked = 0;
    bool margin = false;
    for (uint32_t block = 0; block < folder.blocks; ++block) {
      read.Seek(at + 4);
      const uint64_t packed = read.Get(2), size = read.Get(2);
      if (!read.ok) return std::nullopt;
      at += 8 + dataReserve + packed;
      head = std::max(head, at);
      if (margin) break;
      unpacked += size;
      margin = unpacked >= folder.needed;
    }
  }
  if (head > cabinetSize) return std::nullopt;
  return head;
}

}  // namespace tw
