// The files a single-file setup carries after its own program image, and the trailer that lists
// them with their SHA-256: written by tarnwick-pack, read by setup.exe before it trusts a byte.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <istream>
#include <optional>
#include <string>
#include <vector>

namespace tw {

using Sha256 = std::array<uint8_t, 32>;

// A single file says so in its DOS header's reserved words (which no loader reads), with where its
// appended data starts and how long it is, so a copy cut short is known as such, not taken for a
// plain setup.exe. The Authenticode signature covers these bytes like the rest.
constexpr size_t kStampOffset = 0x28;
constexpr size_t kStampSize = 20;
constexpr char kStampMarker[] = "TWSF";
// The trailer ends with these 16 bytes.
constexpr char kAppendedMagic[] = "TARNWICK-SFX-V01";
constexpr size_t kAppendedMagicSize = 16;
constexpr uint32_t kAppendedVersion = 1;
// The fixed part at the end of the trailer: two digests, four numbers, the size and the magic.
constexpr size_t kAppendedFooterSize = 112;
// Bounds that keep a damaged trailer from making us read or allocate without end.
constexpr uint32_t kMaxAppendedFiles = 4096;
constexpr uint64_t kMaxDirectorySize = 1 << 20;
// Signing tools pad the file before the certificate table; this much zero padding is skipped.
constexpr size_t kMaxAppendedPadding = 4096;

struct AppendedFile {
  std::string name;      // relative path inside the shipped folder, "\\" between folders
  uint64_t offset = 0;   // from the start of the program file
  uint64_t size = 0;
  Sha256 sha256{};
  bool payload = false;  // the payload cabinet, checked on its own while the wizard runs
  // The cabinet's first size bytes (same offset): its headers and the support files the start
  // page unpacks, checked with the small files.
  bool head = false;
};

struct AppendedTrailer {
  uint64_t dataStart = 0;  // where the first appended file begins: the program image's size
  std::vector<AppendedFile> files;
  Sha256 prefixSha256{};   // every byte before the trailer, as DigestedImage gives the headers
};

struct AppendedStamp {
  uint64_t dataStart = 0;     // the program image's size
  uint64_t appendedSize = 0;  // the files and the trailer
};

// The program's bytes as the whole-file digest sees them: the stamp, the PE checksum and the
// security directory entry taken as zero, so signing (which rewrites the last two) leaves the
// digest as it was. image holds at least the headers.
std::string DigestedImage(std::string image);

// The 20 bytes written at kStampOffset.
std::string EncodeStamp(const AppendedStamp& stamp);
// The stamp of a program file; nothing when its DOS header does not carry one.
std::optional<AppendedStamp> ReadStamp(std::istream& in);

// The directory, zero padding so the whole file ends on eight bytes (fileSizeBefore is what comes
// before the trailer), and the footer.
std::string EncodeTrailer(const AppendedTrailer& trailer, uint64_t fileSizeBefore);

enum class TrailerRead { kOk, kNone, kDamaged };

struct TrailerResult {
  TrailerRead status = TrailerRead::kNone;
  AppendedTrailer trailer;
  uint64_t trailerStart = 0;  // the first byte of the directory
  std::string reason;         // kDamaged: what did not hold, for the trace
};

// Where our data ends in a program file of fileSize bytes: the start of the certificate table the
// PE header's security directory names (a signature follows our data), else the file's end.
// Nothing when the file is not a PE image or the table lies outside the file.
std::optional<uint64_t> AppendedDataEnd(std::istream& in, uint64_t fileSize);

// Reads the trailer the stamp places before dataEnd (up to kMaxAppendedPadding zero bytes may come
// between). kNone without a stamp (a plain setup.exe), kDamaged when anything does not hold: data
// beyond dataEnd (a copy cut short), no magic where the stamp says, a directory that fails its
// digest or does not parse, a file outside the data, not exactly one payload cabinet, more than
// one cabinet head or one that is not the cabinet's start.
TrailerResult ReadTrailer(std::istream& in, uint64_t dataEnd);

// The SHA-256 of size bytes at offset; nothing when they cannot all be read or stop turns true.
std::optional<Sha256> HashRange(std::istream& in, uint64_t offset, uint64_t size,
                                const std::atomic<bool>* stop = nullptr);

}  // namespace tw
