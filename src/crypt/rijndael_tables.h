// Rijndael's fixed tables: S-box, inverse S-box, round constants and the four combined round tables
// per direction (SubBytes+MixColumns as one look-up per byte). Built at compile time from the field.
#pragma once
#include <cstdint>

namespace tw {

struct RijndaelTables {
  uint8_t sbox[256];
  uint8_t invSbox[256];
  uint8_t rcon[32];     // rcon[i] = x^(i-1) in GF(2^8); rcon[0] unused
  uint32_t te[4][256];  // te[k] = te[0] rotated right by 8k bits
  uint32_t td[4][256];
};

extern const RijndaelTables kRijndaelTables;

}  // namespace tw
