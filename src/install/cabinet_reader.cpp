// Reading cabinets without the system decompressor. Every count, offset and size comes from the
// file and is checked before use; a cabinet that lies is a failed read, never a crash or a loop.
#include "install/cabinet_reader.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>

#include "platform/text.h"

namespace tw {
namespace {

constexpr uint16_t kFlagPrevious = 1, kFlagNext = 2, kFlagReserve = 4;
constexpr uint16_t kFromPrevious = 0xFFFD, kToNext = 0xFFFE, kPreviousAndNext = 0xFFFF;
constexpr uint16_t kStored = 0, kMsZip = 1;
constexpr size_t kMaxBlock = 32768;      // no data block unpacks to more
constexpr size_t kMaxPacked = 2 * 65535;  // a block cut in two across cabinets, both halves full
constexpr size_t kMaxName = 256;          // names are at most 255 characters and their end mark
constexpr int kMaxCabinets = 1000;        // far more disks than any set ever shipped on
// A cabinet counts its members and folders in 16 bits, so 65535 of each is what one cabinet can
// hold, and our packer writes the whole payload into one cabinet. A set from another writer that
// spans disks spreads those same members over its cabinets, so the set as a whole is held to the
// same count: without that, a thousand cabinets that each claim 65535 folders would take
// gigabytes of tables before a single byte is decompressed.
constexpr size_t kMaxSetMembers = 65535;
constexpr size_t kMaxSetFolders = 65535;
constexpr size_t kWindow = 32768;         // MSZIP blocks see the previous 32 KiB of output

// The cabinet checksum: the bytes taken as little-endian 32-bit words and XORed, the 1 to 3 bytes
// left over packed high byte first.
uint32_t Checksum(const unsigned char* data, size_t size, uint32_t sum) {
  size_t words = size / 4;
  for (size_t i = 0; i < words; ++i, data += 4)
    sum ^= uint32_t(data[0]) | uint32_t(data[1]) << 8 | uint32_t(data[2]) << 16 | uint32_t(data[3]) << 24;
  uint32_t rest = 0;
  switch (size & 3) {
    case 3: rest |= uint32_t(*data++) << 16; [[fallthrough]];
    case 2: rest |= uint32_t(*data++) << 8; [[fallthrough]];
    case 1: rest |= *data;
  }
  return sum ^ rest;
}

// Reads little-endian fields one after the other; the first short read turns every later one into
// a zero and ok into false.
class FieldReader {
 public:
  explicit FieldReader(std::istream& in) : in_(in) {}
  bool ok() const { return ok_; }
  void Bytes(char* out, size_t size) {
    if (ok_) ok_ = in_.read(out, static_cast<std::streamsize>(size)) && static_cast<size_t>(in_.gcount()) == size;
    if (!ok_) std::memset(out, 0, size);
  }
  uint32_t Number(int size) {
    unsigned char bytes[4] = {};
    Bytes(reinterpret_cast<char*>(bytes), static_cast<size_t>(size));
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
  }
  uint8_t U8() { return static_cast<uint8_t>(Number(1)); }
  uint16_t U16() { return static_cast<uint16_t>(Number(2)); }
  uint32_t U32() { return Number(4); }
  void Skip(size_t size) {
    if (ok_) ok_ = static_cast<bool>(in_.seekg(static_cast<std::streamoff>(size), std::ios::cur));
  }
  void Seek(uint64_t at) {
    in_.clear();
    if (ok_) ok_ = static_cast<bool>(in_.seekg(static_cast<std::streamoff>(at)));
  }
  std::string Text() {
    std::string text;
    for (char c = 1; ok_;) {
      Bytes(&c, 1);
      if (c == '\0') return text;
      if (text.size() + 1 >= kMaxName) ok_ = false;
      text += c;
    }
    return "";
  }

 private:
  std::istream& in_;
  bool ok_ = true;
};

}  // namespace

struct CabinetReader::Cabinet {
  std::unique_ptr<std::istream> in;
  uint8_t dataReserve = 0;
};

// A run of data blocks of one folder inside one cabinet; a folder spanning cabinets has several.
struct Segment {
  size_t cabinet;
  uint32_t dataOffset;
  uint16_t blocks;
};

struct CabinetReader::Folder {
  uint16_t compression = kStored;
  std::vector<Segment> segments;
};

// Where the decompression of one folder stands: the block last decoded and what comes next.
struct CabinetReader::Decoder {
  Decoder() {
    zlib.zalloc = Z_NULL;
    zlib.zfree = Z_NULL;
    zlib.opaque = Z_NULL;
    ready = inflateInit2(&zlib, -MAX_WBITS) == Z_OK;
  }
  ~Decoder() {
    if (ready) inflateEnd(&zlib);
  }

