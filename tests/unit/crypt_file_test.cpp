// The encrypted project file: signature header, chunking and padding, the failure cases and their
// order, the project key's fixed parameters, and routing through a caller's FileOpener.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "crypt/file_crypt_error.h"
#include "crypt/project_key.h"
#include "crypt/rijndael_method.h"
#include "crypt/sha.h"
#include "crypt_test_support.h"

namespace tw {
namespace {

using crypt_test::MessageOf;
using crypt_test::RandomBytes;
using crypt_test::ReadFile;
using crypt_test::TempFolder;
using crypt_test::ToHex;
using crypt_test::WriteFile;

std::string Signature(CRijndaelMethod& m) {
  unsigned char sig[32];
  m.GetSignature(sig);
  return std::string(reinterpret_cast<const char*>(sig), 32);
}

// The file format computed independently: signature, then ECB over the zero-padded text.
std::string ExpectedEncryptedFile(const std::string& plain) {
  CRijndaelMethod m;
  InitProjectKey(m);
  std::string padded = plain;
  padded.resize((plain.size() + 15) / 16 * 16, '\0');
  std::string body(padded.size(), '\0');
  if (!padded.empty()) m.Encrypt(padded.data(), &body[0], static_cast<int>(padded.size()));
  return Signature(m) + body;
}

class CryptFile : public ::testing::Test {
 protected:
  void SetUp() override { InitProjectKey(method_); }

  // Writes plain to a file, encrypts it and returns the encrypted bytes.
  std::string EncryptText(const std::string& plain) {
    WriteFile(folder_.File("plain"), plain);
    method_.EncryptFile(folder_.File("plain"), folder_.File("cipher"));
    return ReadFile(folder_.File("cipher"));
  }

  std::string DecryptBytes(const std::string& cipher) {
    WriteFile(folder_.File("cipher"), cipher);
    method_.DecryptFile(folder_.File("cipher"), folder_.File("back"));
    return ReadFile(folder_.File("back"));
  }

