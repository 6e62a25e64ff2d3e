// The contract suites' host side: the fake platform.
#include "contract_env.h"
#include "platform/fake/fake_platform.h"

namespace tw {

static FakePlatform& Fake() {
  static FakePlatform fake;
  return fake;
}

Platform& ContractPlatform() { return Fake().platform; }

std::string ContractScratchRoot() {
  Fake().files.MakeFolders("C:\\contract");
  return "C:\\contract\\";
}

}  // namespace tw