  z_stream zlib{};
  bool ready = false;
  size_t folder = std::numeric_limits<size_t>::max();
  size_t segment = 0;
  uint32_t blockInSegment = 0;
  uint64_t position = 0;     // the next block header in the segment's cabinet
  uint64_t blockStart = 0;   // folder offset of block's first byte
  std::string block;         // the block last decoded
  std::string history;       // the window the next MSZIP block refers back into
  std::string packed, part;  // scratch
};

CabinetReader::CabinetReader(OpenCabinet open) : open_(std::move(open)), decoder_(std::make_unique<Decoder>()) {}
CabinetReader::~CabinetReader() = default;

CabinetRead CabinetReader::Open(const std::string& firstCabinet) {
  cabinets_.clear();
  folders_.clear();
  entries_.clear();
  byName_.clear();
  decoder_->folder = std::numeric_limits<size_t>::max();
  std::string name = firstCabinet, disk;
  std::vector<std::string> read;  // the names already read, without regard to case
  for (int count = 0;; ++count) {
    std::string next, nextDisk;
    // A set that names a cabinet already read would read it again and again: it is refused before
    // that cabinet is opened a second time. (The names compare as Windows does for ASCII; one that
    // reaches a cabinet already read otherwise fails the set's numbering in ReadCabinet.)
    const bool again = std::find(read.begin(), read.end(), Lower(name)) != read.end();
    read.push_back(Lower(name));
    CabinetRead result = count == kMaxCabinets || again
                             ? CabinetRead::kBroken
                             : ReadCabinet(open_(name, disk), count == 0, next, nextDisk);
    if (result != CabinetRead::kOk) {
      cabinets_.clear();
      folders_.clear();
      entries_.clear();
      return result;
    }
    if (next.empty()) {
      // A payload has thousands of members, each looked up once: a map, not a walk per lookup.
      for (size_t i = 0; i < entries_.size(); ++i) byName_.emplace(Lower(entries_[i].member.name), i);
      return CabinetRead::kOk;
    }
    name = next;
    disk = nextDisk;
  }
}

CabinetRead CabinetReader::ReadCabinet(std::unique_ptr<std::istream> in, bool first, std::string& next,
                                       std::string& nextDisk) {
  if (!in) return first ? CabinetRead::kCannotOpen : CabinetRead::kBroken;
  const CabinetRead notCabinet = first ? CabinetRead::kNotCabinet : CabinetRead::kBroken;
  FieldReader read(*in);
  char signature[4];
  read.Bytes(signature, 4);
  if (!read.ok() || std::memcmp(signature, "MSCF", 4) != 0) return notCabinet;
  read.Skip(12);
  uint32_t filesAt = read.U32();
  read.Skip(6);
  uint16_t folderCount = read.U16(), fileCount = read.U16(), flags = read.U16();
  const SetPlace place{read.U16(), read.U16()};
  if (!read.ok()) return notCabinet;
  // The next cabinet of a set has the set's number and the next index, as the system's
  // decompressors require: a cabinet reached under another name (an alias, a name that differs in
  // a letter's case only outside ASCII) that is one already read fails this, so no set can circle.
  if (!first && (place.setId != place_.setId || place.index != place_.index + 1)) return CabinetRead::kBroken;
  if (folders_.size() + folderCount > kMaxSetFolders || entries_.size() + fileCount > kMaxSetMembers)
    return CabinetRead::kBroken;

  auto cabinet = std::make_unique<Cabinet>();
  uint8_t folderReserve = 0;
  if (flags & kFlagReserve) {
    uint16_t headerReserve = read.U16();
    folderReserve = read.U8();
    cabinet->dataReserve = read.U8();
    read.Skip(headerReserve);
  }
  // Each cabinet after the first must say that it carries on from another one: anything else in
  // its place (the first disk again, say) is the wrong cabinet.
  if (!first && !(flags & kFlagPrevious)) return CabinetRead::kBroken;
  if (flags & kFlagPrevious) read.Text(), read.Text();
  if (flags & kFlagNext) next = read.Text(), nextDisk = read.Text();
  if ((flags & kFlagNext) && next.empty()) return CabinetRead::kBroken;

  std::vector<Folder> found;
  for (uint16_t i = 0; i < folderCount && read.ok(); ++i) {
    Folder folder;
    uint32_t dataOffset = read.U32();
    uint16_t blocks = read.U16();
    folder.compression = read.U16() & 0x0F;
    read.Skip(folderReserve);
    folder.segments.push_back({cabinets_.size(), dataOffset, blocks});
    if (read.ok() && folder.compression != kStored && folder.compression != kMsZip) return CabinetRead::kOtherCompression;
    found.push_back(std::move(folder));
  }

  read.Seek(filesAt);
  std::vector<CabinetEntry> starting;
  bool continued = false;
  uint32_t firstFolderStart = std::numeric_limits<uint32_t>::max();  // the lowest offset a member of folder 0 has
  for (uint16_t i = 0; i < fileCount && read.ok(); ++i) {
    CabinetEntry entry;
    entry.member.size = read.U32();
    entry.offset = read.U32();
    uint16_t folder = read.U16();
    entry.member.date = read.U16();
    entry.member.time = read.U16();
    entry.member.attributes = read.U16();
    entry.member.name = read.Text();
    if (folder == kFromPrevious || folder == kPreviousAndNext) {
      continued = true;  // listed already by the cabinet where it starts
      continue;
    }
    if (folder == kToNext) folder = static_cast<uint16_t>(folderCount - 1);
    if (folder >= folderCount) return CabinetRead::kBroken;
    if (folder == 0) firstFolderStart = std::min(firstFolderStart, entry.offset);
    entry.folder = folder;
    starting.push_back(std::move(entry));
  }
  if (!read.ok()) return CabinetRead::kBroken;
  // Read from here, a folder that began in an earlier cabinet would be decoded from its middle as
  // if it began here, and its members would come out with the wrong bytes. Such a folder shows as
  // a member carried on from the earlier cabinet, or, when a member happened to end there, as
  // members whose offsets count bytes this cabinet does not hold.
  if (first && (continued || ((flags & kFlagPrevious) && firstFolderStart != 0 &&
                              firstFolderStart != std::numeric_limits<uint32_t>::max())))
    return CabinetRead::kStartsMidSet;

  // A cabinet that carries on a member from the one before carries on that cabinet's last folder.
  size_t base = folders_.size();
  bool merge = continued && !first && !found.empty() && !folders_.empty();
  if (merge) {
    if (folders_.back().compression != found.front().compression) return CabinetRead::kBroken;
    folders_.back().segments.push_back(found.front().segments.front());
    base -= 1;
  }
  for (size_t i = merge ? 1 : 0; i < found.size(); ++i) folders_.push_back(std::move(found[i]));
  for (CabinetEntry& entry : starting) {
    entry.folder += base;
    entries_.push_back(std::move(entry));
  }
  in->clear();
  cabinet->in = std::move(in);
  cabinets_.push_back(std::move(cabinet));
  place_ = place;
  return CabinetRead::kOk;
}

const CabinetEntry* CabinetReader::Find(const std::string& name) const {
  auto found = byName_.find(Lower(name));
  return found == byName_.end() ? nullptr : &entries_[found->second];
}

bool CabinetReader::StartFolder(size_t folder) {
  Decoder& d = *decoder_;
  if (folder >= folders_.size() || folders_[folder].segments.empty()) return false;
  d.folder = folder;
  d.segment = 0;
  d.blockInSegment = 0;
  d.position = folders_[folder].segments.front().dataOffset;
  d.blockStart = 0;
  d.block.clear();
  d.history.clear();
  return true;
}

// The next data block of the folder's current segment as stored, its checksum checked.
bool CabinetReader::ReadBlockPart(std::string& data, uint16_t& unpacked) {
  Decoder& d = *decoder_;
  const Folder& folder = folders_[d.folder];
  while (d.blockInSegment >= folder.segments[d.segment].blocks) {
    if (d.segment + 1 >= folder.segments.size()) return false;
    ++d.segment;
    d.blockInSegment = 0;
    d.position = folder.segments[d.segment].dataOffset;
  }
  Cabinet& cabinet = *cabinets_[folder.segments[d.segment].cabinet];
  FieldReader read(*cabinet.in);
  read.Seek(d.position);
  unsigned char header[8];
  read.Bytes(reinterpret_cast<char*>(header), sizeof header);
  read.Skip(cabinet.dataReserve);
  uint32_t sum = uint32_t(header[0]) | uint32_t(header[1]) << 8 | uint32_t(header[2]) << 16 | uint32_t(header[3]) << 24;
  size_t packedSize = header[4] | header[5] << 8;
  unpacked = static_cast<uint16_t>(header[6] | header[7] << 8);
  if (!read.ok() || data.size() + packedSize > kMaxPacked) return false;
  size_t at = data.size();
  data.resize(at + packedSize);
  read.Bytes(&data[at], packedSize);
  if (!read.ok()) return false;
  auto bytes = reinterpret_cast<const unsigned char*>(data.data()) + at;
  if (sum != 0 && Checksum(header + 4, 4, Checksum(bytes, packedSize, 0)) != sum) return false;
  d.position += sizeof header + cabinet.dataReserve + packedSize;
  ++d.blockInSegment;
  return true;
}

bool CabinetReader::NextBlock() {
  Decoder& d = *decoder_;
  const Folder& folder = folders_[d.folder];
  d.packed.clear();
  uint16_t unpacked = 0;
  if (!ReadBlockPart(d.packed, unpacked)) return false;
  // A block cut at the end of a cabinet says it unpacks to nothing; its rest opens the next one.
  while (unpacked == 0 && d.blockInSegment == folder.segments[d.segment].blocks &&
         d.segment + 1 < folder.segments.size())
    if (!ReadBlockPart(d.packed, unpacked)) return false;
  if (unpacked == 0 || unpacked > kMaxBlock) return false;

  d.blockStart += d.block.size();
  d.block.resize(unpacked);
  if (folder.compression == kStored) {
    if (d.packed.size() != unpacked) return false;
    d.block = d.packed;
  } else {
    if (!d.ready || d.packed.size() < 2 || d.packed[0] != 'C' || d.packed[1] != 'K') return false;
    if (inflateReset(&d.zlib) != Z_OK) return false;
    if (!d.history.empty() &&
        inflateSetDictionary(&d.zlib, reinterpret_cast<const Bytef*>(d.history.data()),
                             static_cast<uInt>(d.history.size())) != Z_OK)
      return false;
    d.zlib.next_in = reinterpret_cast<Bytef*>(&d.packed[2]);
    d.zlib.avail_in = static_cast<uInt>(d.packed.size() - 2);
    d.zlib.next_out = reinterpret_cast<Bytef*>(&d.block[0]);
    d.zlib.avail_out = unpacked;
    int result = inflate(&d.zlib, Z_SYNC_FLUSH);
    if (result != Z_STREAM_END && result != Z_OK && result != Z_BUF_ERROR) return false;
    if (d.zlib.avail_out != 0) return false;
    if (d.block.size() >= kWindow) {
      d.history.assign(d.block, d.block.size() - kWindow, kWindow);
    } else {
      d.history += d.block;
      if (d.history.size() > kWindow) d.history.erase(0, d.history.size() - kWindow);
    }
  }
  return true;
}

bool CabinetReader::Extract(const CabinetEntry& entry, const Sink& sink) {
  Decoder& d = *decoder_;
  uint64_t begin = entry.offset, end = begin + entry.member.size;
  if (begin == end) return true;
  if ((d.folder != entry.folder || d.blockStart > begin) && !StartFolder(entry.folder)) return false;
  for (;;) {
    uint64_t blockEnd = d.blockStart + d.block.size();
    if (begin < blockEnd && begin >= d.blockStart) {
      uint64_t to = std::min(end, blockEnd);
      if (!sink(d.block.data() + (begin - d.blockStart), static_cast<size_t>(to - begin))) return false;
      begin = to;
      if (begin == end) return true;
    }
    if (!NextBlock()) {
      d.folder = std::numeric_limits<size_t>::max();  // start over on the next call
      return false;
    }
  }
}

}  // namespace tw
