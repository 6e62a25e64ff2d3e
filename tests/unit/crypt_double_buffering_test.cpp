// CDoubleBuffering: construction and GetData checks, and the chunk sequence (whole chunks, one final
// short chunk, then 0 for ever) for every input length around the buffer's boundaries.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "crypt/double_buffering.h"
#include "crypt/file_crypt_error.h"
#include "crypt_test_support.h"

namespace tw {
namespace {

using crypt_test::MessageOf;
using crypt_test::RandomBytes;

TEST(DoubleBuffering, OddSizeIsRefusedFirst) {
  std::istringstream in("data");
  in.setstate(std::ios::badbit);
  char buffer[1024];
  EXPECT_EQ("CDoubleBuffering: m_iSize should be Even Number!",
            MessageOf([&] { CDoubleBuffering(in, buffer, 1023, 0); }));
}

TEST(DoubleBuffering, UnopenedOrBadStreamIsRefusedBeforeTheDataLength) {
  char buffer[1024];
  const std::string message = "CDoubleBuffering: Referenced File not Opened or in Bad State!";
  std::ifstream neverOpened;
  EXPECT_EQ(message, MessageOf([&] { CDoubleBuffering(neverOpened, buffer, 1024, 0); }));
  std::ifstream missing("/nonexistent/tarnwick/file", std::ios::binary);
  EXPECT_EQ(message, MessageOf([&] { CDoubleBuffering(missing, buffer, 1024, 384); }));
  std::istringstream bad("data");
  bad.setstate(std::ios::badbit);
  EXPECT_EQ(message, MessageOf([&] { CDoubleBuffering(bad, buffer, 1024, 384); }));
}

TEST(DoubleBuffering, DataLengthMustFitHalfTheBuffer) {
  char buffer[1024];
  const std::string message = "CDoubleBuffering: Illegal Construction Data!";
  for (int length : {0, -1, 513}) {
    std::istringstream in("data");
    EXPECT_EQ(message, MessageOf([&] { CDoubleBuffering(in, buffer, 1024, length); })) << length;
  }
  std::istringstream in("data");
  EXPECT_EQ("<no error>", MessageOf([&] { CDoubleBuffering(in, buffer, 1024, 512); }));
}

TEST(DoubleBuffering, GetDataLengthMustFitHalfTheBuffer) {
  std::istringstream in(std::string(2000, 'z'));
  char buffer[1024];
  char out[1024];
  CDoubleBuffering reader(in, buffer, 1024, 384);
  for (int length : {0, -2, 513}) {
    EXPECT_EQ("CDoubleBuffering::GetData(): Illegal iDataLen!", MessageOf([&] { reader.GetData(out, length); }))
        << length;
  }
  EXPECT_EQ(512, reader.GetData(out, 512));
}

// Reads everything with a fixed chunk length and checks the shape of the sequence.
void CheckSequence(const std::string& input, int bufferSize, int chunk) {
  std::istringstream in(input);
  std::vector<char> buffer(static_cast<size_t>(bufferSize));
  std::vector<char> out(static_cast<size_t>(chunk));
  CDoubleBuffering reader(in, buffer.data(), bufferSize, chunk);
  std::string collected;
  std::vector<int> counts;
  for (int guard = 0; guard < 100000; ++guard) {
    const int n = reader.GetData(out.data(), -1);
    counts.push_back(n);
    if (n == 0) break;
    collected.append(out.data(), static_cast<size_t>(n));
  }
  ASSERT_EQ(input, collected) << "length " << input.size() << " chunk " << chunk;
  const size_t whole = input.size() / static_cast<size_t>(chunk);
  const int rest = static_cast<int>(input.size() % static_cast<size_t>(chunk));
  // Whole chunks, then the remainder when there is one, then 0.
  std::vector<int> expected(whole, chunk);
  if (rest > 0) expected.push_back(rest);
  expected.push_back(0);
  EXPECT_EQ(expected, counts) << "length " << input.size() << " chunk " << chunk;
  EXPECT_EQ(0, reader.GetData(out.data(), -1));
  EXPECT_EQ(0, reader.GetData(out.data(), 1));
}

TEST(DoubleBuffering, HandsOutWholeChunksThenTheRemainderThenZero) {
  const std::string data = RandomBytes(5000, 77);
  for (int chunk : {384, 512, 1, 100, 511, 256}) {
    for (size_t length : {0u, 1u, 100u, 383u, 384u, 385u, 511u, 512u, 513u, 767u, 768u, 769u, 1023u, 1024u, 1025u,
                          1152u, 1536u, 2048u, 3071u, 4999u}) {
      CheckSequence(data.substr(0, length), 1024, chunk);
    }
  }
}

TEST(DoubleBuffering, EveryLengthUpToSeveralBuffersWithSmallBuffer) {
  const std::string data = RandomBytes(400, 78);
  for (int chunk = 1; chunk <= 8; ++chunk) {
    for (size_t length = 0; length <= data.size(); ++length) CheckSequence(data.substr(0, length), 16, chunk);
  }
}

TEST(DoubleBuffering, ChangingChunkLengthsStillDeliverEveryByteInOrder) {
  const std::string data = RandomBytes(20000, 79);
  std::mt19937 rng(80);
  std::istringstream in(data);
  char buffer[1024];
  char out[512];
  CDoubleBuffering reader(in, buffer, 1024, 384);
  std::string collected;
  for (;;) {
    const int want = 1 + static_cast<int>(rng() % 512);
    const int n = reader.GetData(out, want);
    ASSERT_LE(n, want);
    collected.append(out, static_cast<size_t>(n));
    if (n < want) break;
  }
  EXPECT_EQ(data, collected);
  EXPECT_EQ(0, reader.GetData(out, -1));
}

TEST(DoubleBuffering, StartsReadingWhereTheStreamStands) {
  std::istringstream in("HEADERbody");
  char header[6];
  in.read(header, 6);
  char buffer[64];
  char out[32];
  CDoubleBuffering reader(in, buffer, 64, 32);
  EXPECT_EQ(4, reader.GetData(out, -1));
  EXPECT_EQ("body", std::string(out, 4));
}

}  // namespace
}  // namespace tw
