// The contract suites' Windows side: the real Win32 platform, scratch space in the temp folder.
#include <windows.h>

#include "contract_env.h"
#include "platform/win32/win32_platform.h"

namespace tw {

static Win32Platform& Real() {
  static Win32Platform real;
  return real;
}

Platform& ContractPlatform() { return Real().platform; }

std::string ContractScratchRoot() {
  static const std::string root = [] {
    std::string folder = Real().system.TempFolder() + "tw_contract_" + std::to_string(GetCurrentProcessId()) + "\\";
    Real().files.MakeFolder(folder);
    return folder;
  }();
  return root;
}

std::string ContractHttpServer() { return Real().system.Environment("TW_CONTRACT_HTTP").value_or(""); }

}  // namespace tw
