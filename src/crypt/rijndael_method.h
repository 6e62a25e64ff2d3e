// The Rijndael file-crypt method: key set-up from key material of any length, 16/24/32-byte blocks
// and keys, ECB/CBC/CFB with the chain carried across calls, padding, and the encrypted-file format.
#pragma once
#include <cstdint>
#include <string>

#include "crypt/file_crypt_method.h"

namespace tw {

class CRijndaelMethod : public CFileCryptMethod {
 public:
  enum OperationMode { ECB = 0, CBC = 1, CFB = 2 };
  enum PaddingMode { PAD_ZEROES = 0, PAD_BLANKS = 1, PAD_COUNT = 2 };
  enum { MAX_BLOCK_SIZE = 32, MAX_KEY_LENGTH = 32, MAX_ROUNDS = 14 };

  // Bytes handed to Encrypt/Decrypt per step of a file operation, and the reader's buffer size.
  static constexpr int kChunkLength = 384;
  static constexpr int kReadBufferSize = 1024;
  static constexpr int kSignatureLength = 32;

  CRijndaelMethod();

  // Validates (six checks, first failure wins, object left unchanged) and sets up the key state.
  // Key material is repeated cyclically to keyLength bytes. A null chain block counts as zeros.
  void InitKey(const char* keyData, int keyDataLength, const char* chainBlock, int keyLength, int blockSize,
               int operationMode, int paddingMode);

  // One block of the block size, no chaining.
  void EncryptBlock(const char* in, char* out);
  void DecryptBlock(const char* in, char* out);

  void GetSignature(unsigned char* signature) override;
  void Encrypt(const char* in, char* out, int n) override;
  void Decrypt(const char* in, char* out, int n) override;
  void EncryptFile(const std::string& inName, const std::string& outName) override;
  void DecryptFile(const std::string& inName, const std::string& outName) override;
  void EncryptFile(const std::string& inName, const std::string& outName, FileOpener& opener) override;
  void DecryptFile(const std::string& inName, const std::string& outName, FileOpener& opener) override;
  void ResetChaining() override;

  // Checks only the 32-byte signature at the head of an encrypted file: the same initialised check,
  // open failure and mismatch messages as DecryptFile, without writing anything.
  void VerifyFile(const std::string& inName);
  void VerifyFile(const std::string& inName, FileOpener& opener);

  // Pads from byte n to the next multiple of the block size; returns the padded length (n when
  // already a multiple). The buffer must have room for it.
  int PadBlock(char* buffer, int n);
  // buffer[i] ^= other[i] for the block size.
  void XorBlock(char* buffer, const char* other);

  bool IsInitialised() const { return m_bInitialised; }
  int BlockSize() const { return m_blockSize; }
  int KeyLength() const { return m_keyLength; }
  int Rounds() const { return m_rounds; }
  int OperationModeValue() const { return m_operationMode; }
  int PaddingModeValue() const { return m_paddingMode; }
  // The key bytes in use (KeyLength() of them valid).
  const uint8_t* Key() const { return m_key; }

  // For tests: send 16-byte blocks through the general path too, so both paths can be checked
  // against the same vectors.
  void SetForceGeneralPath(bool force) { m_forceGeneralPath = force; }

 private:
  void RequireInitialised() const;
  void CheckSignature(std::istream& in, const std::string& inName);
  void CheckLength(int n) const;
  void EncryptRaw(const uint8_t* in, uint8_t* out) const;
  void DecryptRaw(const uint8_t* in, uint8_t* out) const;
  void Encrypt16(const uint8_t* in, uint8_t* out) const;
  void Decrypt16(const uint8_t* in, uint8_t* out) const;
  void EncryptGeneral(const uint8_t* in, uint8_t* out) const;
  void DecryptGeneral(const uint8_t* in, uint8_t* out) const;

  int m_blockSize = 16;
  int m_keyLength = 16;
  int m_operationMode = ECB;
  int m_paddingMode = PAD_ZEROES;
  int m_rounds = 10;
  uint8_t m_key[MAX_KEY_LENGTH] = {};
  uint32_t m_encKeys[MAX_ROUNDS + 1][MAX_BLOCK_SIZE / 4] = {};
  uint32_t m_decKeys[MAX_ROUNDS + 1][MAX_BLOCK_SIZE / 4] = {};
  uint8_t m_initialChain[MAX_BLOCK_SIZE] = {};
  uint8_t m_chain[MAX_BLOCK_SIZE] = {};
  // Column sources of ShiftRow (encryption) and InvShiftRow (decryption) for rows 1..3.
  uint8_t m_encShift[3][MAX_BLOCK_SIZE / 4] = {};
  uint8_t m_decShift[3][MAX_BLOCK_SIZE / 4] = {};
  bool m_forceGeneralPath = false;
};

}  // namespace tw
