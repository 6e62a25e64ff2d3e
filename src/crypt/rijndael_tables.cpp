// Computes the Rijndael tables from GF(2^8) arithmetic at compile time, so there is no hand-typed
// constant to get wrong and no static-initialisation order to worry about.
#include "crypt/rijndael_tables.h"

namespace tw {
namespace {

constexpr uint8_t XTime(uint8_t a) {
  return static_cast<uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1b : 0x00));
}

constexpr uint8_t Mul(uint8_t a, uint8_t b) {
  uint8_t product = 0;
  while (b) {
    if (b & 1) product ^= a;
    a = XTime(a);
    b >>= 1;
  }
  return product;
}

constexpr uint8_t Rotl8(uint8_t x, int n) { return static_cast<uint8_t>((x << n) | (x >> (8 - n))); }

constexpr uint32_t Ror32(uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

constexpr RijndaelTables MakeTables() {
  RijndaelTables t{};
  // Powers of the generator 3 give exp/log tables, and from them the multiplicative inverse.
  uint8_t exp[256] = {};
  uint8_t log[256] = {};
  uint8_t x = 1;
  for (int i = 0; i < 255; ++i) {
    exp[i] = x;
    log[x] = static_cast<uint8_t>(i);
    x = Mul(x, 3);
  }
  for (int i = 0; i < 256; ++i) {
    uint8_t inv = i == 0 ? 0 : exp[(255 - log[i]) % 255];
    uint8_t s = static_cast<uint8_t>(inv ^ Rotl8(inv, 1) ^ Rotl8(inv, 2) ^ Rotl8(inv, 3) ^ Rotl8(inv, 4) ^ 0x63);
    t.sbox[i] = s;
    t.invSbox[s] = static_cast<uint8_t>(i);
  }
  uint8_t r = 1;
  for (int i = 1; i < 32; ++i) {
    t.rcon[i] = r;
    r = XTime(r);
  }
  for (int i = 0; i < 256; ++i) {
    const uint8_t s = t.sbox[i];
    const uint32_t e = (uint32_t(Mul(s, 2)) << 24) | (uint32_t(s) << 16) | (uint32_t(s) << 8) | Mul(s, 3);
    const uint8_t v = t.invSbox[i];
    const uint32_t d = (uint32_t(Mul(v, 0x0e)) << 24) | (uint32_t(Mul(v, 0x09)) << 16) |
                       (uint32_t(Mul(v, 0x0d)) << 8) | Mul(v, 0x0b);
    for (int k = 0; k < 4; ++k) {
      t.te[k][i] = k == 0 ? e : Ror32(e, 8 * k);
      t.td[k][i] = k == 0 ? d : Ror32(d, 8 * k);
    }
  }
  return t;
}

}  // namespace

extern const RijndaelTables kRijndaelTables;
constexpr RijndaelTables kRijndaelTables = MakeTables();

}  // namespace tw
