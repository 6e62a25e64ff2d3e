// Project-file key set-up, shared by the engine's start-up and the host tools.
#include "crypt/project_key.h"

namespace tw {

const char kProjectKeyMaterial[] = ".k..om.%.70815";
const char kProjectChainBlock[16] = {};

static_assert(sizeof kProjectKeyMaterial - 1 == kProjectKeyMaterialLength, "key material is 14 characters");

void InitProjectKey(CRijndaelMethod& method) {
  method.InitKey(kProjectKeyMaterial, kProjectKeyMaterialLength, kProjectChainBlock, kProjectKeyLength,
                 kProjectBlockSize, kProjectOperationMode, kProjectPaddingMode);
}

}  // namespace tw
