// The PNG writer: its output read back chunk by chunk, the zlib stream's stored blocks undone, and
// the checksums checked against their published test values.
#include <gtest/gtest.h>

#include <vector>

#include "support/png_writer.h"

namespace tw {
namespace {

uint32_t Big32(const std::string& bytes, size_t at) {
  uint32_t value = 0;
  for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
  return value;
}

// Bit by bit, as the format's text gives it, so it shares nothing with the writer's table.
uint32_t ReferenceCrc(const std::string& bytes) {
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : bytes) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

struct Chunk {
  std::string type, data;
};

// Walks the chunks after the signature; fails the test on a wrong length or CRC.
std::vector<Chunk> ReadChunks(const std::string& png) {
  std::vector<Chunk> chunks;
  size_t at = 8;
  while (at < png.size()) {
    uint32_t length = Big32(png, at);
    Chunk chunk{png.substr(at + 4, 4), png.substr(at + 8, length)};
    EXPECT_EQ(ReferenceCrc(chunk.type + chunk.data), Big32(png, at + 8 + length)) << chunk.type;
    chunks.push_back(chunk);
    at += 12 + length;
  }
  EXPECT_EQ(at, png.size());
  return chunks;
}

// Undoes a zlib stream of stored blocks; fails the test on anything else.
std::string Unstore(const std::string& zlib, int& blocks) {
  EXPECT_EQ(0x78, static_cast<unsigned char>(zlib.at(0)));
  EXPECT_EQ(0, (static_cast<unsigned char>(zlib[0]) * 256 + static_cast<unsigned char>(zlib[1])) % 31);
  std::string raw;
  size_t at = 2;
  bool last = false;
  blocks = 0;
  while (!last) {
    unsigned char head = static_cast<unsigned char>(zlib.at(at));
    EXPECT_EQ(0, head & 0x6) << "not a stored block";
    last = head & 1;
    size_t length = static_cast<unsigned char>(zlib.at(at + 1)) | static_cast<unsigned char>(zlib.at(at + 2)) << 8;
    size_t check = static_cast<unsigned char>(zlib.at(at + 3)) | static_cast<unsigned char>(zlib.at(at + 4)) << 8;
    EXPECT_EQ(0xFFFFu, length ^ check);
    raw += zlib.substr(at + 5, length);
    at += 5 + length;
    ++blocks;
  }
  uint32_t a = 1, b = 0;
  for (unsigned char c : raw) a = (a + c) % 65521, b = (b + a) % 65521;
  EXPECT_EQ((b << 16) | a, Big32(zlib, at));
  EXPECT_EQ(at + 4, zlib.size());
  return raw;
}

TEST(PngWriterTest, ChecksumsMatchTheirPublishedValues) {
  EXPECT_EQ(0xCBF43926u, Crc32("123456789"));
  EXPECT_EQ(0x11E60398u, Adler32("Wikipedia"));
}

TEST(PngWriterTest, PictureReadsBackRowByRowAcrossSeveralBlocks) {
  const int width = 200, height = 120;  // 72,120 bytes of rows: two stored blocks
  std::string rgb;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) rgb += {static_cast<char>(x), static_cast<char>(y), static_cast<char>(x ^ y)};
  std::string png = EncodePng(width, height, rgb);

  ASSERT_EQ(std::string("\x89PNG\r\n\x1A\n", 8), png.substr(0, 8));
  std::vector<Chunk> chunks = ReadChunks(png);
  ASSERT_EQ(3u, chunks.size());
  EXPECT_EQ("IHDR", chunks[0].type);
  EXPECT_EQ("IDAT", chunks[1].type);
  EXPECT_EQ("IEND", chunks[2].type);
  EXPECT_TRUE(chunks[2].data.empty());
  ASSERT_EQ(13u, chunks[0].data.size());
  EXPECT_EQ(static_cast<uint32_t>(width), Big32(chunks[0].data, 0));
  EXPECT_EQ(static_cast<uint32_t>(height), Big32(chunks[0].data, 4));
  EXPECT_EQ(std::string("\x08\x02\x00\x00\x00", 5), chunks[0].data.substr(8));

  int blocks = 0;
  std::string raw = Unstore(chunks[1].data, blocks);
  EXPECT_EQ(2, blocks);
  ASSERT_EQ(static_cast<size_t>(height) * (1 + width * 3), raw.size());
  for (int y = 0; y < height; ++y) {
    size_t row = static_cast<size_t>(y) * (1 + width * 3);
    ASSERT_EQ('\0', raw[row]) << "filter of row " << y;
    ASSERT_EQ(rgb.substr(static_cast<size_t>(y) * width * 3, width * 3), raw.substr(row + 1, width * 3)) << "row " << y;
  }
}

TEST(PngWriterTest, RefusesSizesThatDoNotMatchThePixels) {
  EXPECT_EQ("", EncodePng(0, 1, ""));
  EXPECT_EQ("", EncodePng(2, 2, std::string(11, '\0')));
  EXPECT_NE("", EncodePng(2, 2, std::string(12, '\0')));
}

}  // namespace
}  // namespace tw
