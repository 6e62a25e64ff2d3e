// Rijndael key set-up, block operations (a dedicated AES-size path and a general path for 24- and
// 32-byte blocks), the three modes with the chain carried across calls, and padding.
#include "crypt/rijndael_method.h"

#include <cstring>

#include "crypt/file_crypt_error.h"
#include "crypt/rijndael_tables.h"

namespace tw {
namespace {

const char kNotInitialised[] = "FileCrypt ERROR: Encryption/Decryption Object not Initialized!";
const char kIllegalBlockSize[] = "Illegal Block Size!";

const RijndaelTables& T = kRijndaelTables;

inline uint32_t Load32(const uint8_t* p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

inline void Store32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 24);
  p[1] = static_cast<uint8_t>(v >> 16);
  p[2] = static_cast<uint8_t>(v >> 8);
  p[3] = static_cast<uint8_t>(v);
}

inline uint32_t SubWord(uint32_t w) {
  return (uint32_t(T.sbox[w >> 24]) << 24) | (uint32_t(T.sbox[(w >> 16) & 0xff]) << 16) |
         (uint32_t(T.sbox[(w >> 8) & 0xff]) << 8) | uint32_t(T.sbox[w & 0xff]);
}

// InvMixColumn of one column: td[] already folds InvSubBytes in, so undo it with the S-box first.
inline uint32_t InvMixColumn(uint32_t w) {
  return T.td[0][T.sbox[w >> 24]] ^ T.td[1][T.sbox[(w >> 16) & 0xff]] ^ T.td[2][T.sbox[(w >> 8) & 0xff]] ^
         T.td[3][T.sbox[w & 0xff]];
}

inline const uint8_t* U8(const char* p) { return reinterpret_cast<const uint8_t*>(p); }
inline uint8_t* U8(char* p) { return reinterpret_cast<uint8_t*>(p); }

}  // namespace

CRijndaelMethod::CRijndaelMethod() = default;

void CRijndaelMethod::InitKey(const char* keyData, int keyDataLength, const char* chainBlock, int keyLength,
                              int blockSize, int operationMode, int paddingMode) {
  if (keyData == nullptr) throw FileCryptError("FileCrypt ERROR: No Key DataSpecified!");
  if (keyDataLength <= 0) throw FileCryptError("FileCrypt ERROR: Key Data Length should be > 0!");
  if (keyLength != 16 && keyLength != 24 && keyLength != 32) throw FileCryptError("Illegal Key Length!");
  if (blockSize != 16 && blockSize != 24 && blockSize != 32) throw FileCryptError(kIllegalBlockSize);
  if (operationMode < ECB || operationMode > CFB) throw FileCryptError("FileCrypt ERROR: Illegal Operation Mode!");
  if (paddingMode < PAD_ZEROES || paddingMode > PAD_COUNT)
    throw FileCryptError("FileCrypt ERROR: Illegal Padding Mode!");

  m_operationMode = operationMode;
  m_paddingMode = paddingMode;
  std::memset(m_key, 0, sizeof m_key);
  for (int j = 0; j < keyLength; ++j) m_key[j] = static_cast<uint8_t>(keyData[j % keyDataLength]);

  m_blockSize = blockSize;
  std::memset(m_initialChain, 0, sizeof m_initialChain);
  if (chainBlock != nullptr) std::memcpy(m_initialChain, chainBlock, static_cast<size_t>(blockSize));
  std::memcpy(m_chain, m_initialChain, sizeof m_chain);

  m_keyLength = keyLength;
  const int nk = keyLength / 4;
  const int nb = blockSize / 4;
  m_rounds = (nk > nb ? nk : nb) + 6;

  // Standard key expansion into (rounds + 1) * nb words, with the extra S-box step for 8 key words.
  uint32_t w[(MAX_ROUNDS + 1) * (MAX_BLOCK_SIZE / 4)];
  const int total = (m_rounds + 1) * nb;
  for (int i = 0; i < nk; ++i) w[i] = Load32(m_key + 4 * i);
  for (int i = nk; i < total; ++i) {
    uint32_t temp = w[i - 1];
    if (i % nk == 0) {
      temp = SubWord((temp << 8) | (temp >> 24)) ^ (uint32_t(T.rcon[i / nk]) << 24);
    } else if (nk > 6 && i % nk == 4) {
      temp = SubWord(temp);
    }
    w[i] = w[i - nk] ^ temp;
  }
  std::memset(m_encKeys, 0, sizeof m_encKeys);
  std::memset(m_decKeys, 0, sizeof m_decKeys);
  for (int r = 0; r <= m_rounds; ++r)
    for (int c = 0; c < nb; ++c) m_encKeys[r][c] = w[r * nb + c];
  // Equivalent inverse cipher: keys in reverse order, InvMixColumn on the inner rows.
  for (int r = 0; r <= m_rounds; ++r) {
    for (int c = 0; c < nb; ++c) {
      const uint32_t k = m_encKeys[m_rounds - r][c];
      m_decKeys[r][c] = (r == 0 || r == m_rounds) ? k : InvMixColumn(k);
    }
  }

  // ShiftRow offsets: 1, 2, 3 for 4 and 6 columns; 1, 3, 4 for 8 columns.
  const int offsets[3] = {1, nb == 8 ? 3 : 2, nb == 8 ? 4 : 3};
  for (int row = 0; row < 3; ++row) {
    for (int c = 0; c < nb; ++c) {
      m_encShift[row][c] = static_cast<uint8_t>((c + offsets[row]) % nb);
      m_decShift[row][c] = static_cast<uint8_t>((c + nb - offsets[row]) % nb);
    }
  }
  m_bInitialised = true;
}

