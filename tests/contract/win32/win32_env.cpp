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

void ContractRemoveService(const std::string& name) {
  SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return;
  SC_HANDLE service = OpenServiceA(manager, name.c_str(), DELETE);
  if (service) {
    DeleteService(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

}  // namespace tw