  TempFolder folder_;
  CRijndaelMethod method_;
};

TEST_F(CryptFile, ProjectSignatureTextIsThirtyCharacters) {
  const std::string text = std::string("RIJNDAEL") + ".k..om.%.70815.k" + "161600";
  ASSERT_EQ(30u, text.size());
  CSHA sha;
  sha.AddData(text.data(), static_cast<int>(text.size()));
  unsigned char digest[32];
  sha.FinalDigest(digest);
  EXPECT_EQ(ToHex(digest, 32), ToHex(Signature(method_)));
}

TEST_F(CryptFile, ProjectKeyParametersAreFixed) {
  EXPECT_EQ(16, method_.BlockSize());
  EXPECT_EQ(16, method_.KeyLength());
  EXPECT_EQ(CRijndaelMethod::ECB, method_.OperationModeValue());
  EXPECT_EQ(CRijndaelMethod::PAD_ZEROES, method_.PaddingModeValue());
  EXPECT_EQ(".k..om.%.70815.k", std::string(reinterpret_cast<const char*>(method_.Key()), 16));
}

TEST_F(CryptFile, EmptyFileIsTheSignatureAlone) {
  const std::string cipher = EncryptText("");
  EXPECT_EQ(Signature(method_), cipher);
  EXPECT_EQ("", DecryptBytes(cipher));
  EXPECT_TRUE(std::filesystem::exists(folder_.File("back")));
}

TEST_F(CryptFile, WholeChunkGetsNoPadding) {
  const std::string plain = RandomBytes(384, 1);
  const std::string cipher = EncryptText(plain);
  EXPECT_EQ(32u + 384u, cipher.size());
  EXPECT_EQ(ExpectedEncryptedFile(plain), cipher);
  EXPECT_EQ(plain, DecryptBytes(cipher));
}

TEST_F(CryptFile, OneByteOverAChunkPadsTheLastBlockWithZeros) {
  const std::string plain = RandomBytes(385, 2);
  const std::string cipher = EncryptText(plain);
  EXPECT_EQ(32u + 400u, cipher.size());
  EXPECT_EQ(ExpectedEncryptedFile(plain), cipher);
  EXPECT_EQ(plain + std::string(15, '\0'), DecryptBytes(cipher));
}

TEST_F(CryptFile, MultipleOfTheChunkLengthGetsNoPaddingBlock) {
  const std::string plain = RandomBytes(384 * 7, 3);
  const std::string cipher = EncryptText(plain);
  EXPECT_EQ(32u + 384u * 7, cipher.size());
  EXPECT_EQ(plain, DecryptBytes(cipher));
}

TEST_F(CryptFile, LengthsAroundEveryBoundaryMatchTheIndependentFormat) {
  for (size_t length : {1u, 15u, 16u, 17u, 383u, 511u, 512u, 513u, 767u, 768u, 1023u, 1024u, 1025u, 4103u, 100000u}) {
    const std::string plain = RandomBytes(length, static_cast<uint32_t>(length));
    const std::string cipher = EncryptText(plain);
    ASSERT_EQ(ExpectedEncryptedFile(plain), cipher) << length;
    std::string padded = plain;
    padded.resize((length + 15) / 16 * 16, '\0');
    EXPECT_EQ(padded, DecryptBytes(cipher)) << length;
  }
}

TEST_F(CryptFile, ShortFileCannotBeDecryptedAndLeavesAnEmptyOutput) {
  WriteFile(folder_.File("short.ziv"), Signature(method_).substr(0, 31));
  EXPECT_EQ("FileCrypt ERROR: File " + folder_.File("short.ziv") + " cannot be Correctly Decrypted!",
            MessageOf([&] { method_.DecryptFile(folder_.File("short.ziv"), folder_.File("out.inf")); }));
  ASSERT_TRUE(std::filesystem::exists(folder_.File("out.inf")));
  EXPECT_EQ(0u, std::filesystem::file_size(folder_.File("out.inf")));
}

TEST_F(CryptFile, FileMadeWithAnotherKeyCannotBeDecrypted) {
  CRijndaelMethod other;
  other.InitKey("another key", 11, nullptr, 16, 16, CRijndaelMethod::ECB, CRijndaelMethod::PAD_ZEROES);
  WriteFile(folder_.File("plain"), "[APPINFO]\r\nName=x\r\n");
  other.EncryptFile(folder_.File("plain"), folder_.File("foreign.ziv"));
  WriteFile(folder_.File("out.inf"), "previous content");
  EXPECT_EQ("FileCrypt ERROR: File " + folder_.File("foreign.ziv") + " cannot be Correctly Decrypted!",
            MessageOf([&] { method_.DecryptFile(folder_.File("foreign.ziv"), folder_.File("out.inf")); }));
  EXPECT_EQ("", ReadFile(folder_.File("out.inf")));

  // Same key, other parameters: the signature tells them apart too.
  other.InitKey(kProjectKeyMaterial, 14, nullptr, 16, 16, CRijndaelMethod::CBC, CRijndaelMethod::PAD_ZEROES);
  other.EncryptFile(folder_.File("plain"), folder_.File("cbc.ziv"));
  EXPECT_NE("<no error>", MessageOf([&] { method_.DecryptFile(folder_.File("cbc.ziv"), folder_.File("out.inf")); }));
}

TEST_F(CryptFile, BodyNotAWholeNumberOfBlocksWritesCompleteChunksThenFails) {
  const std::string plain = RandomBytes(384 * 2, 4);
  const std::string cipher = EncryptText(plain) + std::string(21, 'x');
  WriteFile(folder_.File("cut.ziv"), cipher);
  EXPECT_EQ("Illegal Block Size!",
            MessageOf([&] { method_.DecryptFile(folder_.File("cut.ziv"), folder_.File("out.inf")); }));
  EXPECT_EQ(plain, ReadFile(folder_.File("out.inf")));
}

TEST_F(CryptFile, SameNameForInputAndOutputFailsBeforeOpeningEither) {
  const std::string name = folder_.File("missing.ziv");
  EXPECT_EQ("FileCrypt ERROR: The same File for Input and Output " + name + "!",
            MessageOf([&] { method_.DecryptFile(name, name); }));
  EXPECT_EQ("FileCrypt ERROR: The same File for Input and Output " + name + "!",
            MessageOf([&] { method_.EncryptFile(name, name); }));
  EXPECT_FALSE(std::filesystem::exists(name));
}

TEST_F(CryptFile, NamesDifferingInCaseOrPathFormCountAsDifferent) {
  const std::string a = folder_.File("Missing.ziv");
  const std::string b = (folder_.Path() / "." / "Missing.ziv").string();
  EXPECT_EQ("FileCrypt ERROR: Cannot open File " + a + "!", MessageOf([&] { method_.DecryptFile(a, b); }));
  const std::string lower = folder_.File("missing.ziv");
  EXPECT_EQ("FileCrypt ERROR: Cannot open File " + a + "!", MessageOf([&] { method_.EncryptFile(a, lower); }));
}

TEST_F(CryptFile, InputIsOpenedBeforeOutput) {
  const std::string badOut = folder_.File("no-such-folder/out.inf");
  EXPECT_EQ("FileCrypt ERROR: Cannot open File " + folder_.File("absent") + "!",
            MessageOf([&] { method_.DecryptFile(folder_.File("absent"), badOut); }));
  WriteFile(folder_.File("present"), "text");
  EXPECT_EQ("FileCrypt ERROR: Cannot open File " + badOut + "!",
            MessageOf([&] { method_.EncryptFile(folder_.File("present"), badOut); }));
}

TEST_F(CryptFile, NotInitialisedComesFirst) {
  CRijndaelMethod fresh;
  const std::string message = "FileCrypt ERROR: Encryption/Decryption Object not Initialized!";
  EXPECT_EQ(message, MessageOf([&] { fresh.EncryptFile("same", "same"); }));
  EXPECT_EQ(message, MessageOf([&] { fresh.DecryptFile("a", "b"); }));
}

TEST_F(CryptFile, VerifyChecksOnlyTheSignature) {
  WriteFile(folder_.File("good.ziv"), EncryptText("[APPINFO]\r\n") + "trailing bytes");
  EXPECT_EQ("<no error>", MessageOf([&] { method_.VerifyFile(folder_.File("good.ziv")); }));
  WriteFile(folder_.File("bad.ziv"), std::string(64, 'b'));
  EXPECT_EQ("FileCrypt ERROR: File " + folder_.File("bad.ziv") + " cannot be Correctly Decrypted!",
            MessageOf([&] { method_.VerifyFile(folder_.File("bad.ziv")); }));
  EXPECT_EQ("FileCrypt ERROR: Cannot open File " + folder_.File("none.ziv") + "!",
            MessageOf([&] { method_.VerifyFile(folder_.File("none.ziv")); }));
  CRijndaelMethod fresh;
  EXPECT_EQ("FileCrypt ERROR: Encryption/Decryption Object not Initialized!",
            MessageOf([&] { fresh.VerifyFile(folder_.File("good.ziv")); }));
}

TEST_F(CryptFile, OutputIsTruncated) {
  WriteFile(folder_.File("back"), std::string(5000, 'o'));
  EXPECT_EQ("tiny" + std::string(12, '\0'), DecryptBytes(EncryptText("tiny")));
}

TEST_F(CryptFile, EncryptThenDecryptAcrossEveryBlockSizeAndMode) {
  for (int blockSize : {16, 24, 32}) {
    for (int mode : {CRijndaelMethod::ECB, CRijndaelMethod::CBC, CRijndaelMethod::CFB}) {
      method_.InitKey("some key text", 13, "0123456789abcdef0123456789abcdef", 24, blockSize, mode,
                      CRijndaelMethod::PAD_BLANKS);
      const std::string plain = RandomBytes(1000, 9);
      const std::string cipher = EncryptText(plain);
      const size_t padded = (1000 + static_cast<size_t>(blockSize) - 1) / static_cast<size_t>(blockSize) *
                            static_cast<size_t>(blockSize);
      ASSERT_EQ(32 + padded, cipher.size());
      EXPECT_EQ(plain + std::string(padded - 1000, ' '), DecryptBytes(cipher)) << blockSize << "/" << mode;
    }
  }
}

// An in-memory opener that records the order of opens; the written files land in a map.
class MemoryOpener : public FileOpener {
 public:
  class Sink : public std::ostringstream {
   public:
    Sink(std::map<std::string, std::string>& files, std::string name) : files_(files), name_(std::move(name)) {}
    ~Sink() override { files_[name_] = str(); }

