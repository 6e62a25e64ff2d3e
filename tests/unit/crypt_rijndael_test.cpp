// Rijndael cipher object: published vectors on both block paths, key set-up rules and check order,
// modes with the chain carried across calls, padding, and the not-initialised guard.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "crypt/file_crypt_error.h"
#include "crypt/rijndael_method.h"
#include "crypt_test_support.h"

namespace tw {
namespace {

using crypt_test::FromHex;
using crypt_test::RandomBytes;
using crypt_test::ToHex;

template <typename F>
void ExpectMessage(F&& call, const std::string& message) {
  EXPECT_EQ(message, crypt_test::MessageOf(call));
}

CRijndaelMethod Keyed(const std::string& key, int blockSize, int mode, const std::string& chain = std::string()) {
  CRijndaelMethod m;
  m.InitKey(key.data(), static_cast<int>(key.size()), chain.empty() ? nullptr : chain.data(),
            static_cast<int>(key.size()), blockSize, mode, CRijndaelMethod::PAD_ZEROES);
  return m;
}

std::string EncryptAll(CRijndaelMethod& m, const std::string& plain) {
  std::string out(plain.size(), '\0');
  m.Encrypt(plain.data(), &out[0], static_cast<int>(plain.size()));
  return out;
}

std::string DecryptAll(CRijndaelMethod& m, const std::string& cipher) {
  std::string out(cipher.size(), '\0');
  m.Decrypt(cipher.data(), &out[0], static_cast<int>(cipher.size()));
  return out;
}

struct Fips197Vector {
  const char* key;
  const char* plain;
  const char* cipher;
};

const Fips197Vector kFips197[] = {
    // Appendix B, and Appendix C.1 to C.3.
    {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734", "3925841d02dc09fbdc118597196a0b32"},
    {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff", "69c4e0d86a7b0430d8cdb78070b4c55a"},
    {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
     "dda97ca4864cdfe06eaf70a0ec0d7191"},
    {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f", "00112233445566778899aabbccddeeff",
     "8ea2b7ca516745bfeafc49904b496089"},
};

class RijndaelFips197 : public ::testing::TestWithParam<bool> {};

TEST_P(RijndaelFips197, EcbMatchesTheExampleVectors) {
  for (const auto& v : kFips197) {
    CRijndaelMethod m = Keyed(FromHex(v.key), 16, CRijndaelMethod::ECB);
    m.SetForceGeneralPath(GetParam());
    EXPECT_EQ(v.cipher, ToHex(EncryptAll(m, FromHex(v.plain)))) << "key " << v.key;
    EXPECT_EQ(v.plain, ToHex(DecryptAll(m, FromHex(v.cipher)))) << "key " << v.key;

    std::string block(16, '\0');
    m.EncryptBlock(FromHex(v.plain).data(), &block[0]);
    EXPECT_EQ(v.cipher, ToHex(block));
    m.DecryptBlock(FromHex(v.cipher).data(), &block[0]);
    EXPECT_EQ(v.plain, ToHex(block));
  }
}

INSTANTIATE_TEST_SUITE_P(BothBlockPaths, RijndaelFips197, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? std::string("GeneralPath") : std::string("SixteenBytePath");
                         });

TEST(RijndaelCipher, SixteenBytePathAgreesWithGeneralPathInEveryMode) {
  for (int keyLength : {16, 24, 32}) {
    for (int mode : {CRijndaelMethod::ECB, CRijndaelMethod::CBC, CRijndaelMethod::CFB}) {
      const std::string key = RandomBytes(static_cast<size_t>(keyLength), 7u + static_cast<uint32_t>(mode));
      const std::string chain = RandomBytes(16, 99);
      const std::string plain = RandomBytes(16 * 37, 3);
      CRijndaelMethod fast = Keyed(key, 16, mode, chain);
      CRijndaelMethod general = Keyed(key, 16, mode, chain);
      general.SetForceGeneralPath(true);
      const std::string cipher = EncryptAll(fast, plain);
      EXPECT_EQ(cipher, EncryptAll(general, plain)) << keyLength << "/" << mode;
      fast.ResetChaining();
      general.ResetChaining();
      EXPECT_EQ(plain, DecryptAll(fast, cipher));
      EXPECT_EQ(plain, DecryptAll(general, cipher));
    }
  }
}

TEST(RijndaelCipher, EveryBlockSizeKeyLengthAndModeRoundTrips) {
  for (int blockSize : {16, 24, 32}) {
    for (int keyLength : {16, 24, 32}) {
      for (int mode : {CRijndaelMethod::ECB, CRijndaelMethod::CBC, CRijndaelMethod::CFB}) {
        const std::string key = RandomBytes(static_cast<size_t>(keyLength), 11);
        const std::string plain = RandomBytes(static_cast<size_t>(blockSize) * 9, 12);
        CRijndaelMethod m = Keyed(key, blockSize, mode, RandomBytes(32, 13));
        const std::string cipher = EncryptAll(m, plain);
        EXPECT_NE(plain, cipher);
        m.ResetChaining();
        EXPECT_EQ(plain, DecryptAll(m, cipher)) << blockSize << "/" << keyLength << "/" << mode;
      }
    }
  }
}

TEST(RijndaelCipher, RoundsAreMaxOfKeyAndBlockWordsPlusSix) {
  const int expected[3][3] = {{10, 12, 14}, {12, 12, 14}, {14, 14, 14}};
  for (int k = 0; k < 3; ++k) {
    for (int b = 0; b < 3; ++b) {
      CRijndaelMethod m = Keyed(std::string(static_cast<size_t>(16 + 8 * k), 'k'), 16 + 8 * b, CRijndaelMethod::ECB);
      EXPECT_EQ(expected[k][b], m.Rounds());
    }
  }
}

TEST(RijndaelCipher, InPlaceOperationGivesTheSameResult) {
  for (int mode : {CRijndaelMethod::ECB, CRijndaelMethod::CBC, CRijndaelMethod::CFB}) {
    CRijndaelMethod m = Keyed(RandomBytes(16, 1), 24, mode, RandomBytes(24, 2));
    const std::string plain = RandomBytes(24 * 5, 3);
    const std::string cipher = EncryptAll(m, plain);
    std::string buffer = plain;
    m.ResetChaining();
    m.Encrypt(buffer.data(), &buffer[0], static_cast<int>(buffer.size()));
    EXPECT_EQ(cipher, buffer);
    m.ResetChaining();
    m.Decrypt(buffer.data(), &buffer[0], static_cast<int>(buffer.size()));
    EXPECT_EQ(plain, buffer);
  }
}

TEST(RijndaelKeySetup, ShortKeyMaterialIsRepeatedCyclically) {
  CRijndaelMethod m;
  m.InitKey(".k..om.%.70815", 14, nullptr, 16, 16, CRijndaelMethod::ECB, CRijndaelMethod::PAD_ZEROES);
  EXPECT_EQ(".k..om.%.70815.k", std::string(reinterpret_cast<const char*>(m.Key()), 16));

  m.InitKey("abc", 3, nullptr, 32, 16, CRijndaelMethod::ECB, CRijndaelMethod::PAD_ZEROES);
  EXPECT_EQ("abcabcabcabcabcabcabcabcabcabcab", std::string(reinterpret_cast<const char*>(m.Key()), 32));
}

TEST(RijndaelKeySetup, LongKeyMaterialIsCutToTheKeyLength) {
  const std::string material = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGH";
  CRijndaelMethod m;
  m.InitKey(material.data(), static_cast<int>(material.size()), nullptr, 24, 16, CRijndaelMethod::ECB,
            CRijndaelMethod::PAD_ZEROES);
  EXPECT_EQ(material.substr(0, 24), std::string(reinterpret_cast<const char*>(m.Key()), 24));
}

TEST(RijndaelKeySetup, ChecksComeInTheirFixedOrder) {
  CRijndaelMethod m;
  const char chain[32] = {};
  ExpectMessage([&] { m.InitKey(nullptr, 0, chain, 20, 20, 3, 5); }, "FileCrypt ERROR: No Key DataSpecified!");
  ExpectMessage([&] { m.InitKey("k", 0, chain, 20, 20, 3, 5); }, "FileCrypt ERROR: Key Data Length should be > 0!");
  ExpectMessage([&] { m.InitKey("k", -4, chain, 16, 16, 0, 0); }, "FileCrypt ERROR: Key Data Length should be > 0!");
  ExpectMessage([&] { m.InitKey("k", 1, chain, 20, 20, 3, 5); }, "Illegal Key Length!");
  ExpectMessage([&] { m.InitKey("k", 1, chain, 16, 20, 3, 5); }, "Illegal Block Size!");
  ExpectMessage([&] { m.InitKey("k", 1, chain, 16, 16, 3, 5); }, "FileCrypt ERROR: Illegal Operation Mode!");
  ExpectMessage([&] { m.InitKey("k", 1, chain, 16, 16, -1, 0); }, "FileCrypt ERROR: Illegal Operation Mode!");
  ExpectMessage([&] { m.InitKey("k", 1, chain, 16, 16, 2, 5); }, "FileCrypt ERROR: Illegal Padding Mode!");
  ExpectMessage([&] { m.InitKey("k", 1, chain, 16, 16, 2, -1); }, "FileCrypt ERROR: Illegal Padding Mode!");
  EXPECT_FALSE(m.IsInitialised());
}

TEST(RijndaelKeySetup, FailedInitKeyLeavesTheEarlierKeyInPlace) {
  CRijndaelMethod m = Keyed(FromHex("000102030405060708090a0b0c0d0e0f"), 16, CRijndaelMethod::ECB);
  ExpectMessage([&] { m.InitKey("other", 5, nullptr, 32, 32, CRijndaelMethod::CBC, 9); },
                "FileCrypt ERROR: Illegal Padding Mode!");
  EXPECT_TRUE(m.IsInitialised());
  EXPECT_EQ(16, m.BlockSize());
  EXPECT_EQ("69c4e0d86a7b0430d8cdb78070b4c55a", ToHex(EncryptAll(m, FromHex("00112233445566778899aabbccddeeff"))));
}

TEST(RijndaelKeySetup, RekeyingResetsTheChainToTheNewChainBlock) {
  const std::string key = RandomBytes(16, 5);
  const std::string plain = RandomBytes(48, 6);
  CRijndaelMethod m = Keyed(key, 16, CRijndaelMethod::CBC, std::string(16, 'c'));
  const std::string first = EncryptAll(m, plain);
  m.InitKey(key.data(), 16, std::string(16, 'c').data(), 16, 16, CRijndaelMethod::CBC, CRijndaelMethod::PAD_ZEROES);
  EXPECT_EQ(first, EncryptAll(m, plain));
}

TEST(RijndaelModes, ChainCarriesAcrossCalls) {
  for (int mode : {CRijndaelMethod::CBC, CRijndaelMethod::CFB}) {
    const std::string plain = RandomBytes(48, 21);
    CRijndaelMethod m = Keyed(RandomBytes(16, 22), 16, mode, RandomBytes(16, 23));
    const std::string whole = EncryptAll(m, plain);
    m.ResetChaining();
    std::string pieces;
    for (int i = 0; i < 3; ++i) pieces += EncryptAll(m, plain.substr(static_cast<size_t>(16 * i), 16));
    EXPECT_EQ(whole, pieces) << "mode " << mode;

    m.ResetChaining();
    std::string back;
    for (int i = 0; i < 3; ++i) back += DecryptAll(m, whole.substr(static_cast<size_t>(16 * i), 16));
    EXPECT_EQ(plain, back) << "mode " << mode;

    // Without a reset the second run continues the chain and so differs.
    EXPECT_NE(whole, EncryptAll(m, plain));
    m.ResetChaining();
    EXPECT_EQ(whole, EncryptAll(m, plain));
  }
}

TEST(RijndaelModes, CbcAndCfbFollowTheirDefinitionsOverEcb) {
  const std::string key = RandomBytes(24, 31);
  const std::string iv = RandomBytes(32, 32);
  const std::string plain = RandomBytes(32 * 3, 33);
  CRijndaelMethod ecb = Keyed(key, 32, CRijndaelMethod::ECB);
  auto block = [&](const std::string& in) {
    std::string out(32, '\0');
    ecb.EncryptBlock(in.data(), &out[0]);
    return out;
  };
  auto xored = [](std::string a, const std::string& b) {
    for (size_t i = 0; i < a.size(); ++i) a[i] = static_cast<char>(a[i] ^ b[i]);
    return a;
  };
  std::string cbcExpected, cfbExpected, cbcChain = iv, cfbChain = iv;
  for (int i = 0; i < 3; ++i) {
    const std::string p = plain.substr(static_cast<size_t>(32 * i), 32);
    cbcChain = block(xored(cbcChain, p));
    cbcExpected += cbcChain;
    cfbChain = xored(block(cfbChain), p);
    cfbExpected += cfbChain;
  }
  CRijndaelMethod cbc = Keyed(key, 32, CRijndaelMethod::CBC, iv);
  CRijndaelMethod cfb = Keyed(key, 32, CRijndaelMethod::CFB, iv);
  EXPECT_EQ(ToHex(cbcExpected), ToHex(EncryptAll(cbc, plain)));
  EXPECT_EQ(ToHex(cfbExpected), ToHex(EncryptAll(cfb, plain)));
}

TEST(RijndaelModes, LengthMustBeAPositiveMultipleOfTheBlockSize) {
  CRijndaelMethod m = Keyed(RandomBytes(16, 1), 24, CRijndaelMethod::ECB);
  char buffer[64] = {};
  ExpectMessage([&] { m.Encrypt(buffer, buffer, 0); }, "Illegal Block Size!");
  ExpectMessage([&] { m.Decrypt(buffer, buffer, 0); }, "Illegal Block Size!");
  ExpectMessage([&] { m.Encrypt(buffer, buffer, 16); }, "Illegal Block Size!");
  ExpectMessage([&] { m.Decrypt(buffer, buffer, 50); }, "Illegal Block Size!");
  ExpectMessage([&] { m.Encrypt(buffer, buffer, -24); }, "Illegal Block Size!");
  EXPECT_NO_THROW(m.Encrypt(buffer, buffer, 48));
}

TEST(RijndaelModes, EveryOperationButInitKeyAndSignatureNeedsAKey) {
  CRijndaelMethod m;
  char buffer[64] = {};
  const std::string message = "FileCrypt ERROR: Encryption/Decryption Object not Initialized!";
  ExpectMessage([&] { m.EncryptBlock(buffer, buffer + 32); }, message);
  ExpectMessage([&] { m.DecryptBlock(buffer, buffer + 32); }, message);
  ExpectMessage([&] { m.Encrypt(buffer, buffer, 0); }, message);  // before the length check
  ExpectMessage([&] { m.Decrypt(buffer, buffer, 16); }, message);
  ExpectMessage([&] { m.ResetChaining(); }, message);
  ExpectMessage([&] { m.PadBlock(buffer, 3); }, message);
  ExpectMessage([&] { m.XorBlock(buffer, buffer + 32); }, message);
  unsigned char signature[32];
  EXPECT_NO_THROW(m.GetSignature(signature));
}

class RijndaelPadding : public ::testing::TestWithParam<std::pair<int, char>> {};

TEST_P(RijndaelPadding, FillsUpToTheNextBlockBoundary) {
  CRijndaelMethod m;
  m.InitKey("key", 3, nullptr, 16, 16, CRijndaelMethod::ECB, GetParam().first);
  char buffer[40];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(32, m.PadBlock(buffer, 20));
  EXPECT_EQ(std::string(20, 'x') + std::string(12, GetParam().second) + std::string(8, 'x'),
            std::string(buffer, sizeof buffer));

  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(32, m.PadBlock(buffer, 32));
  EXPECT_EQ(0, m.PadBlock(buffer, 0));
  EXPECT_EQ(std::string(40, 'x'), std::string(buffer, sizeof buffer));
}

INSTANTIATE_TEST_SUITE_P(Modes, RijndaelPadding,
                         ::testing::Values(std::make_pair(int(CRijndaelMethod::PAD_ZEROES), '\x00'),
                                           std::make_pair(int(CRijndaelMethod::PAD_BLANKS), ' '),
                                           std::make_pair(int(CRijndaelMethod::PAD_COUNT), '\x0c')));

TEST(RijndaelPadCount, UsesTheBlockSizeInForce) {
  CRijndaelMethod m;
  m.InitKey("key", 3, nullptr, 16, 32, CRijndaelMethod::ECB, CRijndaelMethod::PAD_COUNT);
  char buffer[33] = {};
  EXPECT_EQ(32, m.PadBlock(buffer, 31));
  EXPECT_EQ('\x01', buffer[31]);
  EXPECT_EQ(32, m.PadBlock(buffer, 1));
  EXPECT_EQ(std::string(31, '\x1f'), std::string(buffer + 1, 31));
  EXPECT_EQ('\0', buffer[32]);
}

TEST(RijndaelCipher, XorBlockCoversExactlyOneBlock) {
  CRijndaelMethod m = Keyed(RandomBytes(16, 1), 24, CRijndaelMethod::ECB);
  std::string a(32, '\x0f');
  const std::string b(32, '\xf0');
  m.XorBlock(&a[0], b.data());
  EXPECT_EQ(std::string(24, '\xff') + std::string(8, '\x0f'), a);
}

}  // namespace
}  // namespace tw
