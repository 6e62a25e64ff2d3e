// The picture service under contract: the fake on the host, the Win32 one under Wine.
#pragma once
#include "platform/pictures.h"

namespace tw {

Pictures& ContractPictures();

}  // namespace tw
