// Cross-checks the 24- and 32-byte block sizes (and 16 for good measure) against libmcrypt, an
// independent Rijndael, in all three modes and all key lengths, on random data.
#include <gtest/gtest.h>

#if defined(TW_HAVE_MCRYPT)
#include <mcrypt.h>

#include <string>

#include "crypt/rijndael_method.h"
#include "crypt_test_support.h"

namespace tw {
namespace {

using crypt_test::RandomBytes;
using crypt_test::ToHex;

// Runs libmcrypt over the whole text in one go; mcrypt works in place.
std::string McryptRun(const char* algorithm, const char* mode, const std::string& key, const std::string& iv,
                      std::string text, bool decrypt) {
  MCRYPT td = mcrypt_module_open(const_cast<char*>(algorithm), nullptr, const_cast<char*>(mode), nullptr);
  if (td == MCRYPT_FAILED) {
    ADD_FAILURE() << "mcrypt cannot open " << algorithm << "/" << mode;
    return std::string();
  }
  std::string ivCopy = iv;
  std::string keyCopy = key;
  const int rc = mcrypt_generic_init(td, &keyCopy[0], static_cast<int>(keyCopy.size()), &ivCopy[0]);
  EXPECT_GE(rc, 0) << "mcrypt_generic_init";
  if (decrypt) {
    mdecrypt_generic(td, &text[0], static_cast<int>(text.size()));
  } else {
    mcrypt_generic(td, &text[0], static_cast<int>(text.size()));
  }
  mcrypt_generic_deinit(td);
  mcrypt_module_close(td);
  return text;
}

struct McryptCase {
  int blockSize;
  int keyLength;
  int mode;
};

class RijndaelMcrypt : public ::testing::TestWithParam<McryptCase> {};

TEST_P(RijndaelMcrypt, AgreesWithLibmcryptOnRandomData) {
  const McryptCase c = GetParam();
  const char* algorithm = c.blockSize == 16 ? "rijndael-128" : c.blockSize == 24 ? "rijndael-192" : "rijndael-256";
  const char* modeName = c.mode == CRijndaelMethod::ECB ? "ecb" : c.mode == CRijndaelMethod::CBC ? "cbc" : "ncfb";
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    const std::string key = RandomBytes(static_cast<size_t>(c.keyLength), seed * 3);
    const std::string iv = RandomBytes(static_cast<size_t>(c.blockSize), seed * 5);
    const std::string plain = RandomBytes(static_cast<size_t>(c.blockSize) * (7 + seed), seed * 7);

    CRijndaelMethod m;
    m.InitKey(key.data(), c.keyLength, iv.data(), c.keyLength, c.blockSize, c.mode, CRijndaelMethod::PAD_ZEROES);
    // Two calls, so the chain carried between them is checked too.
    const size_t split = static_cast<size_t>(c.blockSize) * 3;
    std::string cipher(plain.size(), '\0');
    m.Encrypt(plain.data(), &cipher[0], static_cast<int>(split));
    m.Encrypt(plain.data() + split, &cipher[split], static_cast<int>(plain.size() - split));

    const std::string reference = McryptRun(algorithm, modeName, key, iv, plain, false);
    ASSERT_EQ(ToHex(reference), ToHex(cipher)) << algorithm << " " << modeName << " key " << c.keyLength;

    m.ResetChaining();
    std::string back(cipher.size(), '\0');
    m.Decrypt(cipher.data(), &back[0], static_cast<int>(cipher.size()));
    EXPECT_EQ(plain, back);
    EXPECT_EQ(plain, McryptRun(algorithm, modeName, key, iv, cipher, true));
  }
}

std::vector<McryptCase> AllCases() {
  std::vector<McryptCase> cases;
  for (int blockSize : {16, 24, 32})
    for (int keyLength : {16, 24, 32})
      for (int mode : {CRijndaelMethod::ECB, CRijndaelMethod::CBC, CRijndaelMethod::CFB})
        cases.push_back({blockSize, keyLength, mode});
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<McryptCase>& info) {
  static const char* const modes[] = {"Ecb", "Cbc", "Cfb"};
  return "Block" + std::to_string(info.param.blockSize) + "Key" + std::to_string(info.param.keyLength) +
         modes[info.param.mode];
}

INSTANTIATE_TEST_SUITE_P(AllSizesAndModes, RijndaelMcrypt, ::testing::ValuesIn(AllCases()), CaseName);

}  // namespace
}  // namespace tw

#endif  // TW_HAVE_MCRYPT
