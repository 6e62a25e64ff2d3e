// The fixed cipher parameters of the shipped project files (setup.ziv, data.ziv): AES-128 in ECB
// with zero padding, keyed from the built-in key material.
#pragma once
#include "crypt/rijndael_method.h"

namespace tw {

extern const char kProjectKeyMaterial[];  // ".k..om.%.70815", printable, no zero byte
constexpr int kProjectKeyMaterialLength = 14;
extern const char kProjectChainBlock[16];  // zeros; ECB never uses it
constexpr int kProjectKeyLength = 16;
constexpr int kProjectBlockSize = 16;
constexpr int kProjectOperationMode = CRijndaelMethod::ECB;
constexpr int kProjectPaddingMode = CRijndaelMethod::PAD_ZEROES;

// Keys the method with the project-file parameters (also resets its chain block).
void InitProjectKey(CRijndaelMethod& method);

}  // namespace tw
