// The encrypted-file format of the Rijndael method: a 32-byte SHA-256 signature of the method, its
// key and parameters, then the ciphertext in 384-byte chunks with only the last one padded.
#include <cstdio>
#include <cstring>

#include "crypt/double_buffering.h"
#include "crypt/file_crypt_error.h"
#include "crypt/rijndael_method.h"
#include "crypt/sha.h"

namespace tw {
namespace {

struct OpenedPair {
  std::unique_ptr<std::istream> in;
  std::unique_ptr<std::ostream> out;
};

std::unique_ptr<std::istream> OpenInput(const std::string& inName, FileOpener& opener) {
  std::unique_ptr<std::istream> in = opener.OpenIn(inName);
  if (!in) throw FileCryptError("FileCrypt ERROR: Cannot open File " + inName + "!");
  return in;
}

// The checks shared by both directions after the initialised check, in their fixed order: distinct
// names, input opened, then output opened (so the output exists even when the input proves foreign).
OpenedPair OpenBoth(const std::string& inName, const std::string& outName, FileOpener& opener) {
  if (inName == outName) throw FileCryptError("FileCrypt ERROR: The same File for Input and Output " + inName + "!");
  OpenedPair pair;
  pair.in = OpenInput(inName, opener);
  pair.out = opener.OpenOut(outName);
  if (!pair.out) throw FileCryptError("FileCrypt ERROR: Cannot open File " + outName + "!");
  return pair;
}

// A full disk or a vanished share must not leave a short project file behind as if all went well.
void WriteOrFail(std::ostream& out, const char* data, int count, const std::string& outName) {
  out.write(data, count);
  if (!out.good()) throw FileCryptError("FileCrypt ERROR: Cannot write File " + outName + "!");
}

}  // namespace

void CRijndaelMethod::GetSignature(unsigned char* signature) {
  char text[48] = {};
  std::memcpy(text, "RIJNDAEL", 8);
  std::memcpy(text + 8, m_key, static_cast<size_t>(m_keyLength));
  const size_t used = 8 + static_cast<size_t>(m_keyLength);
  std::snprintf(text + used, sizeof text - used, "%d%d%d%d", m_blockSize, m_keyLength, m_operationMode,
                m_paddingMode);
  CSHA sha;
  int length = 0;  // the text ends at its first zero byte
  while (length < static_cast<int>(sizeof text) && text[length] != 0) ++length;
  sha.AddData(text, length);
  sha.FinalDigest(signature);
}

void CRijndaelMethod::EncryptFile(const std::string& inName, const std::string& outName) {
  StdFileOpener opener;
  EncryptFile(inName, outName, opener);
}

void CRijndaelMethod::DecryptFile(const std::string& inName, const std::string& outName) {
  StdFileOpener opener;
  DecryptFile(inName, outName, opener);
}

void CRijndaelMethod::EncryptFile(const std::string& inName, const std::string& outName, FileOpener& opener) {
  RequireInitialised();
  OpenedPair files = OpenBoth(inName, outName, opener);

  unsigned char signature[kSignatureLength];
  GetSignature(signature);
  WriteOrFail(*files.out, reinterpret_cast<const char*>(signature), kSignatureLength, outName);
  ResetChaining();

  char readBuffer[kReadBufferSize + 1] = {};
  char plain[kChunkLength + 1] = {};
  char cipher[kChunkLength + 1] = {};
  CDoubleBuffering reader(*files.in, readBuffer, kReadBufferSize, kChunkLength);
  int count;
  while ((count = reader.GetData(plain, -1)) > 0) {
    if (count < kChunkLength) count = PadBlock(plain, count);
    Encrypt(plain, cipher, count);
    WriteOrFail(*files.out, cipher, count, outName);
  }
  files.out->flush();
  if (!files.out->good()) throw FileCryptError("FileCrypt ERROR: Cannot write File " + outName + "!");
}

void CRijndaelMethod::DecryptFile(const std::string& inName, const std::string& outName, FileOpener& opener) {
  RequireInitialised();
  OpenedPair files = OpenBoth(inName, outName, opener);
  CheckSignature(*files.in, inName);
  ResetChaining();

  char readBuffer[kReadBufferSize + 1] = {};
  char cipher[kChunkLength + 1] = {};
  char plain[kChunkLength + 1] = {};
  CDoubleBuffering reader(*files.in, readBuffer, kReadBufferSize, kChunkLength);
  int count;
  while ((count = reader.GetData(cipher, -1)) > 0) {
    Decrypt(cipher, plain, count);
    WriteOrFail(*files.out, plain, count, outName);
  }
  files.out->flush();
  if (!files.out->good()) throw FileCryptError("FileCrypt ERROR: Cannot write File " + outName + "!");
}

void CRijndaelMethod::CheckSignature(std::istream& in, const std::string& inName) {
  unsigned char expected[kSignatureLength + 1] = {};
  GetSignature(expected);
  char found[kSignatureLength + 1] = {};  // a shorter file leaves the rest zero
  in.read(found, kSignatureLength);
  if (std::memcmp(expected, found, kSignatureLength) != 0)
    throw FileCryptError("FileCrypt ERROR: File " + inName + " cannot be Correctly Decrypted!");
}

void CRijndaelMethod::VerifyFile(const std::string& inName) {
  StdFileOpener opener;
  VerifyFile(inName, opener);
}

void CRijndaelMethod::VerifyFile(const std::string& inName, FileOpener& opener) {
  RequireInitialised();
  std::unique_ptr<std::istream> in = OpenInput(inName, opener);
  CheckSignature(*in, inName);
}

}  // namespace tw
