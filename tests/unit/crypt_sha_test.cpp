// SHA-256: the FIPS 180-2 examples, splitting the input anywhere, reuse after a digest, and the
// two misuse errors.
#include <gtest/gtest.h>

#include <string>

#include "crypt/file_crypt_error.h"
#include "crypt/sha.h"
#include "crypt_test_support.h"

namespace tw {
namespace {

using crypt_test::RandomBytes;
using crypt_test::ToHex;

std::string Digest(CSHA& sha) {
  unsigned char out[32];
  sha.FinalDigest(out);
  return ToHex(out, 32);
}

std::string DigestOf(const std::string& text) {
  CSHA sha;
  sha.AddData(text.data(), static_cast<int>(text.size()));
  return Digest(sha);
}

TEST(ShaDigest, MatchesTheFips180Examples) {
  EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", DigestOf("abc"));
  EXPECT_EQ("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1",
            DigestOf("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"));
}

TEST(ShaDigest, OneMillionLettersAFedInPieces) {
  CSHA sha;
  const std::string piece(1000, 'a');
  for (int i = 0; i < 1000; ++i) sha.AddData(piece.data(), static_cast<int>(piece.size()));
  EXPECT_EQ("cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0", Digest(sha));
}

TEST(ShaDigest, PaddingBoundariesGiveKnownDigests) {
  // 55 bytes fit one block with the length; 56 need a second block; 64 is exactly one block.
  EXPECT_EQ("9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318", DigestOf(std::string(55, 'a')));
  EXPECT_EQ("b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a", DigestOf(std::string(56, 'a')));
  EXPECT_EQ("ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb", DigestOf(std::string(64, 'a')));
}

TEST(ShaDigest, SplittingTheInputAnywhereGivesTheSameDigest) {
  const std::string data = RandomBytes(300, 42);
  const std::string whole = DigestOf(data);
  for (size_t first : {1u, 63u, 64u, 65u, 128u, 299u}) {
    for (size_t second : {1u, 17u, 64u}) {
      if (first + second >= data.size()) continue;
      CSHA sha;
      sha.AddData(data.data(), static_cast<int>(first));
      sha.AddData(data.data() + first, static_cast<int>(second));
      sha.AddData(data.data() + first + second, static_cast<int>(data.size() - first - second));
      EXPECT_EQ(whole, Digest(sha)) << first << "+" << second;
    }
  }
}

TEST(ShaDigest, FinalDigestReturnsTheObjectToItsInitialState) {
  CSHA sha;
  sha.AddData("xyz", 3);
  Digest(sha);
  sha.AddData("abc", 3);
  EXPECT_EQ("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad", Digest(sha));
}

TEST(ShaDigest, MisuseRaisesItsMessage) {
  CSHA sha;
  unsigned char out[32];
  try {
    sha.AddData("abc", 0);
    ADD_FAILURE();
  } catch (const FileCryptError& e) {
    EXPECT_STREQ("FileCrypt ERROR: in CSHA::AddData(), Data Length should be > 0!", e.what());
  }
  try {
    sha.FinalDigest(out);
    ADD_FAILURE();
  } catch (const FileCryptError& e) {
    EXPECT_STREQ("FileCrypt ERROR: in CSHA::FinalDigest(), No data Added before call!", e.what());
  }
  sha.AddData("abc", 3);
  sha.FinalDigest(out);
  EXPECT_THROW(sha.FinalDigest(out), FileCryptError);  // twice in a row
}

}  // namespace
}  // namespace tw

namespace tw {
namespace {

// The processor's SHA instructions (where this machine has them) give what the portable code gives,
// for every length around the block size and fed in uneven pieces.
TEST(ShaDigest, TheProcessorsInstructionsAgreeWithThePortableCode) {
  const std::string data = crypt_test::RandomBytes(5000, 7);
  for (size_t length : {1u, 55u, 56u, 63u, 64u, 65u, 127u, 128u, 129u, 1000u, 4096u, 5000u}) {
    for (size_t piece : {1u, 17u, 64u, 100u, 5000u}) {
      CSHA fast(true), portable(false);
      for (size_t at = 0; at < length; at += piece) {
        const int size = static_cast<int>(std::min(piece, length - at));
        fast.AddData(data.data() + at, size);
        portable.AddData(data.data() + at, size);
      }
      EXPECT_EQ(Digest(fast), Digest(portable)) << "length " << length << " in pieces of " << piece;
    }
  }
}

}  // namespace
}  // namespace tw