void CRijndaelMethod::RequireInitialised() const {
  if (!m_bInitialised) throw FileCryptError(kNotInitialised);
}

void CRijndaelMethod::CheckLength(int n) const {
  if (n <= 0 || n % m_blockSize != 0) throw FileCryptError(kIllegalBlockSize);
}

void CRijndaelMethod::Encrypt16(const uint8_t* in, uint8_t* out) const {
  const uint32_t* rk = m_encKeys[0];
  uint32_t s0 = Load32(in) ^ rk[0];
  uint32_t s1 = Load32(in + 4) ^ rk[1];
  uint32_t s2 = Load32(in + 8) ^ rk[2];
  uint32_t s3 = Load32(in + 12) ^ rk[3];
  const uint32_t* te0 = T.te[0];
  const uint32_t* te1 = T.te[1];
  const uint32_t* te2 = T.te[2];
  const uint32_t* te3 = T.te[3];
  for (int r = 1; r < m_rounds; ++r) {
    rk = m_encKeys[r];
    const uint32_t t0 = te0[s0 >> 24] ^ te1[(s1 >> 16) & 0xff] ^ te2[(s2 >> 8) & 0xff] ^ te3[s3 & 0xff] ^ rk[0];
    const uint32_t t1 = te0[s1 >> 24] ^ te1[(s2 >> 16) & 0xff] ^ te2[(s3 >> 8) & 0xff] ^ te3[s0 & 0xff] ^ rk[1];
    const uint32_t t2 = te0[s2 >> 24] ^ te1[(s3 >> 16) & 0xff] ^ te2[(s0 >> 8) & 0xff] ^ te3[s1 & 0xff] ^ rk[2];
    const uint32_t t3 = te0[s3 >> 24] ^ te1[(s0 >> 16) & 0xff] ^ te2[(s1 >> 8) & 0xff] ^ te3[s2 & 0xff] ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk = m_encKeys[m_rounds];
  const uint8_t* S = T.sbox;
  auto last = [S](uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t k) {
    return ((uint32_t(S[a >> 24]) << 24) | (uint32_t(S[(b >> 16) & 0xff]) << 16) |
            (uint32_t(S[(c >> 8) & 0xff]) << 8) | uint32_t(S[d & 0xff])) ^ k;
  };
  Store32(out, last(s0, s1, s2, s3, rk[0]));
  Store32(out + 4, last(s1, s2, s3, s0, rk[1]));
  Store32(out + 8, last(s2, s3, s0, s1, rk[2]));
  Store32(out + 12, last(s3, s0, s1, s2, rk[3]));
}

void CRijndaelMethod::Decrypt16(const uint8_t* in, uint8_t* out) const {
  const uint32_t* rk = m_decKeys[0];
  uint32_t s0 = Load32(in) ^ rk[0];
  uint32_t s1 = Load32(in + 4) ^ rk[1];
  uint32_t s2 = Load32(in + 8) ^ rk[2];
  uint32_t s3 = Load32(in + 12) ^ rk[3];
  const uint32_t* td0 = T.td[0];
  const uint32_t* td1 = T.td[1];
  const uint32_t* td2 = T.td[2];
  const uint32_t* td3 = T.td[3];
  for (int r = 1; r < m_rounds; ++r) {
    rk = m_decKeys[r];
    const uint32_t t0 = td0[s0 >> 24] ^ td1[(s3 >> 16) & 0xff] ^ td2[(s2 >> 8) & 0xff] ^ td3[s1 & 0xff] ^ rk[0];
    const uint32_t t1 = td0[s1 >> 24] ^ td1[(s0 >> 16) & 0xff] ^ td2[(s3 >> 8) & 0xff] ^ td3[s2 & 0xff] ^ rk[1];
    const uint32_t t2 = td0[s2 >> 24] ^ td1[(s1 >> 16) & 0xff] ^ td2[(s0 >> 8) & 0xff] ^ td3[s3 & 0xff] ^ rk[2];
    const uint32_t t3 = td0[s3 >> 24] ^ td1[(s2 >> 16) & 0xff] ^ td2[(s1 >> 8) & 0xff] ^ td3[s0 & 0xff] ^ rk[3];
    s0 = t0;
    s1 = t1;
    s2 = t2;
    s3 = t3;
  }
  rk = m_decKeys[m_rounds];
  const uint8_t* Si = T.invSbox;
  auto last = [Si](uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint32_t k) {
    return ((uint32_t(Si[a >> 24]) << 24) | (uint32_t(Si[(b >> 16) & 0xff]) << 16) |
            (uint32_t(Si[(c >> 8) & 0xff]) << 8) | uint32_t(Si[d & 0xff])) ^ k;
  };
  Store32(out, last(s0, s3, s2, s1, rk[0]));
  Store32(out + 4, last(s1, s0, s3, s2, rk[1]));
  Store32(out + 8, last(s2, s1, s0, s3, rk[2]));
  Store32(out + 12, last(s3, s2, s1, s0, rk[3]));
}

void CRijndaelMethod::EncryptGeneral(const uint8_t* in, uint8_t* out) const {
  const int nb = m_blockSize / 4;
  const uint8_t* sh1 = m_encShift[0];
  const uint8_t* sh2 = m_encShift[1];
  const uint8_t* sh3 = m_encShift[2];
  uint32_t a[MAX_BLOCK_SIZE / 4];
  uint32_t t[MAX_BLOCK_SIZE / 4];
  for (int c = 0; c < nb; ++c) a[c] = Load32(in + 4 * c) ^ m_encKeys[0][c];
  for (int r = 1; r < m_rounds; ++r) {
    const uint32_t* rk = m_encKeys[r];
    for (int c = 0; c < nb; ++c) {
      t[c] = T.te[0][a[c] >> 24] ^ T.te[1][(a[sh1[c]] >> 16) & 0xff] ^ T.te[2][(a[sh2[c]] >> 8) & 0xff] ^
             T.te[3][a[sh3[c]] & 0xff] ^ rk[c];
    }
    std::memcpy(a, t, sizeof(uint32_t) * static_cast<size_t>(nb));
  }
  const uint32_t* rk = m_encKeys[m_rounds];
  for (int c = 0; c < nb; ++c) {
    const uint32_t v = (uint32_t(T.sbox[a[c] >> 24]) << 24) | (uint32_t(T.sbox[(a[sh1[c]] >> 16) & 0xff]) << 16) |
                       (uint32_t(T.sbox[(a[sh2[c]] >> 8) & 0xff]) << 8) | uint32_t(T.sbox[a[sh3[c]] & 0xff]);
    Store32(out + 4 * c, v ^ rk[c]);
  }
}

void CRijndaelMethod::DecryptGeneral(const uint8_t* in, uint8_t* out) const {
  const int nb = m_blockSize / 4;
  const uint8_t* sh1 = m_decShift[0];
  const uint8_t* sh2 = m_decShift[1];
  const uint8_t* sh3 = m_decShift[2];
  uint32_t a[MAX_BLOCK_SIZE / 4];
  uint32_t t[MAX_BLOCK_SIZE / 4];
  for (int c = 0; c < nb; ++c) a[c] = Load32(in + 4 * c) ^ m_decKeys[0][c];
  for (int r = 1; r < m_rounds; ++r) {
    const uint32_t* rk = m_decKeys[r];
    for (int c = 0; c < nb; ++c) {
      t[c] = T.td[0][a[c] >> 24] ^ T.td[1][(a[sh1[c]] >> 16) & 0xff] ^ T.td[2][(a[sh2[c]] >> 8) & 0xff] ^
             T.td[3][a[sh3[c]] & 0xff] ^ rk[c];
    }
    std::memcpy(a, t, sizeof(uint32_t) * static_cast<size_t>(nb));
  }
  const uint32_t* rk = m_decKeys[m_rounds];
  for (int c = 0; c < nb; ++c) {
    const uint32_t v = (uint32_t(T.invSbox[a[c] >> 24]) << 24) |
                       (uint32_t(T.invSbox[(a[sh1[c]] >> 16) & 0xff]) << 16) |
                       (uint32_t(T.invSbox[(a[sh2[c]] >> 8) & 0xff]) << 8) | uint32_t(T.invSbox[a[sh3[c]] & 0xff]);
    Store32(out + 4 * c, v ^ rk[c]);
  }
}

void CRijndaelMethod::EncryptRaw(const uint8_t* in, uint8_t* out) const {
  if (m_blockSize == 16 && !m_forceGeneralPath) {
    Encrypt16(in, out);
  } else {
    EncryptGeneral(in, out);
  }
}

void CRijndaelMethod::DecryptRaw(const uint8_t* in, uint8_t* out) const {
  if (m_blockSize == 16 && !m_forceGeneralPath) {
    Decrypt16(in, out);
  } else {
    DecryptGeneral(in, out);
  }
}

void CRijndaelMethod::EncryptBlock(const char* in, char* out) {
  RequireInitialised();
  EncryptRaw(U8(in), U8(out));
}

void CRijndaelMethod::DecryptBlock(const char* in, char* out) {
  RequireInitialised();
  DecryptRaw(U8(in), U8(out));
}

// Input and output may be the same buffer in every mode.
void CRijndaelMethod::Encrypt(const char* in, char* out, int n) {
  RequireInitialised();
  CheckLength(n);
  const uint8_t* src = U8(in);
  uint8_t* dst = U8(out);
  const int bs = m_blockSize;
  uint8_t stream[MAX_BLOCK_SIZE];
  for (int done = 0; done < n; done += bs, src += bs, dst += bs) {
    switch (m_operationMode) {
      case CBC:
        for (int i = 0; i < bs; ++i) m_chain[i] ^= src[i];
        EncryptRaw(m_chain, dst);
        std::memcpy(m_chain, dst, static_cast<size_t>(bs));
        break;
      case CFB:
        EncryptRaw(m_chain, stream);
        for (int i = 0; i < bs; ++i) dst[i] = static_cast<uint8_t>(stream[i] ^ src[i]);
        std::memcpy(m_chain, dst, static_cast<size_t>(bs));
        break;
      default:
        EncryptRaw(src, dst);
        break;
    }
  }
}

void CRijndaelMethod::Decrypt(const char* in, char* out, int n) {
  RequireInitialised();
  CheckLength(n);
  const uint8_t* src = U8(in);
  uint8_t* dst = U8(out);
  const int bs = m_blockSize;
  uint8_t work[MAX_BLOCK_SIZE];
  uint8_t nextChain[MAX_BLOCK_SIZE];
  for (int done = 0; done < n; done += bs, src += bs, dst += bs) {
    switch (m_operationMode) {
      case CBC:
        std::memcpy(nextChain, src, static_cast<size_t>(bs));
        DecryptRaw(src, work);
        for (int i = 0; i < bs; ++i) dst[i] = static_cast<uint8_t>(work[i] ^ m_chain[i]);
        std::memcpy(m_chain, nextChain, static_cast<size_t>(bs));
        break;
      case CFB:
        std::memcpy(nextChain, src, static_cast<size_t>(bs));
        EncryptRaw(m_chain, work);
        for (int i = 0; i < bs; ++i) dst[i] = static_cast<uint8_t>(work[i] ^ nextChain[i]);
        std::memcpy(m_chain, nextChain, static_cast<size_t>(bs));
        break;
      default:
        DecryptRaw(src, dst);
        break;
    }
  }
}

void CRijndaelMethod::ResetChaining() {
  RequireInitialised();
  std::memcpy(m_chain, m_initialChain, sizeof m_chain);
}

int CRijndaelMethod::PadBlock(char* buffer, int n) {
  RequireInitialised();
  if (n < 0) throw FileCryptError(kIllegalBlockSize);  // never write before the buffer
  const int rest = n % m_blockSize;
  if (rest == 0) return n;
  const int count = m_blockSize - rest;
  char fill = 0x00;
  if (m_paddingMode == PAD_BLANKS) fill = 0x20;
  if (m_paddingMode == PAD_COUNT) fill = static_cast<char>(count);
  std::memset(buffer + n, fill, static_cast<size_t>(count));
  return n + count;
}

void CRijndaelMethod::XorBlock(char* buffer, const char* other) {
  RequireInitialised();
  for (int i = 0; i < m_blockSize; ++i) buffer[i] = static_cast<char>(buffer[i] ^ other[i]);
}

}  // namespace tw
