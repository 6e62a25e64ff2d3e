// The cabinet service over FDI from the system's cabinet.dll.
#pragma once
#include "platform/cabinet.h"

namespace tw {

class Win32Cabinets : public Cabinets {
 public:
  std::unique_ptr<CabinetContext> CreateContext() override;
};

}  // namespace tw
