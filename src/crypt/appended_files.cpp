// Encoding and reading the single-file trailer. Every number read comes from a file that may have
// been cut short or altered, so each is checked against the data around it before it is used.
#include "crypt/appended_files.h"

#include <algorithm>
#include <cstring>

#include "crypt/sha.h"

namespace tw {
namespace {

constexpr size_t kEntryFixedSize = 8 + 8 + 32 + 1 + 2;
constexpr size_t kHashChunk = 1 << 16;

void PutLe(std::string& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

uint64_t GetLe(const std::string& in, size_t at, int bytes) {
  uint64_t value = 0;
  for (int i = bytes - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(in[at + i]);
  return value;
}

// The digest of nothing, which CSHA will not make.
const Sha256 kEmptyDigest = {0xe3, 0xb0, 0xc4, 0x42, 0x98, 0xfc, 0x1c, 0x14, 0x9a, 0xfb, 0xf4,
                             0xc8, 0x99, 0x6f, 0xb9, 0x24, 0x27, 0xae, 0x41, 0xe4, 0x64, 0x9b,
                             0x93, 0x4c, 0xa4, 0x95, 0x99, 0x1b, 0x78, 0x52, 0xb8, 0x55};

Sha256 DigestOf(const std::string& data) {
  if (data.empty()) return kEmptyDigest;
  CSHA sha;
  Sha256 digest{};
  sha.AddData(data.data(), static_cast<int>(data.size()));
  sha.FinalDigest(digest.data());
  return digest;
}

std::optional<std::string> ReadAt(std::istream& in, uint64_t offset, size_t size) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  std::string data(size, '\0');
  if (size && !in.read(&data[0], static_cast<std::streamsize>(size))) return std::nullopt;
  return data;
}

std::string EncodeDirectory(const AppendedTrailer& trailer) {
  std::string out;
  for (const AppendedFile& file : trailer.files) {
    PutLe(out, file.offset, 8);
    PutLe(out, file.size, 8);
    out.append(reinterpret_cast<const char*>(file.sha256.data()), file.sha256.size());
    out.push_back(file.payload ? 1 : file.head ? 2 : 0);
    PutLe(out, file.name.size(), 2);
    out += file.name;
  }
  return out;
}

// Parses count entries that must fill directory exactly.
std::optional<std::vector<AppendedFile>> DecodeDirectory(const std::string& directory, uint32_t count) {
  std::vector<AppendedFile> files;
  size_t at = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (directory.size() - at < kEntryFixedSize) return std::nullopt;
    AppendedFile file;
    file.offset = GetLe(directory, at, 8);
    file.size = GetLe(directory, at + 8, 8);
    std::memcpy(file.sha256.data(), directory.data() + at + 16, 32);
    const uint8_t kind = static_cast<uint8_t>(directory[at + 48]);
    const size_t nameSize = GetLe(directory, at + 49, 2);
    at += kEntryFixedSize;
    if (kind > 2 || nameSize == 0 || directory.size() - at < nameSize) return std::nullopt;
    file.payload = kind == 1;
    file.head = kind == 2;
    file.name = directory.substr(at, nameSize);
    at += nameSize;
    files.push_back(std::move(file));
  }
  if (at != directory.size()) return std::nullopt;
  return files;
}

TrailerResult Damaged(std::string reason) {
  TrailerResult result;
  result.status = TrailerRead::kDamaged;
  result.reason = std::move(reason);
  return result;
}

}  // namespace

std::string DigestedImage(std::string image) {
  auto zero = [&image](size_t at, size_t size) {
    if (at < image.size()) std::fill_n(image.begin() + at, std::min(size, image.size() - at), '\0');
  };
  zero(kStampOffset, kStampSize);
  if (image.size() < 0x40) return image;
  const size_t optional = static_cast<size_t>(GetLe(image, 0x3c, 4)) + 24;
  if (optional + 2 > image.size()) return image;
  const bool pe32 = GetLe(image, optional, 2) == 0x10b;
  zero(optional + 64, 4);                            // CheckSum
  zero(optional + (pe32 ? 96 : 112) + 4 * 8, 8);     // the security directory entry
  return image;
}

std::string EncodeStamp(const AppendedStamp& stamp) {
  std::string out(kStampMarker, 4);
  PutLe(out, stamp.dataStart, 8);
  PutLe(out, stamp.appendedSize, 8);
  return out;
}

std::optional<AppendedStamp> ReadStamp(std::istream& in) {
  std::optional<std::string> bytes = ReadAt(in, kStampOffset, kStampSize);
  if (!bytes || bytes->compare(0, 4, kStampMarker) != 0) return std::nullopt;
  return AppendedStamp{GetLe(*bytes, 4, 8), GetLe(*bytes, 12, 8)};
}

std::string EncodeTrailer(const AppendedTrailer& trailer, uint64_t fileSizeBefore) {
  const std::string directory = EncodeDirectory(trailer);
  const uint64_t unpadded = fileSizeBefore + directory.size() + kAppendedFooterSize;
  const size_t padding = static_cast<size_t>((8 - unpadded % 8) % 8);
  std::string out = directory + std::string(padding, '\0');
  const Sha256 directorySha = DigestOf(directory);
  out.append(reinterpret_cast<const char*>(directorySha.data()), directorySha.size());
  out.append(reinterpret_cast<const char*>(trailer.prefixSha256.data()), trailer.prefixSha256.size());
  PutLe(out, trailer.dataStart, 8);
  PutLe(out, directory.size(), 8);
  PutLe(out, trailer.files.size(), 4);
  PutLe(out, kAppendedVersion, 4);
  PutLe(out, directory.size() + padding + kAppendedFooterSize, 8);
  out.append(kAppendedMagic, kAppendedMagicSize);
  return out;
}

std::optional<uint64_t> AppendedDataEnd(std::istream& in, uint64_t fileSize) {
  std::optional<std::string> dos = ReadAt(in, 0, 64);
  if (!dos || dos->compare(0, 2, "MZ") != 0) return std::nullopt;
  const uint64_t pe = GetLe(*dos, 0x3c, 4);
  // The signature, the file header and the optional header up to the end of its data directories.
  std::optional<std::string> headers = ReadAt(in, pe, 4 + 20 + 240);
  if (!headers || headers->compare(0, 4, std::string("PE\0\0", 4)) != 0) return std::nullopt;
  const size_t optional = 24;
  const uint64_t magic = GetLe(*headers, optional, 2);
  if (magic != 0x10b && magic != 0x20b) return std::nullopt;
  const size_t countAt = optional + (magic == 0x10b ? 92 : 108);
  const size_t directoriesAt = countAt + 4;
  constexpr int kSecurityDirectory = 4;
  if (GetLe(*headers, countAt, 4) <= kSecurityDirectory) return fileSize;
  const uint64_t tableStart = GetLe(*headers, directoriesAt + 8 * kSecurityDirectory, 4);
  const uint64_t tableSize = GetLe(*headers, directoriesAt + 8 * kSecurityDirectory + 4, 4);
  if (tableStart == 0 || tableSize == 0) return fileSize;
  if (tableStart > fileSize || tableSize > fileSize - tableStart) return std::nullopt;
  return tableStart;
}

TrailerResult ReadTrailer(std::istream& in, uint64_t dataEnd) {
  const std::optional<AppendedStamp> stamp = ReadStamp(in);
  if (!stamp) return {};
  if (stamp->dataStart > dataEnd || stamp->appendedSize > dataEnd - stamp->dataStart) return Damaged("cut-short");
  const uint64_t footerEnd = stamp->dataStart + stamp->appendedSize;
  const uint64_t padding = dataEnd - footerEnd;
  std::optional<std::string> after = padding <= kMaxAppendedPadding ? ReadAt(in, footerEnd, static_cast<size_t>(padding))
                                                                     : std::nullopt;
  if (!after || after->find_first_not_of('\0') != std::string::npos) return Damaged("after-trailer");
  if (footerEnd < kAppendedFooterSize) return Damaged("cut-short");
  std::optional<std::string> footer = ReadAt(in, footerEnd - kAppendedFooterSize, kAppendedFooterSize);
  if (!footer) return Damaged("footer-unreadable");
  if (footer->compare(kAppendedFooterSize - kAppendedMagicSize, kAppendedMagicSize, kAppendedMagic) != 0)
    return Damaged("magic");
  TrailerResult result;
  AppendedTrailer& trailer = result.trailer;
  Sha256 directorySha{};
  std::memcpy(directorySha.data(), footer->data(), 32);
  std::memcpy(trailer.prefixSha256.data(), footer->data() + 32, 32);
  trailer.dataStart = GetLe(*footer, 64, 8);
  const uint64_t directorySize = GetLe(*footer, 72, 8);
  const uint32_t count = static_cast<uint32_t>(GetLe(*footer, 80, 4));
  const uint32_t version = static_cast<uint32_t>(GetLe(*footer, 84, 4));
  const uint64_t trailerSize = GetLe(*footer, 88, 8);
  if (version != kAppendedVersion) return Damaged("version");
  if (count == 0 || count > kMaxAppendedFiles || directorySize > kMaxDirectorySize ||
      directorySize < uint64_t{count} * kEntryFixedSize)
    return Damaged("counts");
  if (trailerSize > footerEnd || trailerSize < directorySize + kAppendedFooterSize ||
      trailerSize - directorySize - kAppendedFooterSize >= 8)
    return Damaged("trailer-size");
  result.trailerStart = footerEnd - trailerSize;
  if (trailer.dataStart != stamp->dataStart || trailer.dataStart > result.trailerStart) return Damaged("data-start");
  std::optional<std::string> directory = ReadAt(in, result.trailerStart, static_cast<size_t>(directorySize));
  if (!directory || DigestOf(*directory) != directorySha) return Damaged("directory-digest");
  std::optional<std::vector<AppendedFile>> files = DecodeDirectory(*directory, count);
  if (!files) return Damaged("directory-entries");
  int payloads = 0, heads = 0;
  const AppendedFile* cabinet = nullptr;
  for (const AppendedFile& file : *files) {
    if (file.offset < trailer.dataStart || file.offset > result.trailerStart ||
        file.size > result.trailerStart - file.offset)
      return Damaged("file-range");
    payloads += file.payload ? 1 : 0;
    heads += file.head ? 1 : 0;
    if (file.payload) cabinet = &file;
  }
  if (payloads != 1) return Damaged("payload-count");
  for (const AppendedFile& file : *files)
    if (file.head && (heads > 1 || file.offset != cabinet->offset || file.size > cabinet->size)) return Damaged("head");
  trailer.files = std::move(*files);
  result.status = TrailerRead::kOk;
  return result;
}

std::optional<Sha256> HashRange(std::istream& in, uint64_t offset, uint64_t size, const std::atomic<bool>* stop) {
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  if (!in) return std::nullopt;
  if (size == 0) return kEmptyDigest;
  CSHA sha;
  std::string chunk(kHashChunk, '\0');
  for (uint64_t left = size; left > 0;) {
    if (stop && stop->load()) return std::nullopt;
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(left, kHashChunk));
    if (!in.read(&chunk[0], static_cast<std::streamsize>(piece))) return std::nullopt;
    sha.AddData(chunk.data(), static_cast<int>(piece));
    left -= piece;
  }
  Sha256 digest{};
  sha.FinalDigest(digest.data());
  return digest;
}

}  // namespace tw