   private:
    std::map<std::string, std::string>& files_;
    std::string name_;
  };

  std::unique_ptr<std::istream> OpenIn(const std::string& name) override {
    log.push_back("in:" + name);
    auto it = files.find(name);
    if (it == files.end()) return nullptr;
    return std::make_unique<std::istringstream>(it->second);
  }
  std::unique_ptr<std::ostream> OpenOut(const std::string& name) override {
    log.push_back("out:" + name);
    if (name.rfind("locked", 0) == 0) return nullptr;
    return std::make_unique<Sink>(files, name);
  }

  std::map<std::string, std::string> files;
  std::vector<std::string> log;
};

TEST_F(CryptFile, FileOpenerCarriesTheSameFormatAndOrder) {
  MemoryOpener opener;
  const std::string plain = RandomBytes(999, 5);
  opener.files["setup.inf"] = plain;
  method_.EncryptFile("setup.inf", "setup.ziv", opener);
  EXPECT_EQ(ExpectedEncryptedFile(plain), opener.files["setup.ziv"]);
  method_.DecryptFile("setup.ziv", "back.inf", opener);
  EXPECT_EQ(plain + std::string(9, '\0'), opener.files["back.inf"]);
  EXPECT_EQ((std::vector<std::string>{"in:setup.inf", "out:setup.ziv", "in:setup.ziv", "out:back.inf"}), opener.log);

  opener.log.clear();
  opener.files["foreign.ziv"] = std::string(40, 'f');
  EXPECT_EQ("FileCrypt ERROR: File foreign.ziv cannot be Correctly Decrypted!",
            MessageOf([&] { method_.DecryptFile("foreign.ziv", "x.inf", opener); }));
  EXPECT_EQ((std::vector<std::string>{"in:foreign.ziv", "out:x.inf"}), opener.log);
  EXPECT_EQ("", opener.files["x.inf"]);

  EXPECT_EQ("FileCrypt ERROR: Cannot open File nothing!",
            MessageOf([&] { method_.DecryptFile("nothing", "y.inf", opener); }));
  EXPECT_EQ("FileCrypt ERROR: Cannot open File locked.inf!",
            MessageOf([&] { method_.DecryptFile("setup.ziv", "locked.inf", opener); }));
}

// An output that takes only so many bytes, like a disk that fills up.
class FullDiskOpener : public FileOpener {
 public:
  FullDiskOpener(std::string input, size_t capacity) : input_(std::move(input)) { buffer_.left = capacity; }
  std::unique_ptr<std::istream> OpenIn(const std::string&) override {
    return std::make_unique<std::istringstream>(input_);
  }
  std::unique_ptr<std::ostream> OpenOut(const std::string&) override {
    return std::make_unique<std::ostream>(&buffer_);
  }

 private:
  struct Limited : std::streambuf {
    size_t left = 0;
    int_type overflow(int_type c) override {
      if (left == 0 || traits_type::eq_int_type(c, traits_type::eof())) return traits_type::eof();
      --left;
      return c;
    }
  };
  std::string input_;
  Limited buffer_;
};

TEST_F(CryptFile, AFullDiskIsAnErrorNotAShortFile) {
  FullDiskOpener plainSource(RandomBytes(2000, 9), 500);
  EXPECT_EQ("FileCrypt ERROR: Cannot write File out.ziv!",
            MessageOf([&] { method_.EncryptFile("in.inf", "out.ziv", plainSource); }));
  FullDiskOpener cipherSource(ExpectedEncryptedFile(RandomBytes(2000, 9)), 500);
  EXPECT_EQ("FileCrypt ERROR: Cannot write File out.inf!",
            MessageOf([&] { method_.DecryptFile("in.ziv", "out.inf", cipherSource); }));
}

}  // namespace
}  // namespace tw
