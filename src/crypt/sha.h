// SHA-256 (FIPS 180-2), used to make the 32-byte method signature at the head of an encrypted file
// and to check a single-file setup's appended files.
#pragma once
#include <cstdint>

namespace tw {

class CSHA {
 public:
  enum { DIGEST_LENGTH = 32, BLOCK_LENGTH = 64 };

  // useExtensions: whole blocks go through the processor's SHA instructions when it has them;
  // false keeps to the portable code (the tests compare the two).
  explicit CSHA(bool useExtensions = true);
  // Feeds length bytes (length must be > 0).
  void AddData(const char* data, int length);
  // Pads, writes the 32-byte digest, and returns the object to its initial state. Fails when no
  // data was added since construction or the last digest.
  void FinalDigest(unsigned char* digest);

 private:
  void Reset();
  void Transform(const uint8_t* block);

  uint32_t m_state[8];
  uint32_t m_countLow;   // bit count, low half
  uint32_t m_countHigh;  // bit count, high half
  uint8_t m_block[BLOCK_LENGTH];
  int m_blockUsed;
  bool m_dataAdded;
  bool m_useExtensions;
};

}  // namespace tw
