// A PNG is its signature and IHDR, IDAT and IEND chunks; IDAT holds a zlib stream whose deflate
// blocks are stored as they are, each at most 65535 bytes.
#include "support/png_writer.h"

#include <algorithm>
#include <array>

namespace tw {
namespace {

constexpr size_t kMaxStoredBlock = 65535;
constexpr char kSignature[] = "\x89PNG\r\n\x1A\n";

const std::array<uint32_t, 256>& CrcTable() {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

void PutBig32(std::string& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void PutChunk(std::string& out, const char* type, const std::string& data) {
  PutBig32(out, static_cast<uint32_t>(data.size()));
  std::string typed = std::string(type, 4) + data;
  out += typed;
  PutBig32(out, Crc32(typed));
}

// Each row starts with filter type 0 (none).
std::string FilteredRows(int width, int height, const std::string& rgbRows) {
  size_t rowBytes = static_cast<size_t>(width) * 3;
  std::string raw;
  raw.reserve((rowBytes + 1) * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw += '\0';
    raw.append(rgbRows, static_cast<size_t>(y) * rowBytes, rowBytes);
  }
  return raw;
}

// zlib header (deflate, 32K window, no dictionary), stored blocks, Adler-32 of the raw data.
std::string StoredZlib(const std::string& raw) {
  std::string out = "\x78\x01";
  size_t at = 0;
  do {
    size_t length = std::min(kMaxStoredBlock, raw.size() - at);
    bool last = at + length == raw.size();
    out += static_cast<char>(last ? 1 : 0);
    out += static_cast<char>(length & 0xFF);
    out += static_cast<char>(length >> 8);
    out += static_cast<char>(~length & 0xFF);
    out += static_cast<char>((~length >> 8) & 0xFF);
    out.append(raw, at, length);
    at += length;
  } while (at < raw.size());
  PutBig32(out, Adler32(raw));
  return out;
}

}  // namespace

uint32_t Crc32(const std::string& bytes) {
  const auto& table = CrcTable();
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t Adler32(const std::string& bytes) {
  constexpr uint32_t kModulus = 65521;
  uint32_t a = 1, b = 0;
  for (unsigned char c : bytes) {
    a = (a + c) % kModulus;
    b = (b + a) % kModulus;
  }
  return (b << 16) | a;
}

std::string EncodePng(int width, int height, const std::string& rgbRows) {
  if (width <= 0 || height <= 0) return std::string();
  if (rgbRows.size() != static_cast<size_t>(width) * 3 * static_cast<size_t>(height)) return std::string();
  std::string header;
  PutBig32(header, static_cast<uint32_t>(width));
  PutBig32(header, static_cast<uint32_t>(height));
  header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, truecolour, deflate, no filter choice, no interlace
  std::string png(kSignature, 8);
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", StoredZlib(FilteredRows(width, height, rgbRows)));
  PutChunk(png, "IEND", std::string());
  return png;
}

}  // namespace tw
