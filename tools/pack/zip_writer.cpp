// Each member is deflated straight from its file into the archive, so a payload of any size takes
// only a buffer's worth of memory; the local header's CRC and sizes are filled in afterwards.
#include "zip_writer.h"

#include <zlib.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace tw::pack {
namespace {

constexpr uint32_t kLocalHeader = 0x04034b50;
constexpr uint32_t kCentralHeader = 0x02014b50;
constexpr uint32_t kEndOfCentral = 0x06054b50;
constexpr uint16_t kVersion = 20;           // 2.0: deflate, folders
constexpr uint16_t kFlagUtf8 = 1u << 11;    // names are UTF-8
constexpr uint16_t kDeflated = 8;
constexpr uint64_t kZipLimit = 0xFFFFFFFFu;  // beyond this the archive needs Zip64
constexpr size_t kMaxMembers = 0xFFFF;
constexpr size_t kChunk = 1 << 16;
// Where the CRC, then the two sizes, sit in a local header.
constexpr std::streamoff kLocalCrcOffset = 14;

struct Written {
  std::string name;
  uint16_t time = 0, date = 0;
  uint32_t crc = 0;
  uint64_t packed = 0, size = 0, offset = 0;
};

class LittleEndian {
 public:
  LittleEndian& U16(uint16_t value) {
    bytes_ += static_cast<char>(value & 0xFF);
    bytes_ += static_cast<char>(value >> 8);
    return *this;
  }
  LittleEndian& U32(uint32_t value) {
    return U16(static_cast<uint16_t>(value)).U16(static_cast<uint16_t>(value >> 16));
  }
  LittleEndian& Text(const std::string& text) {
    bytes_ += text;
    return *this;
  }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// The file's time as MS-DOS keeps it (local time, two-second steps); before 1980 it cannot say.
void DosTime(const fs::path& file, Written& member) {
  const auto sinceNow = fs::last_write_time(file) - fs::file_time_type::clock::now();
  const std::time_t when = std::chrono::system_clock::to_time_t(
      std::chrono::system_clock::now() + std::chrono::duration_cast<std::chrono::system_clock::duration>(sinceNow));
  std::tm local{};
  if (!localtime_r(&when, &local) || local.tm_year < 80) {
    member.date = 1 << 5 | 1;  // 1980-01-01
    return;
  }
  member.time = static_cast<uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | local.tm_sec / 2);
  member.date = static_cast<uint16_t>((local.tm_year - 80) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
}

std::string LocalHeader(const Written& member) {
  LittleEndian header;
  header.U32(kLocalHeader).U16(kVersion).U16(kFlagUtf8).U16(kDeflated).U16(member.time).U16(member.date);
  header.U32(member.crc).U32(static_cast<uint32_t>(member.packed)).U32(static_cast<uint32_t>(member.size));
  header.U16(static_cast<uint16_t>(member.name.size())).U16(0).Text(member.name);
  return header.Bytes();
}

void Put(std::ofstream& out, const std::string& bytes, const fs::path& zip) {
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + zip.string());
}

// Deflates the source into out, counting its size and CRC as it goes.
void Deflate(const fs::path& source, std::ofstream& out, const fs::path& zip, Written& member) {
  std::ifstream in(source, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + source.string());
  z_stream stream{};
  // Negative window bits: raw deflate, the framing a zip member uses.
  if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("cannot start compressing " + source.string());
  std::string input(kChunk, '\0'), output(kChunk, '\0');
  uLong crc = crc32(0, nullptr, 0);
  int status = Z_OK;
  while (status != Z_STREAM_END) {
    in.read(&input[0], kChunk);
    const auto got = static_cast<uInt>(in.gcount());
    if (in.bad()) break;
    crc = crc32(crc, reinterpret_cast<const Bytef*>(input.data()), got);
    member.size += got;
    stream.next_in = reinterpret_cast<Bytef*>(&input[0]);
    stream.avail_in = got;
    const int flush = in.eof() ? Z_FINISH : Z_NO_FLUSH;
    do {
      stream.next_out = reinterpret_cast<Bytef*>(&output[0]);
      stream.avail_out = kChunk;
      status = deflate(&stream, flush);
      const size_t produced = kChunk - stream.avail_out;
      out.write(output.data(), static_cast<std::streamsize>(produced));
      member.packed += produced;
    } while (stream.avail_out == 0);
  }
  deflateEnd(&stream);
  if (in.bad()) throw std::runtime_error("cannot read " + source.string());
  if (!out) throw std::runtime_error("cannot write " + zip.string());
  member.crc = static_cast<uint32_t>(crc);
}

Written AddMember(const ZipMember& from, std::ofstream& out, const fs::path& zip) {
  Written member;
  member.name = from.name;
  if (member.name.empty() || member.name.size() > 0xFFFF)
    throw std::runtime_error("no zip member can be named " + member.name);
  member.offset = static_cast<uint64_t>(out.tellp());
  DosTime(from.source, member);
  Put(out, LocalHeader(member), zip);
  Deflate(from.source, out, zip, member);
  if (member.size >= kZipLimit || static_cast<uint64_t>(out.tellp()) >= kZipLimit)
    throw std::runtime_error(zip.string() + " would pass 4 GiB at " + from.source.string() +
                             ", more than a zip without Zip64 holds");
  const std::streamoff end = out.tellp();
  out.seekp(static_cast<std::streamoff>(member.offset) + kLocalCrcOffset);
  LittleEndian sums;
  sums.U32(member.crc).U32(static_cast<uint32_t>(member.packed)).U32(static_cast<uint32_t>(member.size));
  Put(out, sums.Bytes(), zip);
  out.seekp(end);
  return member;
}

std::string CentralDirectory(const std::vector<Written>& members, uint64_t start) {
  LittleEndian directory;
  for (const Written& member : members) {
    directory.U32(kCentralHeader).U16(kVersion).U16(kVersion).U16(kFlagUtf8).U16(kDeflated);
    directory.U16(member.time).U16(member.date).U32(member.crc);
    directory.U32(static_cast<uint32_t>(member.packed)).U32(static_cast<uint32_t>(member.size));
    directory.U16(static_cast<uint16_t>(member.name.size())).U16(0).U16(0);  // extra, comment
    directory.U16(0).U16(0).U32(0);                                           // disk, attributes
    directory.U32(static_cast<uint32_t>(member.offset)).Text(member.name);
  }
  const auto size = static_cast<uint32_t>(directory.Bytes().size());
  const auto count = static_cast<uint16_t>(members.size());
  directory.U32(kEndOfCentral).U16(0).U16(0).U16(count).U16(count).U32(size).U32(static_cast<uint32_t>(start)).U16(0);
  return directory.Bytes();
}

void WriteMembers(const fs::path& zip, const std::vector<ZipMember>& members) {
  std::ofstream out(zip, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("cannot write " + zip.string());
  std::vector<Written> written;
  for (const ZipMember& member : members) written.push_back(AddMember(member, out, zip));
  const std::string directory = CentralDirectory(written, static_cast<uint64_t>(out.tellp()));
  if (static_cast<uint64_t>(out.tellp()) + directory.size() >= kZipLimit)
    throw std::runtime_error(zip.string() + " would pass 4 GiB, more than a zip without Zip64 holds");
  Put(out, directory, zip);
  out.close();
  if (!out) throw std::runtime_error("cannot write " + zip.string());
}

}  // namespace

void WriteZip(const fs::path& zip, const std::vector<ZipMember>& members) {
  if (members.size() > kMaxMembers)
    throw std::runtime_error(zip.string() + " would hold " + std::to_string(members.size()) +
                             " files, more than a zip without Zip64 holds");
  const fs::path partial = zip.string() + ".partial";
  try {
    WriteMembers(partial, members);
  } catch (...) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    throw;
  }
  fs::rename(partial, zip);
}

}  // namespace tw::pack
